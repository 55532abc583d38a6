#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/StopSignals.h"

namespace gs {

namespace {

constexpr int kNameAttempts = 100;

[[noreturn]] void fail(const std::filesystem::path& target, int err) {
    throw EFCreateError("Cannot create file \"" + target.string() + "\". " + std::strerror(err));
}

std::filesystem::path folderOf(const std::filesystem::path& target) {
    std::filesystem::path dir = target.parent_path();
    return dir.empty() ? std::filesystem::path(".") : dir;
}

// ".gs" and 16 hex digits: short and of one length whatever the target's name.
std::string temporaryName() {
    static std::atomic<std::uint64_t> counter{0};
    const std::uint64_t seed = std::uint64_t(::getpid()) << 40 ^
                               std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                               (counter++ * 0x9E3779B97F4A7C15ull);
    char name[32];
    std::snprintf(name, sizeof name, ".gs%016llx.tmp", static_cast<unsigned long long>(seed));
    return name;
}

// An open file, with or without a name, closed and its name removed unless kept.
class TTemporary {
public:
    ~TTemporary() {
        if (fd_ >= 0) ::close(fd_);
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    int Fd() const { return fd_; }

    // A file with no name in the folder; false where the file system cannot make one.
    bool OpenUnnamed(const std::filesystem::path& dir) {
        fd_ = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        return fd_ >= 0;
    }
    // A new file with a private name in the folder, created with the usual permissions.
    bool OpenNamed(const std::filesystem::path& dir) {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = (dir / temporaryName()).string();
            inFlight_.emplace(name.c_str());
            fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0) {
                name_ = std::move(name);
                return true;
            }
            inFlight_.reset();
            if (errno != EEXIST) return false;
        }
        errno = EEXIST;
        return false;
    }
    // Gives the unnamed file a name; EEXIST when that name is taken.
    bool Link(const std::string& name) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) return false;
        name_ = name;
        return true;
    }
    // Links the unnamed file under a private name beside the target.
    bool LinkNamed(const std::filesystem::path& dir) {
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string name = (dir / temporaryName()).string();
            inFlight_.emplace(name.c_str());
            if (Link(name)) return true;
            inFlight_.reset();
            if (errno != EEXIST) return false;
        }
        errno = EEXIST;
        return false;
    }
    bool WriteAll(FileParts parts) const {
        for (std::span<const std::uint8_t> data : parts)
            for (std::size_t done = 0; done < data.size();) {
                const ssize_t n = ::write(fd_, data.data() + done, data.size() - done);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) return false;
                done += static_cast<std::size_t>(n);
            }
        return true;
    }
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    bool RenameTo(const std::filesystem::path& target) {
        if (::rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }
    void Keep() { name_.clear(); }

private:
    int fd_ = -1;
    std::string name_;
    std::optional<TTemporaryInFlight> inFlight_;
};

// The way without unnamed files: a private name, then rename.
void writeNamed(const std::filesystem::path& target, const std::filesystem::path& dir, FileParts data,
                bool replacing) {
    TTemporary tmp;
    if (!tmp.OpenNamed(dir) || !tmp.WriteAll(data)) fail(target, errno);
    if (replacing && ::fsync(tmp.Fd()) != 0) fail(target, errno);
    if (!tmp.Close() || !tmp.RenameTo(target)) fail(target, errno);
}

}  // namespace

namespace detail {

void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data, bool unnamed) {
    const std::span<const std::uint8_t> parts[] = {data};
    writeFileAtomically(target, FileParts(parts), unnamed);
}

void writeFileAtomically(const std::filesystem::path& target, FileParts data, bool unnamed) {
    const std::filesystem::path dir = folderOf(target);
    struct stat st {};
    const bool replacing = ::lstat(target.c_str(), &st) == 0;
    if (replacing && S_ISDIR(st.st_mode)) fail(target, EISDIR);
    TTemporary tmp;
    if (!unnamed || !tmp.OpenUnnamed(dir)) return writeNamed(target, dir, data, replacing);
    if (!tmp.WriteAll(data)) fail(target, errno);
    // A file being replaced must not be lost to a crash between the rename and the data
    // reaching the disk; a new file has nothing to lose, and a batch writes thousands.
    if (replacing && ::fsync(tmp.Fd()) != 0) fail(target, errno);
    // A new name is linked straight in: the file appears complete or not at all.
    if (!replacing && tmp.Link(target.string())) {
        if (!tmp.Close()) fail(target, errno);  // data that may not have reached the file: the name goes again
        return tmp.Keep();
    }
    if (tmp.LinkNamed(dir)) {
        if (!tmp.Close() || !tmp.RenameTo(target)) fail(target, errno);
        return;
    }
    // No /proc to link through: the data again, the named way.
    writeNamed(target, dir, data, replacing);
}

}  // namespace detail

void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> data) {
    detail::writeFileAtomically(target, data, true);
}

void writeFileAtomically(const std::filesystem::path& target, FileParts parts) {
    detail::writeFileAtomically(target, parts, true);
}

}  // namespace gs
