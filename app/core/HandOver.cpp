#include "app/core/HandOver.h"

#include <future>

namespace gs {

namespace {

// One posted call: the answer travels through the promise; `abandoned` keeps a call the
// worker gave up on from running later.
struct TPendingCall {
    std::function<int()> fn;
    std::promise<int> answer;
    std::atomic<bool> abandoned{false};

    void runOnReceiver() {
        if (abandoned.load()) return;
        try {
            answer.set_value(fn());
        } catch (...) {
            answer.set_exception(std::current_exception());
        }
    }
};

}  // namespace

void THandOverChannel::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    post_ = nullptr;
}

bool THandOverChannel::Post(Task task) {
    std::lock_guard lock(mutex_);
    if (closed_ || !post_) return false;
    post_(std::move(task));
    return true;
}

std::optional<int> THandOverChannel::Call(std::function<int()> fn, const std::stop_token& stop) {
    if (stop.stop_requested()) return std::nullopt;
    auto call = std::make_shared<TPendingCall>();
    call->fn = std::move(fn);
    std::future<int> answer = call->answer.get_future();
    if (!Post([call] { call->runOnReceiver(); })) return std::nullopt;
    while (answer.wait_for(kWaitSlice) != std::future_status::ready) {
        if (stop.stop_requested() || IsClosed()) {
            call->abandoned = true;
            return std::nullopt;
        }
    }
    try {
        return answer.get();
    } catch (...) {
        return std::nullopt;
    }
}

void THandOverIconSink::ResetIconList() {
    IIconSink* receiver = &receiver_;
    channel_->Call([receiver] { return receiver->ResetIconList(), 0; }, stop_);
}

int THandOverIconSink::AddIcons(TIconBatch batch) {
    IIconSink* receiver = &receiver_;
    // Shared so that a call never run still frees its definitions, on whichever thread
    // lets go of it last.
    auto held = std::make_shared<TIconBatch>(std::move(batch));
    return channel_->Call([receiver, held] { return receiver->AddIcons(std::move(*held)); }, stop_).value_or(-1);
}

void THandOverIconSink::FileFailed(const std::filesystem::path& file, const std::string& error) {
    IIconSink* receiver = &receiver_;
    channel_->Call([receiver, file, error] { return receiver->FileFailed(file, error), 0; }, stop_);
}

}  // namespace gs
