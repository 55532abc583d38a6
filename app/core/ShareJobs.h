#pragma once
// The mail and the icon libraries as jobs (Job.h): the worker, never the window, waits on the
// mail composer and on the disk. The entries must stay while the job runs (the window keeps
// its list unchanged while it is busy); the options are a snapshot. Errors end the job as
// failed with the command's own EQBException (ShareIcons.h).
#include <filesystem>
#include <optional>
#include <vector>

#include "app/core/Job.h"
#include "app/core/ShareIcons.h"

namespace gs {

class TMailIconsJob : public IJob {
public:
    // `mapi` comes with its outcome events set as the receiving thread wants them; they run
    // there, through DeliverOutcome, never on the worker.
    TMailIconsJob(std::vector<TIconDef*> entries, TKAVUOptions options, const TQBApplication& app, TQBMapi mapi);
    TMailIconsJob(const TMailIconsJob&) = delete;  // its mail's events point at it
    TMailIconsJob& operator=(const TMailIconsJob&) = delete;

    // Writes the attachments and hands the mail over; a stop ends the wait for the composer.
    void Run(TJobContext& context) override;
    // On the receiving thread once the job ended: the outcome event of the send, if it ran.
    void DeliverOutcome();

private:
    std::vector<TIconDef*> entries_;
    TKAVUOptions options_;
    const TQBApplication& app_;
    TQBMapi mapi_;
    TQBMapi::TNotifyEvent onSuccess_, onUserAbort_;
    TQBMapi::TMapiErrEvent onMapiError_;
    std::optional<int> outcome_;
};

class TIconLibraryJob : public IJob {
public:
    enum class TWay : std::uint8_t { Create, Add };
    TIconLibraryJob(TWay way, std::filesystem::path file, std::vector<TIconDef*> entries)
        : way_(way), file_(std::move(file)), entries_(std::move(entries)) {}

    void Run(TJobContext& context) override;

private:
    TWay way_;
    std::filesystem::path file_;
    std::vector<TIconDef*> entries_;
};

}  // namespace gs
