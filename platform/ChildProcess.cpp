#include "platform/ChildProcess.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace gs {

namespace {

constexpr std::chrono::milliseconds kPollInterval{10};
constexpr int kSignalExitBase = 128;

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return kSignalExitBase + WTERMSIG(status);
    return -1;
}

}  // namespace

std::optional<pid_t> SpawnChild(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0].empty()) return std::nullopt;
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return std::nullopt;
    return pid;
}

void ReapInBackground(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

TChildResult RunBounded(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                        const std::stop_token& stop) {
    const std::optional<pid_t> pid = SpawnChild(argv);
    if (!pid) return {};
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(*pid, &status, WNOHANG);
        if (done == *pid) return {TChildEnd::Exited, exitCodeOf(status)};
        if (done < 0 && errno != EINTR) return {TChildEnd::Exited, -1};
        if (std::chrono::steady_clock::now() >= deadline || stop.stop_requested()) break;
        std::this_thread::sleep_for(kPollInterval);
    }
    ReapInBackground(*pid);
    return {TChildEnd::StillRunning, -1};
}

}  // namespace gs
