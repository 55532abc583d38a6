#pragma once
// Runs a test's body in a child process that cannot write one folder. Root writes through
// any permission bits, so when the tests run as root the child becomes the user nobody
// (65534) first, the folder and what is in it being given to that user; either way the
// child, as the folder's owner, makes it read-only itself with `lock(true)` (and writable
// again with `lock(false)`), so the body can also take the write access away half-way.
// The body answers the number of its failed checks, each said on stderr.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <string>

namespace gstest {

using LockFolder = std::function<void(bool readOnly)>;

// The child's exit status: 0 when every check held; -1 when the child could not be made.
inline int RunWithoutWriteAccess(const std::filesystem::path& folder, const std::function<int(const LockFolder&)>& body) {
    const bool root = ::geteuid() == 0;
    if (root) {
        if (::chmod(folder.parent_path().c_str(), 0755) != 0) return -1;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            if (::chown(entry.path().c_str(), 65534, 65534) != 0) return -1;
        if (::chown(folder.c_str(), 65534, 65534) != 0) return -1;
    }
    std::cout.flush();
    std::cerr.flush();
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (root && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(100);
        const LockFolder lock = [&](bool readOnly) {
            if (::chmod(folder.c_str(), readOnly ? 0555 : 0755) != 0) std::cerr << "cannot chmod " << folder << '\n';
        };
        const int failures = body(lock);
        std::cerr.flush();
        ::_exit(failures > 99 ? 99 : failures);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    ::chmod(folder.c_str(), 0755);
    return WEXITSTATUS(status);
}

// One check in the child: said on stderr when it fails; answers 1 then, else 0.
inline int Check(bool held, const std::string& what) {
    if (!held) std::cerr << "failed: " << what << '\n';
    return held ? 0 : 1;
}

}  // namespace gstest
