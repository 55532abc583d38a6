#pragma once
// Saving the selected icons as a job (Job.h): the save loop runs on a worker and asks its
// questions (the folder, the file names, replace? with Yes to All, the result) of the
// window's answers on the receiving thread, waiting for each. A stop, the user's Cancel or
// a window that goes away ends the loop between two entries.
#include <vector>

#include "app/core/Job.h"
#include "app/core/SaveIcons.h"

namespace gs {

// The save loop's questions carried to `receiver`, which is reached only on the receiving
// thread. A question left unanswered (a stop, the receiver gone) counts as cancelled.
class THandOverSaveQuestions final : public ISaveQuestions {
public:
    THandOverSaveQuestions(const TJobContext& context, ISaveQuestions& receiver)
        : context_(context), receiver_(receiver) {}

    std::optional<std::string> BrowseDestination(const std::string& start) override;
    std::optional<std::string> AskFileName(const TSaveTarget& target, const std::string& folder,
                                           const std::string& name) override;
    TQBMessageResult AskReplace(const std::string& message) override;
    void ShowResult(const std::string& message) override;

private:
    const TJobContext& context_;
    ISaveQuestions& receiver_;
};

class TSaveJob : public IJob {
public:
    // `entries` and `receiver` must stay while the job runs (the window keeps its list
    // unchanged while it is busy saving); the options are a snapshot.
    TSaveJob(TBatchFormat format, TBatchIconSize size, std::vector<TIconDef*> entries, TKAVUOptions options,
             ISaveQuestions& receiver)
        : format_(format), size_(size), entries_(std::move(entries)), options_(std::move(options)),
          receiver_(receiver) {}

    // A Cancel ends the job as stopped, with the cancellation's message as its reason.
    void Run(TJobContext& context) override;
    int Saved() const { return saved_; }

private:
    TBatchFormat format_;
    TBatchIconSize size_;
    std::vector<TIconDef*> entries_;
    TKAVUOptions options_;
    ISaveQuestions& receiver_;
    int saved_ = 0;
};

}  // namespace gs
