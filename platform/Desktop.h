#pragma once
// The few things of the desktop session the program reaches without a window: starting
// another program with an argument vector (never through a shell), the memory load, and
// the lock that keeps a second copy of the program from running.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// Starts argv[0] (searched on PATH) with the arguments and does not wait for it; the child
// is reaped in the background. False when it could not be started (missing program).
bool SpawnDetached(const std::vector<std::string>& argv);
// A program of that name is on PATH and may be run.
bool ProgramOnPath(const std::string& name);

// Memory load in percent from the text of /proc/meminfo:
// 100 x (MemTotal - MemAvailable) / MemTotal; nothing when either line is missing.
std::optional<int> MemoryLoadFromMeminfo(std::string_view text);
// The system's memory load now (0 to 100); 0 when it cannot be read.
int GetMemoryLoad();

// The program's private temporary folder: made (mode 0700) under ${TMPDIR:-/tmp} on first
// use and removed with everything in it when the process exits normally. Empty when it
// cannot be made.
// The same with its trailing "/", as callers join names to it.
std::string GetTempDirectory();

// ${XDG_RUNTIME_DIR:-/tmp}/glyphscope-<name>-<uid>.lock
std::string InstanceLockPath(const std::string& name);
// Takes an exclusive lock on the file for the rest of the process's life (the kernel
// releases it on any exit, a crash included). False when another process holds it; a
// lock file that cannot be made at all does not stop the program (true).
bool HoldInstanceLock(const std::string& path);

}  // namespace gs
