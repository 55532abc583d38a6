#include "platform/PrivateTemp.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>
#include <memory>
#include <mutex>

#include "platform/Errors.h"

namespace gs {

namespace {

constexpr const char* kFolderPattern = "glyphscope-XXXXXX";
constexpr const char* kHandOverPattern = "glyphscope-handed-XXXXXX";
constexpr std::string_view kHandOverPrefix = "glyphscope-handed-";
constexpr std::size_t kUniqueLength = 6;  // the XXXXXX mkdtemp fills in
// Deeper than anything a run writes there: a tree past it is not ours to judge.
constexpr int kWalkDepth = 8;
constexpr const char* kSubfolderPattern = "send-XXXXXX";

std::filesystem::path makeUnique(const std::filesystem::path& parent, const char* pattern) {
    std::string name = (parent / pattern).string();
    if (!::mkdtemp(name.data()))
        throw EFCreateError("Cannot create the temporary folder in \"" + parent.string() + "\": " + std::strerror(errno));
    return name;
}

// Made on first use; removed when the program ends normally (the static's destructor)
// unless it is to stay.
struct TFolder {
    const char* pattern;
    bool stays;
    std::filesystem::path path;
    std::mutex lock;
    ~TFolder() {
        if (path.empty() || stays) return;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

const std::filesystem::path& made(TFolder& folder) {
    std::lock_guard<std::mutex> guard(folder.lock);
    if (folder.path.empty()) folder.path = makeUnique(TempRoot(), folder.pattern);
    return folder.path;
}

TFolder& handOver() {
    static TFolder folder{kHandOverPattern, true, {}, {}};
    return folder;
}

bool isHandOverName(std::string_view name) {
    if (name.size() != kHandOverPrefix.size() + kUniqueLength || !name.starts_with(kHandOverPrefix)) return false;
    for (char c : name.substr(kHandOverPrefix.size()))
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    return true;
}

std::chrono::system_clock::time_point mtimeOf(const struct stat& st) {
    return std::chrono::system_clock::time_point(std::chrono::seconds(st.st_mtim.tv_sec)) +
           std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(st.st_mtim.tv_nsec));
}

struct TDirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

// The newest change of the folder at `fd` (owned here) and of everything below it, links
// themselves included but never followed; nullopt when a part cannot be read or the tree is
// deeper than a run makes it.
std::optional<std::chrono::system_clock::time_point> newestChange(int fd, int depth) {
    std::unique_ptr<DIR, TDirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) return std::nullopt;
    std::chrono::system_clock::time_point newest = mtimeOf(st);
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string_view name = e->d_name;
        if (name == "." || name == "..") continue;
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
        newest = std::max(newest, mtimeOf(st));
        if (!S_ISDIR(st.st_mode)) continue;
        if (depth >= kWalkDepth) return std::nullopt;
        const int sub = ::openat(fd, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) return std::nullopt;
        const auto below = newestChange(sub, depth + 1);
        if (!below) return std::nullopt;
        newest = std::max(newest, *below);
    }
    return newest;
}

}  // namespace

const std::filesystem::path& PrivateTempFolder() {
    static TFolder folder{kFolderPattern, false, {}, {}};
    return made(folder);
}

const std::filesystem::path& HandOverFolder() { return made(handOver()); }

std::filesystem::path NewHandOverSubfolder() { return makeUnique(HandOverFolder(), kSubfolderPattern); }

std::filesystem::path TempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

int RemoveStaleHandOverFolders(const std::filesystem::path& root, std::chrono::system_clock::time_point now,
                               std::chrono::seconds keep) {
    const int rootFd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (rootFd < 0) return 0;
    std::unique_ptr<DIR, TDirCloser> dir(::fdopendir(rootFd));
    if (!dir) {
        ::close(rootFd);
        return 0;
    }
    std::filesystem::path own;
    {
        std::lock_guard<std::mutex> guard(handOver().lock);
        own = handOver().path;
    }
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir.get())) {
        if (!isHandOverName(e->d_name)) continue;
        struct stat st {};
        if (::fstatat(rootFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISDIR(st.st_mode)) continue;
        if (st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) continue;
        std::error_code ec;
        if (!own.empty() && own.filename() == e->d_name && std::filesystem::equivalent(own.parent_path(), root, ec)) continue;
        const int fd = ::openat(rootFd, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        const auto newest = newestChange(fd, 0);
        if (newest && *newest + keep < now) stale.emplace_back(e->d_name);
    }
    int removed = 0;
    for (const std::string& name : stale) {
        // remove_all takes a link inside for what it is, and removes only the link.
        std::error_code ec;
        if (std::filesystem::remove_all(root / name, ec) > 0 && !ec) ++removed;
    }
    return removed;
}

}  // namespace gs
