#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"

namespace gs {

namespace {
[[noreturn]] void fail(const std::filesystem::path& target, const char* what, int err) {
    throw EFCreateError("Cannot create file \"" + target.string() + "\". " + what + ": " + std::strerror(err));
}
}  // namespace

namespace {
// A new, private name beside the target; created with the usual permissions (umask applies).
int createTemporary(const std::filesystem::path& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = (dir / ("." + target.filename().string() + "." + std::to_string(::getpid()) + "." +
                       std::to_string(counter++) + ".tmp"))
                   .string();
        int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}
}  // namespace

void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data) {
    std::string tmp;
    int fd = createTemporary(target, tmp);
    if (fd < 0) fail(target, "temporary file", errno);
    auto cleanup = [&](const char* what, int err) {
        ::close(fd);
        ::unlink(tmp.c_str());
        fail(target, what, err);
    };
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) cleanup("write", errno);
        done += static_cast<std::size_t>(n);
    }
    // A file being replaced must not be lost to a crash between the rename and the data
    // reaching the disk; a new file has nothing to lose, and a batch writes thousands.
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0 && ::fsync(fd) != 0) cleanup("flush", errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        fail(target, "close", err);
    }
    if (::rename(tmp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(tmp.c_str());
        fail(target, "rename", err);
    }
}

}  // namespace gs
