#pragma once
// The UI side of the program's long work: runs one job (app/core/Job.h) at a time on a
// worker and carries its questions and results to this object's thread through the event
// loop. The worker waits for each answer in short slices, so neither Stop nor this object
// going away can leave a thread waiting for good. Busy is the caller's state: the job's
// end is handed to the caller's end handler on this thread.
#include <QObject>

#include <functional>
#include <memory>

#include "app/core/Job.h"

namespace gs {

class TJobRunner : public QObject {
    Q_OBJECT
public:
    using EndHandler = std::function<void(const TJobEnd&)>;

    explicit TJobRunner(QObject* parent = nullptr);
    // Closes the hand-over, then stops the worker and waits for it (which no longer waits
    // on this thread, so this returns within a slice of the worker's wait).
    ~TJobRunner() override;

    // Starts the job at once; false (and nothing starts) while a worker runs. `onEnd` runs
    // on this thread after the job's work has returned.
    bool Start(std::shared_ptr<IJob> job, EndHandler onEnd);
    // Asks the worker to end at its job's next look at the stop token; the end follows.
    void Stop();
    bool Running() const { return worker_ != nullptr; }
    // Where the running job's questions and results arrive (on this thread).
    const std::shared_ptr<THandOverChannel>& Channel() const { return channel_; }

private:
    void finish(const TJobEnd& end);

    std::shared_ptr<THandOverChannel> channel_;
    std::unique_ptr<TJobWorker> worker_;
    EndHandler onEnd_;
};

}  // namespace gs
