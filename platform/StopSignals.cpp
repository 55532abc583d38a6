#include "platform/StopSignals.h"

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace gs {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_stopSignal = 0;
// The in-flight name: written only while `g_claimed` is held and read by the handler only
// while `g_published` is set.
char g_temporary[PATH_MAX];
std::atomic<bool> g_claimed{false};
std::atomic<bool> g_published{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler reads the flag");

// Only async-signal-safe calls here.
extern "C" void onStopSignal(int signal) {
    if (g_stopSignal == 0) {
        g_stopSignal = signal;
        return;
    }
    if (g_published.load()) ::unlink(g_temporary);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kStopSignals) sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESTART;
    for (int s : kStopSignals) {
        struct sigaction old {};
        // A signal ignored by whoever started us (nohup) stays ignored.
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &action, nullptr);
    }
}

int StopSignalReceived() { return g_stopSignal; }

void EndByStopSignal(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    ::_exit(128 + signal);  // the signal was blocked or ignored by whoever started us
}

TTemporaryInFlight::TTemporaryInFlight(const char* path) {
    if (std::strlen(path) >= sizeof g_temporary || g_claimed.exchange(true)) return;
    std::strcpy(g_temporary, path);
    g_published.store(true);
    tracked_ = true;
}

TTemporaryInFlight::~TTemporaryInFlight() {
    if (!tracked_) return;
    g_published.store(false);
    g_claimed.store(false);
}

}  // namespace gs
