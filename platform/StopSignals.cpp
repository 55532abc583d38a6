#include "platform/StopSignals.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <iterator>
#include <fcntl.h>
#include <unistd.h>

namespace gs {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t g_stopSignal = 0;
// The self-pipe that wakes an event loop: written by the handler, read by whoever waits.
int g_wake[2] = {-1, -1};
// The actions found at installation, given back by UninstallStopSignals.
struct sigaction g_previous[std::size(kStopSignals)];
bool g_installed = false;
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
        const int saved = errno;
        if (g_wake[1] >= 0) (void)!::write(g_wake[1], "s", 1);  // a full pipe already wakes
        errno = saved;
        return;
    }
    if (g_published.load()) ::unlink(g_temporary);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void InstallStopSignals() {
    if (g_installed) return;
    if (g_wake[0] < 0 && ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) g_wake[0] = g_wake[1] = -1;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int s : kStopSignals) sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
        struct sigaction& old = g_previous[i];
        // A signal ignored by whoever started us (nohup) stays ignored.
        if (::sigaction(kStopSignals[i], nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(kStopSignals[i], &action, nullptr);
    }
    g_installed = true;
}

void UninstallStopSignals() {
    if (!g_installed) return;
    for (std::size_t i = 0; i < std::size(kStopSignals); ++i) ::sigaction(kStopSignals[i], &g_previous[i], nullptr);
    g_installed = false;
}

int StopSignalReceived() { return g_stopSignal; }

int StopSignalWakeFd() { return g_wake[0]; }

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
