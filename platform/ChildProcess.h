#pragma once
// Other programs started with an argument vector (searched on PATH, never through a shell),
// either left to run or waited for a bounded time.
#include <chrono>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include <sys/types.h>

namespace gs {

// The child's id, or nothing when argv[0] could not be started.
std::optional<pid_t> SpawnChild(const std::vector<std::string>& argv);
// The child is reaped when it ends, without anyone waiting for it.
void ReapInBackground(pid_t pid);

enum class TChildEnd { NotStarted, Exited, StillRunning };
struct TChildResult {
    TChildEnd End = TChildEnd::NotStarted;
    int ExitCode = -1;  // for Exited; a child killed by signal N gives 128 + N
};

// Starts the program and waits at most `limit` for it to end, or until a stop is asked for.
// One that is still running then is left to run (and reaped in the background).
TChildResult RunBounded(const std::vector<std::string>& argv, std::chrono::milliseconds limit,
                        const std::stop_token& stop = {});

}  // namespace gs
