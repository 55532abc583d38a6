#pragma once
// The main window's job runner: one job at a time, the scans, the saves, the mail and the
// icon libraries. A scan's sink carries every call over to the consumer (an IIconSink living
// on the runner's thread, the main window), and the scan's end arrives as ScanEnded on that
// thread; the other jobs' ends go to the handler they were started with.
#include <memory>
#include <string>

#include "app/core/ScanJob.h"
#include "app/ui/JobRunner.h"

namespace gs {

class TMainJobRunner : public TJobRunner {
    Q_OBJECT
public:
    // `receiver` must outlive this object (make this object its member or child).
    explicit TMainJobRunner(IIconSink& receiver, QObject* parent = nullptr);

    using TJobRunner::Start;
    // Starts the scan at once; false (and nothing starts) while a job runs.
    bool Start(std::unique_ptr<TExtractThread> job);

signals:
    // On this object's thread, after the scan's work has returned.
    void ScanEnded(const gs::TJobEnd& end);

private:
    IIconSink& receiver_;
};

}  // namespace gs
