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
#include "app/ui/IconListView.h"
#include "app/ui/MainJobRunner.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "framework/core/MessageBoxes.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/QtBridge.h"

namespace gs {

void TKAVUMain::SelectFolder(const std::string& path) {
    selectPath(path, SafeDirectoryExists(path), recent_.Folders, kMsgFolderNotFound, kMsgSelectedFolder);
    listing_.SelectFolder(path);
    Execute(TMainAction::actFileExtractIcons);
}

void TKAVUMain::SelectFile(const std::string& path) {
    selectPath(path, SafeFileExists(path), recent_.Files, kMsgFileNotFound, kMsgSelectedFile);
    listing_.SelectFile(path);
    Execute(TMainAction::actFileExtractIcons);
}

void TKAVUMain::selectPath(const std::string& path, bool exists, IRecentList& recent, const char* notFound,
                           const char* selected) {
    if (!exists) {
        recent.Remove(path);
        throw EQBException(FormatOne(notFound, path), "", TQBSeverity::Warning);
    }
    if (!path.empty()) recent.AddToTop(path);
    setPanel(1, {});
    setPanel(2, {});
    setPanel(3, qs(selected + path));
}

void TKAVUMain::LoadMRUFolders() {
    const TQBApplication& app = application();
    recent_.LoadFolders(context_.Store, app.RegRoot, app.RegAppKey);
}

void TKAVUMain::LoadMRUFiles() {
    const TQBApplication& app = application();
    recent_.LoadFiles(context_.Store, app.RegRoot, app.RegAppKey);
}

// A store that cannot be written loses the lists of this run, as it loses the options; a
// list that could not be read at the start is left as it is stored.
void TKAVUMain::SaveMRUFolders() const {
    const TQBApplication& app = application();
    recent_.SaveFolders(context_.Store, app.RegRoot, app.RegAppKey);
}

void TKAVUMain::SaveMRUFiles() const {
    const TQBApplication& app = application();
    recent_.SaveFiles(context_.Store, app.RegRoot, app.RegAppKey);
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
    const TKAVUOptions& o = context_.Options;
    listing_.BeginRun(o.MemStop ? std::optional<int>(o.EffectiveMemStopPerc()) : std::nullopt);
    setPanel(2, {});  // the run lists unfiltered: "Filtered" goes with the filter (also for F5)
    BeginExtractionBusy();
    std::unique_ptr<TExtractThread> job = listing_.MakeJob(TExtractSettings::FromOptions(o));
    if (!job || !runner_->Start(std::move(job))) EndExtractionBusy();
}

// The one runner also runs saves.
bool TKAVUMain::ExtractionRunning() const { return busy_ != TBusyState::Saving && runner_ && runner_->Running(); }

void TKAVUMain::ResetIconList() {
    // The worker's start right after the window began the run has nothing to drop.
    if (listing_.IconCount() > 0 || !listing_.Failures().empty()) listing_.BeginRun(listing_.MemoryStopPercent());
}

int TKAVUMain::AddIcons(TIconBatch batch) {
    // A refused batch is dropped here, never kept in the listing.
    if (!MemoryLoadOk()) return -1;
    const std::vector<TIconDef*> listed = listing_.Accept(std::move(batch));
    if (listed.empty()) return listing_.IconCount();
    // The counter and the current file are shown at the next refresh of the busy texts, a
    // few times a second, rather than laid out again for every batch.
    busyTextFile_ = listed.back()->FileName.string();
    if (!busyTextTimer_.isActive()) busyTextTimer_.start();
    return listing_.IconCount();
}

void TKAVUMain::showBusyTexts() {
    busyTextTimer_.stop();
    if (listing_.IconCount() > 0) showCount();
    if (busy_ != TBusyState::Extracting) return;
    lblFileName->setText(qs(FormatOne(kMsgCurrentFile, ShortenPath(busyTextFile_))));
    if (!stopping_) setPanel(0, kMsgExtracting);
}

void TKAVUMain::FileFailed(const std::filesystem::path& file, const std::string& error) {
    listing_.FileFailed(file, error);
}

bool TKAVUMain::MemoryLoadOk() { return !listing_.MemoryStopPercent() || listing_.MemoryLoadOk(services_.MemoryLoad()); }

void TKAVUMain::cmdStopClick() {
    setPanel(0, kMsgStopping);
    stopping_ = true;
    // The window stays busy until the worker's end arrives.
    if (runner_) runner_->Stop();
}

void TKAVUMain::ExtractThreadTerminate(const TJobEnd& end) {
    listing_.EndRun(end);
    EndExtractionBusy();
    // A listing the user cut short says so, so it is not taken for the whole folder.
    if (end.Kind == TJobEnd::TKind::Stopped) setPanel(0, kMsgExtractionStopped);
    emit ExtractionEnded();
    const TQBApplication& app = application();
    if (listing_.MemoryLimitReached()) {
        services_.Boxes().ShowQBMessageDetails(
            kMsgMemoryLimit, FormatOne(kMsgMemoryLimitDetails, std::to_string(context_.Options.EffectiveMemStopPerc())),
            app.Title, TQBMessageType::mtInformation, app.LanguageId, app.FontName, false);
    }
    reportRunFailures();
}

void TKAVUMain::reportRunFailures() {
    if (std::optional<TRunWarning> warning = listing_.TakeRunWarning())
        throw EQBException(warning->Message, warning->Details, TQBSeverity::Warning);
}

}  // namespace gs
