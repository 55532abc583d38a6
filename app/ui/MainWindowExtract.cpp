// The main window's extraction road: a folder or file is selected (command, recent list,
// drop or command line), recorded in its recent list, and a worker lists its icons through
// the hand-over; the worker's end returns the window to idle.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QUrl>

#include "app/core/AppContext.h"
#include "app/core/ExtractThread.h"
#include "app/core/PathDisplay.h"
#include "app/ui/ExtractionRunner.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "codecs/ui/QtRaster.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "framework/core/MessageBoxes.h"
#include "framework/core/SysUtils.h"

namespace gs {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

void TKAVUMain::SelectFolder(const std::string& path) {
    selectPath(path, SafeDirectoryExists(path), *mruFolders_, kMsgFolderNotFound, kMsgSelectedFolder);
    SelectedFile.clear();
    SelectedFolder = path;
    Execute(TMainAction::actFileExtractIcons);
}

void TKAVUMain::SelectFile(const std::string& path) {
    selectPath(path, SafeFileExists(path), *mruFiles_, kMsgFileNotFound, kMsgSelectedFile);
    SelectedFolder.clear();
    SelectedFile = path;
    Execute(TMainAction::actFileExtractIcons);
}

void TKAVUMain::selectPath(const std::string& path, bool exists, IRecentList& recent, const char* notFound,
                           const char* selected) {
    if (!exists) {
        recent.Remove(path);
        throw EQBException(FormatOne(notFound, path), "", TQBSeverity::Warning);
    }
    if (!path.empty()) recent.AddToTop(path);
    lvIcons->Clear();
    IconCount = 0;
    setPanel(1, {});
    setPanel(2, {});
    setPanel(3, qs(selected + path));
}

void TKAVUMain::DropFiles(const std::vector<std::string>& paths) {
    // The first dropped name, whole (paths are never cut).
    if (paths.empty()) return;
    const std::string& first = paths.front();
    if (SafeDirectoryExists(first)) SelectFolder(first);
    else SelectFile(first);
}

void TKAVUMain::dragEnterEvent(QDragEnterEvent* e) {
    // A drop while a listing runs would mix two listings: it is not taken then.
    if (Idle() && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TKAVUMain::dropEvent(QDropEvent* e) {
    std::vector<std::string> paths;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    e->acceptProposedAction();
    Guard([&] { DropFiles(paths); });
}

void TKAVUMain::startExtraction() {
    Filters.reset();  // an extraction always lists unfiltered
    filterActive_ = false;
    failures_.clear();
    BeginExtractionBusy();
    MemoryLimitReached = false;
    ExtractSettings settings = ExtractSettings::FromOptions(context_.Options);
    std::unique_ptr<TExtractThread> job;
    if (!SelectedFolder.empty()) job = std::make_unique<TExtractFromFolderThread>(SelectedFolder, std::move(settings));
    else job = std::make_unique<TExtractFromFileThread>(SelectedFile, std::move(settings));
    if (!runner_->Start(std::move(job))) EndExtractionBusy();
}

// The one runner also runs saves.
bool TKAVUMain::ExtractionRunning() const { return busy_ != TBusyState::Saving && runner_ && runner_->Running(); }

void TKAVUMain::ResetIconList() { Icons = std::make_unique<TIconsList>(); }

int TKAVUMain::AddIcon(std::unique_ptr<TIconDef> def) {
    // A refused definition is dropped here, never kept in the listing.
    if (!def || !MemoryLoadOk()) return -1;
    if (!Icons) Icons = std::make_unique<TIconsList>();
    ++IconCount;
    // The two picture lists grow together, so one index serves both.
    const int image = lvIcons->Images().Add(IconPixmap(def->Icon32.get()), IconPixmap(def->Icon16.get()));
    def->Name += "_" + std::to_string(IconCount);
    def->ImageIndex = image;
    TIconDef* listed = def.get();
    const std::string fileName = listed->FileName.string();
    Icons->Add(std::move(def));
    lvIcons->Model().Append(listed, image);
    // The counter and the current file are shown at the next refresh of the busy texts, a
    // few times a second, rather than laid out again for every icon.
    busyTextFile_ = fileName;
    if (!busyTextTimer_.isActive()) busyTextTimer_.start();
    return IconCount;
}

void TKAVUMain::showBusyTexts() {
    busyTextTimer_.stop();
    if (IconCount > 0) setPanel(1, qs(FormatOne(kMsgIconsCount, std::to_string(IconCount))));
    if (busy_ != TBusyState::Extracting) return;
    lblFileName->setText(qs(FormatOne(kMsgCurrentFile, ShortenPath(busyTextFile_))));
    if (!stopping_) setPanel(0, kMsgExtracting);
}

void TKAVUMain::FileFailed(const std::filesystem::path& file, const std::string& error) {
    failures_.emplace_back(file, error);
}

bool TKAVUMain::MemoryLoadOk() {
    const TKAVUOptions& o = context_.Options;
    if (!o.MemStop) return true;
    if (services_.MemoryLoad() < o.EffectiveMemStopPerc()) return true;
    MemoryLimitReached = true;
    return false;
}

void TKAVUMain::cmdStopClick() {
    setPanel(0, kMsgStopping);
    stopping_ = true;
    // The window stays busy until the worker's end arrives.
    if (runner_) runner_->Stop();
}

void TKAVUMain::ExtractThreadTerminate(ExtractEnd end) {
    EndExtractionBusy();
    // A listing the user cut short says so, so it is not taken for the whole folder.
    if (end == ExtractEnd::Stopped) setPanel(0, kMsgExtractionStopped);
    emit ExtractionEnded();
    const TQBApplication& app = application();
    if (MemoryLimitReached) {
        services_.Boxes().ShowQBMessageDetails(
            kMsgMemoryLimit, FormatOne(kMsgMemoryLimitDetails, std::to_string(context_.Options.EffectiveMemStopPerc())),
            app.Title, TQBMessageType::mtInformation, app.LanguageId, app.FontName, false);
    }
    reportRunFailures(end);
}

void TKAVUMain::reportRunFailures(ExtractEnd end) {
    // A run that broke off (memory exhausted, an error outside any one file) is never passed
    // off as a finished scan: its reason comes first, then the files that failed before it.
    const bool brokenOff = end == ExtractEnd::Aborted;
    if (!brokenOff && failures_.empty()) return;
    std::string details = brokenOff && runner_ ? runner_->AbortReason() : std::string();
    for (const auto& [file, error] : failures_) details += (details.empty() ? "" : "\n") + file.string() + ": " + error;
    std::string message = kMsgExtractionBrokenOff;
    if (!brokenOff)
        message = failures_.size() == 1 ? FormatOne(kMsgFileUnreadable, failures_.front().first.string())
                                        : FormatOne(kMsgFilesUnreadable, std::to_string(failures_.size()));
    failures_.clear();
    throw EQBException(message, details, TQBSeverity::Warning);
}

void TKAVUMain::LoadMRUFolders() {
    const TQBApplication& app = application();
    LoadRecentList(*mruFolders_, context_.Store, app.RegRoot, app.RegAppKey, kMRUFoldersSubkey);
}

void TKAVUMain::LoadMRUFiles() {
    const TQBApplication& app = application();
    LoadRecentList(*mruFiles_, context_.Store, app.RegRoot, app.RegAppKey, kMRUFilesSubkey);
}

void TKAVUMain::SaveMRUFolders() {
    const TQBApplication& app = application();
    SaveRecentList(*mruFolders_, context_.Store, app.RegRoot, app.RegAppKey, kMRUFoldersSubkey);
}

void TKAVUMain::SaveMRUFiles() {
    const TQBApplication& app = application();
    SaveRecentList(*mruFiles_, context_.Store, app.RegRoot, app.RegAppKey, kMRUFilesSubkey);
}

}  // namespace gs
