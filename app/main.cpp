// glyphscope: start-up, the choice between the main window and the batch export, and the
// teardown. The application object (and with it a connection to the display) is made
// only when a window or a box is to be shown and the display answers; boxes of a run
// without one are printed on stderr. A silent batch touches the windows' library only to
// show that it failed, when a display someone sees answers.
#include <chrono>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/AllocatorTrim.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/core/BatchExport.h"
#include "app/core/CmdLine.h"
#include "app/core/SingleInstance.h"
#include "framework/core/StderrMessageBoxes.h"
#include "framework/core/VersionRoutines.h"
#include "platform/Errors.h"
#include "platform/PrivateTemp.h"
#include "platform/StopSignals.h"

#ifdef GS_WITH_QT
#include <QApplication>

#include "app/DisplayProbe.h"
#include "app/StopSignalBoxes.h"
#include "app/ui/BatchProgressDlg.h"
#include "app/ui/WindowRoad.h"
#include "framework/ui/QtMessageBoxes.h"
#endif

namespace {

constexpr int kExitFailure = 1;
// A batch whose arguments were refused never ran, on every road: whatever the window did
// afterwards, or when no window could open, or another copy's window refused this one.
constexpr int kExitBatchRefused = 1;
// A start that would open the main window, where no display shows it.
constexpr int kExitNoDisplay = 2;
constexpr const char* kMsgNoDisplay = "no display to show the main window on; run a batch export with /XB: or /XBS:";
constexpr const char* kMsgBatchRefused =
    "the batch export was refused, so nothing was exported; no display shows the main window instead";

std::string programFile(const char* argv0) {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv0, ec);
    return self.string();
}

// The windows side of the run: made on first need, only where windows can be shown.
class TProgramWindows {
public:
    TProgramWindows(int& argc, char** argv) : argc_(argc), argv_(argv) {}

#ifdef GS_WITH_QT
    // Asked once, on first need; a display that is named but does not answer is said once.
    bool CanShowWindows() {
        if (!display_) {
            const gs::TDisplayProbe probe = gs::ProbeDisplay();
            display_ = probe.Reachable;
            seen_ = probe.Seen;
            if (!probe.Reachable && !probe.Name.empty())
                std::cerr << gs::kMessagePrefix << "cannot open the display \"" << probe.Name
                          << "\"; boxes are printed here instead" << std::endl;
        }
        return *display_;
    }
    // Whether a window shown would be seen: a real display, not an offscreen one.
    bool WindowsAreSeen() { return CanShowWindows() && seen_; }
    // The boxes: modal windows, which a stop signal closes, on a display someone sees;
    // lines on stderr otherwise (a box nobody sees would wait for ever).
    gs::IMessageBoxes& Boxes() {
        if (!WindowsAreSeen()) return stderrBoxes_;
        EnsureApplication();
        return shownBoxes_;
    }
    void EnsureApplication() {
        if (app_) return;
        app_ = std::make_unique<QApplication>(argc_, argv_);
        QApplication::setApplicationName(gs::kAppTitle);
    }
#else
    bool CanShowWindows() const { return false; }
    bool WindowsAreSeen() const { return false; }
    gs::IMessageBoxes& Boxes() { return stderrBoxes_; }
#endif

private:
    [[maybe_unused]] int& argc_;  // for the application object, made only with windows
    [[maybe_unused]] char** argv_;
    std::optional<bool> display_;
    [[maybe_unused]] bool seen_ = false;  // whether the display is one someone sees, asked once
    gs::TStderrMessageBoxes stderrBoxes_;
#ifdef GS_WITH_QT
    std::unique_ptr<QApplication> app_;
    gs::TQtMessageBoxes qtBoxes_;
    gs::TStopSignalBoxes shownBoxes_{qtBoxes_};
#endif
};

// A refused batch argument is shown before any window of the program exists; the
// descriptor is not made yet, so the box takes the program's own title and language.
void showRefusal(TProgramWindows& windows, const std::string& refusal) {
    const std::uint8_t language = gs::IsEnglishVersion(gs::programVersionInfo()) ? 1 : 0;
    windows.Boxes().ShowQBMessage(refusal, gs::kAppTitle, gs::TQBMessageType::mtWarning,
                                  gs::TQBButtonSet::bsOK, gs::kFirstButton, language, gs::kDefaultFontName);
}

// A silent run's one box, its failure: a window when a display someone sees answers, asked
// only then; else (no display, or an offscreen one) the one line on stderr.
class TSilentFailureBox final : public gs::IMessageBoxes {
public:
    explicit TSilentFailureBox(TProgramWindows& windows) : windows_(windows), line_(std::cerr) {}
    gs::TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, std::uint8_t messageType,
                                       std::uint8_t buttonSet, std::uint16_t defaultButton, std::uint8_t languageId,
                                       const std::string& fontName) override {
        return target().ShowQBMessage(msg, caption, messageType, buttonSet, defaultButton, languageId, fontName);
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) override {
        target().ShowQBMessageDetails(msg, details, caption, messageType, languageId, fontName, expand);
    }

private:
    gs::IMessageBoxes& target() { return windows_.WindowsAreSeen() ? windows_.Boxes() : line_; }
    TProgramWindows& windows_;
    gs::TBatchFailureLine line_;
};

int runBatch(TProgramWindows& windows, const gs::TBatchJob& job) {
    const gs::TQBApplication& app = gs::application();
#ifdef GS_WITH_QT
    if (!job.Silent && windows.WindowsAreSeen()) {
        gs::IMessageBoxes& boxes = windows.Boxes();
        return gs::RunBatchWithProgress(job, boxes, app, std::cerr);
    }
#endif
    // Silent, or no display someone sees: nothing watches the walk; boxes (not silent) go
    // to stderr.
    gs::TSilentBatchObserver nobody;
    if (job.Silent) {
        TSilentFailureBox failureBox(windows);
        return gs::RunBatch(job, nobody, failureBox, app, std::cerr);
    }
    return gs::RunBatch(job, nobody, windows.Boxes(), app, std::cerr);
}

// The main window, after the single-instance rule; without a display there is no window.
gs::TFinalizeMode runWindow(TProgramWindows& windows, gs::TAppContext& context, const gs::TCommandLine& commandLine,
                            int& status) {
    if (!gs::CheckSingleInstance(context.Options, commandLine.Mode, windows.Boxes())) return gs::TFinalizeMode::DiscardState;
#ifdef GS_WITH_QT
    if (windows.CanShowWindows()) {
        windows.EnsureApplication();
        const gs::TWindowRoadResult road = gs::RunMainWindow(context, commandLine, windows.Boxes());
        status = road.Status;
        return road.Finalize;
    }
#endif
    std::cerr << gs::kMessagePrefix << kMsgNoDisplay << std::endl;
    status = kExitNoDisplay;
    return gs::TFinalizeMode::DiscardState;
}

int run(int& argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const gs::TCommandLine commandLine = gs::ParseCommandLine(args);
    // A batch stopped by Ctrl-C or SIGTERM ends after the file it is writing, or at once
    // while one of its boxes waits.
    const bool refused = !commandLine.Refusal.empty();
    if (commandLine.Mode == gs::TRunMode::rmBatch || refused) gs::InstallStopSignals();
    TProgramWindows windows(argc, argv);
    if (refused) {
        showRefusal(windows, commandLine.Refusal);
        // The window that may follow is ended by a signal as any window is.
        gs::UninstallStopSignals();
        if (const int signal = gs::StopSignalReceived()) gs::EndByStopSignal(signal);
        // The window opens instead only where someone sees it: a script run without one
        // ends here, told why nothing was exported, before the settings are even read.
        if (!windows.WindowsAreSeen()) {
            std::cerr << gs::kMessagePrefix << kMsgBatchRefused << std::endl;
            return kExitBatchRefused;
        }
    }

    std::unique_ptr<gs::TAppContext> context =
        gs::InitializeApplication(programFile(argv[0]), gs::defaultRegistryStore());
    // Files handed to an editor or a mail by runs long past: nothing reads them any more.
    gs::RemoveStaleHandOverFolders(gs::TempRoot(), std::chrono::system_clock::now());
    int status = 0;
    // A batch run never changes the options and favourites: saving would only undo changes
    // a window made meanwhile. The window's end saves them.
    gs::TFinalizeMode finalize = gs::TFinalizeMode::DiscardState;
    if (commandLine.Mode == gs::TRunMode::rmBatch) {
        status = runBatch(windows, commandLine.BatchJob);
    } else {
        finalize = runWindow(windows, *context, commandLine, status);
    }
    // A script that asked for a batch can tell that it never ran.
    if (refused) status = kExitBatchRefused;
    gs::FinalizeApplication(std::move(context), finalize);
    if (const int signal = gs::StopSignalReceived()) gs::EndByStopSignal(signal);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    gs::LimitAllocatorArenas();
    try {
        return run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << gs::kMessagePrefix << "Unexpected error. " << e.what() << std::endl;
        return kExitFailure;
    }
}
