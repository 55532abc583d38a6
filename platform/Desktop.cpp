#include "platform/Desktop.h"
#include "platform/PrivateTemp.h"

#include "platform/ChildProcess.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace gs {

namespace {

constexpr std::size_t kMeminfoCap = 64 * 1024;  // the real file is a few KiB
constexpr const char* kMemTotal = "MemTotal:";
constexpr const char* kMemAvailable = "MemAvailable:";

// The number after `label` at the start of a line of the text.
std::optional<long long> meminfoField(std::string_view text, std::string_view label) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (line.starts_with(label)) {
            line.remove_prefix(label.size());
            while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
            long long value = 0;
            auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), value);
            if (ec == std::errc() && ptr != line.data() && value >= 0) return value;
            return std::nullopt;
        }
        pos = end + 1;
    }
    return std::nullopt;
}

}  // namespace

bool SpawnDetached(const std::vector<std::string>& argv) {
    const std::optional<pid_t> pid = SpawnChild(argv);
    if (!pid) return false;
    ReapInBackground(*pid);
    return true;
}

bool ProgramOnPath(const std::string& name) {
    if (name.empty()) return false;
    if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0;
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + name;
        struct stat st {};
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

std::optional<int> MemoryLoadFromMeminfo(std::string_view text) {
    const std::optional<long long> total = meminfoField(text, kMemTotal);
    const std::optional<long long> available = meminfoField(text, kMemAvailable);
    if (!total || !available || *total == 0 || *available > *total) return std::nullopt;
    return int(100 * (*total - *available) / *total);
}

int GetMemoryLoad() {
    std::ifstream in("/proc/meminfo", std::ios::binary);
    if (!in) return 0;
    std::string text(kMeminfoCap, '\0');
    in.read(text.data(), std::streamsize(text.size()));
    text.resize(std::size_t(in.gcount()));
    return MemoryLoadFromMeminfo(text).value_or(0);
}

std::string GetTempDirectory() {
    try {
        return PrivateTempFolder().string() + "/";
    } catch (const std::exception&) {
        return {};  // no private folder could be made: callers fall back as for no folder
    }
}

std::string InstanceLockPath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string dir = runtime && *runtime ? runtime : "/tmp";
    return dir + "/glyphscope-" + name + "-" + std::to_string(getuid()) + ".lock";
}

bool HoldInstanceLock(const std::string& path) {
    // The descriptor stays open until the process ends: that is what holds the lock.
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return true;
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return !held;
}

}  // namespace gs
