#include "app/core/ExtractWorker.h"

#include <exception>

namespace gs {

ExtractWorker::ExtractWorker(std::unique_ptr<TExtractThread> job, SinkMaker makeSink, EndNotice onEnd)
    : thread_([job = std::move(job), makeSink = std::move(makeSink), onEnd = std::move(onEnd)](std::stop_token stop) {
          ExtractEnd end = ExtractEnd::Aborted;
          try {
              std::unique_ptr<IconSink> sink = makeSink(stop);
              end = job->Execute(*sink, stop);
          } catch (const std::exception&) {
              // Nothing may leave a thread's body; the end notice says the run broke off.
          }
          if (onEnd) onEnd(end);
      }) {}

}  // namespace gs
