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
// unless it is to stay. A folder that stays holds its mark, by which a later run's cleanup
// knows it for the program's own.
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
    if (folder.path.empty()) {
        folder.path = makeUnique(TempRoot(), folder.pattern);
        // Without its mark the folder is only never cleaned up: no reason to fail the run.
        if (folder.stays) {
            const int mark = ::open((folder.path / kHandOverMark).c_str(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (mark >= 0) ::close(mark);
        }
    }
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

struct TFileId {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFileId&) const = default;
};

// Whether another user may rename entries in a folder, and so swap one of them for another
// between a check and a removal: the owner of a folder always may; anyone who may write in
// it may, unless the sticky bit limits renames to the entries' owners.
bool othersMayRenameIn(const struct stat& st) {
    if (st.st_uid != ::geteuid() && st.st_uid != 0) return true;
    return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0;
}

// The folder open at `fd` (not taken) when it is a hand-over folder of an earlier run that
// nothing changed for `keep`: this user's, readable and writable by this user alone (as
// mkdtemp makes it), holding the program's mark, not this run's own. Its identity, or
// nullopt.
std::optional<TFileId> staleHandOver(int fd, const std::optional<TFileId>& own,
                                     std::chrono::system_clock::time_point now, std::chrono::seconds keep) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 07777) != 0700)
        return std::nullopt;
    const TFileId id{st.st_dev, st.st_ino};
    if (own && *own == id) return std::nullopt;
    struct stat mark {};
    if (::fstatat(fd, kHandOverMark, &mark, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(mark.st_mode) ||
        mark.st_uid != ::geteuid())
        return std::nullopt;
    // A second open of the folder itself: the walk reads it to its end.
    const auto newest = newestChange(::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC), 0);
    if (!newest || *newest + keep >= now) return std::nullopt;
    return id;
}

// Removes everything in the folder open at `fd` (owned here) through descriptors alone: each
// entry relative to the folder holding it, each subfolder opened without following links and
// taken only when it is the entry just looked at. False when anything stays.
bool emptyFolder(int fd, int depth) {
    std::unique_ptr<DIR, TDirCloser> dir(::fdopendir(fd));
    if (!dir) {
        ::close(fd);
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir.get()))
        if (std::string_view(e->d_name) != "." && std::string_view(e->d_name) != "..") names.emplace_back(e->d_name);
    bool whole = true;
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            whole = false;
        } else if (!S_ISDIR(st.st_mode)) {
            whole = ::unlinkat(fd, name.c_str(), 0) == 0 && whole;
        } else {
            const int sub = depth < kWalkDepth ? ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC) : -1;
            struct stat opened {};
            const bool same = sub >= 0 && ::fstat(sub, &opened) == 0 && opened.st_dev == st.st_dev &&
                              opened.st_ino == st.st_ino;
            if (!same && sub >= 0) ::close(sub);
            whole = same && emptyFolder(sub, depth + 1) && ::unlinkat(fd, name.c_str(), AT_REMOVEDIR) == 0 && whole;
        }
    }
    return whole;
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
    struct stat rootStat {};
    if (::fstat(rootFd, &rootStat) != 0 || othersMayRenameIn(rootStat)) return 0;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir.get()))
        if (isHandOverName(e->d_name)) names.emplace_back(e->d_name);
    std::optional<TFileId> own;
    {
        std::lock_guard<std::mutex> guard(handOver().lock);
        struct stat st {};
        if (!handOver().path.empty() && ::stat(handOver().path.c_str(), &st) == 0) own = TFileId{st.st_dev, st.st_ino};
    }
    int removed = 0;
    for (const std::string& name : names) {
        const int fd = ::openat(rootFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        const std::optional<TFileId> id = staleHandOver(fd, own, now, keep);
        // Emptied through its descriptor, wherever the name has gone meanwhile; only the
        // folder's own name is then removed from the root, and only while it is the same.
        if (!id || !emptyFolder(fd, 0)) {
            if (!id) ::close(fd);
            continue;
        }
        struct stat st {};
        if (::fstatat(rootFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && TFileId{st.st_dev, st.st_ino} == *id &&
            ::unlinkat(rootFd, name.c_str(), AT_REMOVEDIR) == 0)
            ++removed;
    }
    return removed;
}

}  // namespace gs
