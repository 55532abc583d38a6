#pragma once
// The scan on the window's job runner: the scan's sink carries every call over to the
// consumer (an IconSink living on the runner's thread, usually the main window), and the
// scan's end arrives as Ended on that thread.
#include <memory>
#include <string>

#include "app/core/ExtractWorker.h"
#include "app/ui/JobRunner.h"

namespace gs {

class ExtractionRunner : public TJobRunner {
    Q_OBJECT
public:
    // `receiver` must outlive this object (make this object its member or child).
    explicit ExtractionRunner(IconSink& receiver, QObject* parent = nullptr);

    using TJobRunner::Start;
    // Starts the scan at once; false (and nothing starts) while a job runs.
    bool Start(std::unique_ptr<TExtractThread> job);

signals:
    // On this object's thread, after the scan's work has returned.
    void Ended(const gs::TJobEnd& end);

private:
    IconSink& receiver_;
};

}  // namespace gs
