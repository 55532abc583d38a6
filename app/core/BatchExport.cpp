#include "app/core/BatchExport.h"

#include <exception>
#include <ostream>
#include <vector>

#include "app/core/FilePattern.h"
#include "framework/core/FileUtils.h"
#include "iconlib/IconLibrary.h"
#include "platform/Errors.h"
#include "platform/StopSignals.h"

namespace gs {

namespace {

// Message text on one line, for the single stderr line of a silent run.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

}  // namespace

TBatchExport::TBatchExport(const TBatchJob& job, IBatchObserver& observer)
    : job_(job), observer_(observer), writer_(job.Format, job.IconSize, job.Transparent) {}

TBatchResult TBatchExport::ExtractFiles() {
    TBatchResult out;
    const TFileSpecParts spec = SplitFileSpec(job_.FileSpec);
    std::string current = spec.Folder.empty() ? std::string(".") : spec.Folder;
    try {
        // Every matching name is read before anything is written, so files this run writes
        // into its own source folder are never taken for sources.
        const std::vector<std::filesystem::path> files = ListMatchingFiles(spec);
        for (const std::filesystem::path& path : files) {
            if (StopAsked()) break;
            current = path.string();
            observer_.ShowCurrentFile(current);
            const FileCounts counts = ExportFile(path);
            out.FoundTotal += counts.Found;
            out.SavedTotal += counts.Saved;
            observer_.ShowFound(out.FoundTotal);
            observer_.ShowSaved(out.SavedTotal);
            if (counts.Error) {
                out.End = TJobEnd::Failure(current, *counts.Error);
                break;
            }
        }
    } catch (const std::exception& e) {
        out.End = TJobEnd::Failure(current, e.what());
    }
    if (!out.End.Failed() && StopAsked()) {
        out.End.Kind = TJobEnd::TKind::Stopped;
        out.End.Signal = StopSignalReceived();
    }
    return out;
}

bool TBatchExport::StopAsked() const { return observer_.StopRequested() || StopSignalReceived() != 0; }

TBatchExport::FileCounts TBatchExport::ExportFile(const std::filesystem::path& path) {
    FileCounts counts;
    const std::string baseName = CutAtFirstDot(path.filename().string());
    try {
        TQBIconLibrary library;
        const TIconsRead read = library.Read(path);
        // A file its reader refuses (a damaged 16-bit module) holds no icons, as for the
        // desktop; only a file that cannot be read at all ends the batch.
        if (read.Result == TLoadResult::Failed) {
            counts.Error = read.Reason;
            return counts;
        }
        std::error_code sizeUnknown;
        const std::uintmax_t sourceSize = std::filesystem::file_size(path, sizeUnknown);
        TOutputBudget output(sizeUnknown ? 0 : sourceSize);
        for (int i = 0; i < library.Icons.Count() && !StopAsked(); ++i) {
            ++counts.Found;
            const std::filesystem::path name = BatchOutputName(job_.TargetDir, baseName, counts.Found);
            if (!writer_.Write(*library.Icons.GetIcon(i), name)) continue;
            ++counts.Saved;
            if (!output.Take(std::filesystem::file_size(writer_.OutputFile(name)))) {
                counts.Error = output.Reason();
                break;
            }
        }
    } catch (const std::exception& e) {
        counts.Error = e.what();
    }
    return counts;
}

std::string BatchResultMessage(TBatchFormat format, int foundTotal, int savedTotal) {
    if (foundTotal == 0) return kMsgNoIconsFound;
    const std::string noun = ImageFormatOf(format).Noun;
    if (savedTotal > 0) return std::to_string(savedTotal) + " " + noun + "(s) saved.";
    return "No " + noun + "s saved.";
}

int ReportBatchOutcome(const TBatchJob& job, const TBatchResult& outcome, IMessageBoxes& boxes,
                       const TQBApplication& app, std::ostream& err) {
    if (outcome.End.Signal != 0) {
        err << kMessagePrefix << "stopped by a signal; "
            << BatchResultMessage(job.Format, outcome.FoundTotal, outcome.SavedTotal) << std::endl;
        return 1;
    }
    if (outcome.End.Failed()) {
        const std::string details = outcome.End.Subject + ": " + outcome.End.Reason;
        boxes.ShowQBMessageDetails(kMsgBatchError, details, app.ProductName, TQBMessageType::mtWarning,
                                   app.LanguageId, app.FontName, false);
    }
    if (!job.Silent) {
        boxes.ShowQBMessage(BatchResultMessage(job.Format, outcome.FoundTotal, outcome.SavedTotal), app.Title,
                            TQBMessageType::mtInformation, TQBButtonSet::bsOK,
                            kFirstButton, app.LanguageId, app.FontName);
    }
    return outcome.End.Failed() ? 1 : 0;
}

void TBatchFailureLine::ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string&,
                                             std::uint8_t, std::uint8_t, const std::string&, bool) {
    err_ << kMessagePrefix << msg << ' ' << oneLine(details) << std::endl;
}

int RunBatch(const TBatchJob& job, IBatchObserver& observer, IMessageBoxes& boxes, const TQBApplication& app,
             std::ostream& err) {
    TBatchExport batch(job, observer);
    return ReportBatchOutcome(job, batch.ExtractFiles(), boxes, app, err);
}

}  // namespace gs
