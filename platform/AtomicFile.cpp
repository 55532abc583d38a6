#include "platform/AtomicFile.h"

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

void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data) {
    std::filesystem::path dir = target.parent_path();
    if (dir.empty()) dir = ".";
    std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) fail(target, "temporary file", errno);
    auto cleanup = [&](const char* what, int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        fail(target, what, err);
    };
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) cleanup("write", errno);
        done += static_cast<std::size_t>(n);
    }
    // New files get the usual permissions (mkstemp makes them 0600).
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (::fsync(fd) != 0) cleanup("flush", errno);
    if (::close(fd) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        fail(target, "close", err);
    }
    if (::rename(tmpl.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(tmpl.c_str());
        fail(target, "rename", err);
    }
}

}  // namespace gs
