#include "app/core/ExtractThread.h"

#include <exception>

#include "app/core/Options.h"
#include "framework/core/FileUtils.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"
#include "platform/Text.h"

namespace gs {

ExtractSettings ExtractSettings::FromOptions(const TKAVUOptions& options) {
    ExtractSettings s;
    s.Extensions = options.ScanExtensions;
    s.Recurse = options.IncludeSubfolders;
    s.LimitOn = options.LimitIcons;
    s.LimitNumber = options.EffectiveLimitNumber();
    s.IgnoreRepeated = options.IgnoreRepeated;
    return s;
}

ExtractEnd TExtractThread::Execute(IconSink& sink, std::stop_token stop) {
    sink_ = &sink;
    stop_ = std::move(stop);
    end_.reset();
    Run();
    sink_ = nullptr;
    if (end_) return *end_;
    return StopRequested() ? ExtractEnd::Stopped : ExtractEnd::Finished;
}

bool TExtractThread::EndsRun(int answer) {
    if (answer == -1) {
        end_ = StopRequested() ? ExtractEnd::Stopped : ExtractEnd::Refused;
    } else if (settings_.LimitOn && answer >= settings_.LimitNumber) {
        end_ = ExtractEnd::LimitReached;
    }
    return Ended();
}

int TExtractThread::ExtractFromFile(const std::filesystem::path& fileName) {
    const std::string baseName = CutAtFirstDot(fileName.filename().string());
    TQBIconLibrary library;
    const TIconsRead read = library.Read(fileName);
    if (read.Result == TLoadResult::Failed) {
        // One file that cannot be read ends the whole run; the icons handed over stay.
        sink_->FileFailed(fileName, read.Reason);
        end_ = ExtractEnd::FileFailed;
        return -1;
    }
    // A file its reader refuses (a damaged 16-bit module) gives no icons, as for the desktop.
    int result = 0;
    for (int i = 0; i < library.Icons.Count() && !StopRequested(); ++i) {
        result = AddExtractedIcon(baseName, fileName, *library.Icons.GetIcon(i), i);
        if (EndsRun(result)) break;
    }
    return result;
}

int TExtractThread::AddExtractedIcon(const std::string& baseName, const std::filesystem::path& fileName,
                                     const TQBIcon& icon, int iconIndex) {
    auto def = std::make_unique<TIconDef>();
    def->ImageIndex = 0;
    def->Name = baseName;
    def->FileName = fileName;
    def->IconIndex = iconIndex;
    FillImageFlags(*def, icon);
    // Only the flags and the two small pictures are kept; the full icon is read again
    // from the file when it is needed.
    def->Icon32 = GetIcon32(icon);
    def->Icon16 = GetIcon16(icon);
    return sink_->AddIcon(std::move(def));
}

void TExtractFromFolderThread::Run() {
    Sink().ResetIconList();
    extensions_.clear();
    for (const std::string& ext : Settings().Extensions) extensions_.insert(foldCaseUtf8(ext));
    seenNames_.reset();
    if (Settings().IgnoreRepeated) seenNames_.emplace();
    visited_ = VisitedFolders();
    // The chosen folder may be a link; a folder of /proc or /sys holds no files to read.
    if (IsWalkableFolder(Path) && visited_.Enter(Path)) ScanFolder(Path);
}

int TExtractFromFolderThread::ScanFolder(const std::filesystem::path& folder) {
    int result = 0;
    for (const std::string& name : SortedFolderEntries(folder)) {
        if (Ended()) break;
        if (name.starts_with('.')) continue;
        const std::filesystem::path full = folder / name;
        switch (KindOf(full)) {
            case EntryKind::Folder:
                if (Settings().Recurse && visited_.Enter(full)) result = ScanFolder(full);
                break;
            case EntryKind::RegularFile:
                if (HasListedExtension(name) && FirstSeen(name)) result = ExtractFromFile(full);
                break;
            case EntryKind::FolderLink:  // never entered: it may lead anywhere, / included
            case EntryKind::Missing:
            case EntryKind::Other:
                break;  // dangling links, FIFOs, devices, sockets and pseudo files are never opened
        }
    }
    return result;
}

bool TExtractFromFolderThread::HasListedExtension(const std::string& name) const {
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && extensions_.contains(foldCaseUtf8(name.substr(dot)));
}

bool TExtractFromFolderThread::FirstSeen(const std::string& name) {
    return !seenNames_ || seenNames_->insert(foldCaseUtf8(name)).second;
}

void TExtractFromFileThread::Run() {
    Sink().ResetIconList();
    ExtractFromFile(Path);
}

}  // namespace gs
