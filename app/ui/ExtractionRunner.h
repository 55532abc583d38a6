#pragma once
// The UI side of an extraction: runs one worker at a time and carries its calls to the
// consumer (an IconSink living on this object's thread, usually the main window) through
// the event loop. The worker waits for each answer in short slices, so neither Stop nor
// this object going away can leave a thread waiting for good.
#include <QObject>

#include <memory>
#include <string>

#include "app/core/ExtractWorker.h"
#include "app/core/HandOver.h"

namespace gs {

// The receiving end of the hand-over: calls posted to it run on its thread while it lives.
class ExtractionHandOver : public QObject {
    Q_OBJECT
public:
    // `receiver` must outlive this object (make this object its member or child).
    explicit ExtractionHandOver(IconSink& receiver, QObject* parent = nullptr);
    // Closes the channel first: a worker waiting on it gives up within a slice.
    ~ExtractionHandOver() override;

    // Sinks for workers, carrying every call over to the receiver.
    ExtractWorker::SinkMaker SinkMaker() const;
    // An end notice that posts `onEnd` to this object's thread (dropped once it is gone).
    ExtractWorker::EndNotice PostedEndNotice(ExtractWorker::EndNotice onEnd) const;

private:
    IconSink& receiver_;
    std::shared_ptr<HandOverChannel> channel_;
};

class ExtractionRunner : public QObject {
    Q_OBJECT
public:
    explicit ExtractionRunner(IconSink& receiver, QObject* parent = nullptr);
    // Closes the hand-over, then stops the worker and waits for it (which no longer waits
    // on this thread, so this returns within a slice of the worker's wait).
    ~ExtractionRunner() override;

    // Starts the job at once; false (and nothing starts) while a worker runs.
    bool Start(std::unique_ptr<TExtractThread> job);
    // Asks the worker to end after its current folder entry or icon; Ended follows.
    void Stop();
    bool Running() const { return worker_ != nullptr; }
    // What broke the last run off, when it ended Aborted (empty otherwise).
    const std::string& AbortReason() const { return abortReason_; }

signals:
    // On this object's thread, after the worker's work has returned.
    void Ended(gs::ExtractEnd end);

private:
    void WorkerEnded(ExtractEnd end, const std::string& why);

    std::unique_ptr<ExtractionHandOver> handOver_;
    std::unique_ptr<ExtractWorker> worker_;
    std::string abortReason_;
};

}  // namespace gs
