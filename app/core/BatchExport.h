#pragma once
// The command-line batch export: every icon of every file a file pattern selects,
// written into the target folder in the job's format and size. The walk runs on the
// calling thread; whoever watches it (a progress window, or nobody in a silent run) is an
// observer that is told what happens and may ask the walk to stop between icons.
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>

#include "app/core/BatchWriters.h"
#include "app/core/CmdLine.h"
#include "app/core/Job.h"
#include "framework/core/Application.h"
#include "framework/core/MessageBoxes.h"

namespace gs {

constexpr const char* kMsgBatchError = "Batch extraction raised an error.";
constexpr const char* kMsgNoIconsFound = "No icons found.";

class IBatchObserver {
public:
    virtual ~IBatchObserver() = default;
    // The source file about to be read, as a full path.
    virtual void ShowCurrentFile(const std::string& path) = 0;
    virtual void ShowFound(int foundTotal) = 0;
    virtual void ShowSaved(int savedTotal) = 0;
    // Looked at before every file and every icon.
    virtual bool StopRequested() const = 0;
};

// The silent run: nothing is shown and nothing asks to stop.
class TSilentBatchObserver final : public IBatchObserver {
public:
    void ShowCurrentFile(const std::string&) override {}
    void ShowFound(int) override {}
    void ShowSaved(int) override {}
    bool StopRequested() const override { return false; }
};

// What the walk did and how it ended: Failed on the file (or folder) that ended it early,
// Stopped by the observer or by a signal (Ctrl-C, SIGTERM) after a whole file.
struct TBatchResult {
    int FoundTotal = 0;
    int SavedTotal = 0;
    TJobEnd End;
};

class TBatchExport {
public:
    TBatchExport(const TBatchJob& job, IBatchObserver& observer);

    // The whole walk. A file that fails ends it; its icons visited before the failure count
    // as found and its files written as saved.
    TBatchResult ExtractFiles();

private:
    struct FileCounts {
        int Found = 0;  // icons visited
        int Saved = 0;  // files written
        std::optional<std::string> Error;
    };
    FileCounts ExportFile(const std::filesystem::path& path);
    // Stop asked for by the observer or by a signal; looked at between icons.
    bool StopAsked() const;

    const TBatchJob& job_;
    IBatchObserver& observer_;
    TBatchWriter writer_;
};

// The result box's text: "No icons found.", "%d icon(s) saved.", "No bitmaps saved." ...
std::string BatchResultMessage(TBatchFormat format, int foundTotal, int savedTotal);

// Tells the outcome: a failure in the details box, in silent runs too; then, unless silent,
// the result box. The exit status: 1 after a failure, else 0.
// A walk stopped by a signal is told in one line on `err` and shows no box (status 1).
int ReportBatchOutcome(const TBatchJob& job, const TBatchResult& outcome, IMessageBoxes& boxes,
                       const TQBApplication& app, std::ostream& err);

// The failure box of a silent run that no window can show: the one line on `err` that a
// script's log keeps. A silent run asks nothing else.
class TBatchFailureLine final : public IMessageBoxes {
public:
    explicit TBatchFailureLine(std::ostream& err) : err_(err) {}
    TQBMessageResult ShowQBMessage(const std::string&, const std::string&, std::uint8_t, std::uint8_t, std::uint16_t,
                                   std::uint8_t, const std::string&) override {
        return TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) override;

private:
    std::ostream& err_;
};

// ExtractFiles and ReportBatchOutcome in one, for runs without a window of their own.
int RunBatch(const TBatchJob& job, IBatchObserver& observer, IMessageBoxes& boxes, const TQBApplication& app,
             std::ostream& err);

}  // namespace gs
