#include "app/core/ExtractWorker.h"

#include <exception>
#include <new>

namespace gs {

ExtractWorker::ExtractWorker(std::unique_ptr<TExtractThread> job, SinkMaker makeSink, EndNotice onEnd)
    : thread_([job = std::move(job), makeSink = std::move(makeSink), onEnd = std::move(onEnd)](std::stop_token stop) {
          ExtractEnd end = ExtractEnd::Aborted;
          std::string why;
          try {
              std::unique_ptr<IconSink> sink = makeSink(stop);
              end = job->Execute(*sink, stop);
          } catch (const std::bad_alloc&) {
              why = "Not enough memory to go on listing icons.";
          } catch (const std::exception& e) {
              // Nothing may leave a thread's body; the end notice says the run broke off and why.
              why = e.what();
          }
          if (onEnd) onEnd(end, why);
      }) {}

}  // namespace gs
