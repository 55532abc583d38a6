#include "app/core/SaveJob.h"

namespace gs {

std::optional<std::string> THandOverSaveQuestions::BrowseDestination(const std::string& start) {
    return context_.Ask<std::optional<std::string>>([r = &receiver_, start] { return r->BrowseDestination(start); })
        .value_or(std::nullopt);
}

std::optional<std::string> THandOverSaveQuestions::AskFileName(const TSaveTarget& target, const std::string& folder,
                                                               const std::string& name) {
    // The target is one of the format table's entries, which live as long as the program.
    return context_
        .Ask<std::optional<std::string>>(
            [r = &receiver_, t = &target, folder, name] { return r->AskFileName(*t, folder, name); })
        .value_or(std::nullopt);
}

TQBMessageResult THandOverSaveQuestions::AskReplace(const std::string& message) {
    return context_.Ask<TQBMessageResult>([r = &receiver_, message] { return r->AskReplace(message); })
        .value_or(TQBMessageResult::mrCancel);
}

void THandOverSaveQuestions::ShowResult(const std::string& message) {
    context_.Ask<int>([r = &receiver_, message] {
        r->ShowResult(message);
        return 0;
    });
}

void TSaveJob::Run(TJobContext& context) {
    THandOverSaveQuestions questions(context, receiver_);
    try {
        saved_ = SaveSelected(format_, size_, entries_, options_, questions, context.StopToken());
    } catch (const ESaveCancelled& e) {
        context.EndStopped(e.what());
    }
}

}  // namespace gs
