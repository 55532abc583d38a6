#include "app/core/ExtractThread.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <thread>

#include "app/core/Options.h"
#include "framework/core/FileUtils.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"
#include "platform/Text.h"

namespace gs {

namespace {

// Icons handed over in one call at most, so the window lists a large file in steps.
constexpr std::size_t kBatchLimit = 512;

}  // namespace

TExtractSettings TExtractSettings::FromOptions(const TKAVUOptions& options) {
    TExtractSettings s;
    s.Extensions = options.ScanExtensions;
    s.Recurse = options.IncludeSubfolders;
    s.LimitOn = options.LimitIcons;
    s.LimitNumber = options.EffectiveLimitNumber();
    s.IgnoreRepeated = options.IgnoreRepeated;
    return s;
}

TJobEnd TExtractThread::Execute(IIconSink& sink, std::stop_token stop) {
    sink_ = &sink;
    stop_ = std::move(stop);
    end_.reset();
    listed_ = 0;
    Run();
    sink_ = nullptr;
    if (end_) return *end_;
    return TJobEnd::Of(StopRequested() ? TJobEnd::TKind::Stopped : TJobEnd::TKind::Done);
}

bool TExtractThread::EndsRun(int answer) {
    if (answer >= 0) listed_ = answer;
    if (answer == -1) {
        end_ = StopRequested() ? TJobEnd::Of(TJobEnd::TKind::Stopped) : TJobEnd::Of(TJobEnd::TKind::Done, kScanRefused);
    } else if (settings_.LimitOn && answer >= settings_.LimitNumber) {
        end_ = TJobEnd::Of(TJobEnd::TKind::Done, kScanLimitReached);
    }
    return Ended();
}

TExtractThread::FileIcons TExtractThread::ReadFileIcons(const std::filesystem::path& fileName,
                                                        const std::stop_token& stop) {
    FileIcons out;
    out.File = fileName;
    TQBIconLibrary library;
    const TIconsRead read = library.Read(fileName);
    if (read.Result == TLoadResult::Failed) {
        out.Failed = true;
        out.Reason = read.Reason;
        return out;
    }
    // A file its reader refuses (a damaged 16-bit module) gives no icons, as for the desktop.
    const std::string baseName = CutAtFirstDot(fileName.filename().string());
    out.Icons.reserve(std::size_t(library.Icons.Count()));
    TSameImages sameImages;
    std::error_code sizeUnknown;
    const std::uintmax_t fileSize = std::filesystem::file_size(fileName, sizeUnknown);
    TListDecodeBudget decodes(sizeUnknown ? 0 : fileSize);
    for (int i = 0; i < library.Icons.Count() && !stop.stop_requested(); ++i) {
        const TQBIcon& icon = *library.Icons.GetIcon(i);
        auto def = std::make_unique<TIconDef>();
        def->Name = baseName;
        def->FileName = fileName;
        def->IconIndex = i;
        FillImageFlags(*def, icon);
        // Only the flags and the list's two pictures are kept; the full icon is read again
        // from the file when it is needed.
        if (const auto same = sameImages.Seen(icon, out.Icons.size())) {
            def->Icon32 = out.Icons[*same]->Icon32;
            def->Icon16 = out.Icons[*same]->Icon16;
        } else if (decodes.Take(icon)) {
            def->Icon32 = TListPicture::FromIcon(GetIcon32(icon).get());
            def->Icon16 = TListPicture::FromIcon(GetIcon16(icon).get());
        }
        out.Icons.push_back(std::move(def));
    }
    return out;
}

void TExtractThread::HandOver(FileIcons read) {
    if (Ended()) return;
    if (read.Failed) {
        // One file that cannot be read ends the whole run; the icons handed over stay.
        sink_->FileFailed(read.File, read.Reason);
        end_ = TJobEnd::Failure(read.File.string(), read.Reason);
        return;
    }
    std::size_t next = 0;
    while (next < read.Icons.size() && !Ended()) {
        std::size_t take = std::min(kBatchLimit, read.Icons.size() - next);
        if (settings_.LimitOn) take = std::min(take, std::size_t(std::max(settings_.LimitNumber - listed_, 1)));
        TIconBatch batch(std::make_move_iterator(read.Icons.begin() + std::ptrdiff_t(next)),
                         std::make_move_iterator(read.Icons.begin() + std::ptrdiff_t(next + take)));
        next += take;
        EndsRun(sink_->AddIcons(std::move(batch)));
    }
}

void TExtractFromFolderThread::Run() {
    Sink().ResetIconList();
    extensions_.clear();
    for (const std::string& ext : Settings().Extensions) extensions_.insert(foldCaseUtf8(ext));
    seenNames_.reset();
    if (Settings().IgnoreRepeated) seenNames_.emplace();
    visited_ = TVisitedFolders();
    // The chosen folder may be a link; a folder of /proc or /sys holds no files to read.
    // Whatever ends the walk (a stop, an error), the readers go with it: files not yet
    // started are dropped, the ones being read are waited for.
    struct ReadersOnExit {
        TExtractFromFolderThread& job;
        ~ReadersOnExit() { job.readers_.reset(); }
    } readersOnExit{*this};
    readers_.emplace(Readers());
    if (IsWalkableFolder(Path) && visited_.Enter(Path)) ScanFolder(Path);
    Drain();
}

void TExtractFromFolderThread::ScanFolder(const std::filesystem::path& folder) {
    for (const std::string& name : SortedFolderEntries(folder)) {
        if (Ended()) break;
        if (name.starts_with('.')) continue;
        const std::filesystem::path full = folder / name;
        switch (KindOf(full)) {
            case EntryKind::Folder:
                if (Settings().Recurse && visited_.Enter(full)) ScanFolder(full);
                break;
            case EntryKind::RegularFile:
                if (HasListedExtension(name) && FirstSeen(name)) ReadAhead(full);
                break;
            case EntryKind::FolderLink:  // never entered: it may lead anywhere, / included
            case EntryKind::Missing:
            case EntryKind::Other:
                break;  // dangling links, FIFOs, devices, sockets and pseudo files are never opened
        }
    }
}

std::size_t TExtractFromFolderThread::Readers() {
    static const std::size_t readers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, kMostReaders);
    return readers;
}

void TExtractFromFolderThread::ReadAhead(const std::filesystem::path& file) {
    // The reads queue in the folder's order and are handed over in it, so the listing is
    // the same whatever reader finishes first.
    readers_->Submit([file, stop = StopToken()] { return ReadFileIcons(file, stop); });
    while (readers_->Pending() >= ReadersAhead() && !Ended()) HandOver(readers_->TakeFirst());
}

void TExtractFromFolderThread::Drain() {
    while (readers_->Pending() > 0 && !Ended()) HandOver(readers_->TakeFirst());
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
    HandOver(ReadFileIcons(Path, StopToken()));
}

}  // namespace gs
