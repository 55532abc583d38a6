#include "framework/core/FileUtils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

namespace {

constexpr unsigned kStatxFields = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_BTIME;

// statx never opens the file, so FIFOs and devices cannot block here.
std::optional<struct statx> statOf(const std::filesystem::path& p) {
    struct statx st {};
    if (p.empty() || ::statx(AT_FDCWD, p.c_str(), AT_NO_AUTOMOUNT, kStatxFields, &st) != 0) return std::nullopt;
    return st;
}

std::optional<FileTime> toTime(const struct statx& st, const struct statx_timestamp& ts, unsigned field) {
    if (!(st.stx_mask & field)) return std::nullopt;
    auto since = std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec);
    return FileTime(std::chrono::duration_cast<FileTime::duration>(since));
}

}  // namespace

bool SafeFileExists(const std::filesystem::path& fileName) {
    auto st = statOf(fileName);
    return st && S_ISREG(st->stx_mode);
}

bool SafeDirectoryExists(const std::filesystem::path& path) {
    auto st = statOf(path);
    return st && S_ISDIR(st->stx_mode);
}

bool IsUNCPath(const std::string& path) { return path.starts_with("//"); }

void ForceDeleteFile(const std::filesystem::path& fileName) {
    struct stat st {};
    if (::lstat(fileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(fileName.c_str());
}

std::string AddTrailingBackslash(const std::string& path) {
    if (path.empty() || path.back() == '/') return path;
    return path + '/';
}

std::string CutAtFirstDot(const std::string& s) { return s.substr(0, s.find('.')); }

std::int64_t GetFileSize64(const std::filesystem::path& fileName) {
    auto st = statOf(fileName);
    return st && S_ISREG(st->stx_mode) ? std::int64_t(st->stx_size) : -1;
}

std::optional<std::uint32_t> GetFileAttributes(const std::filesystem::path& fileName) {
    auto st = statOf(fileName);
    if (!st) return std::nullopt;
    std::uint32_t attr = 0;
    if (!(st->stx_mode & S_IWUSR)) attr |= faReadOnly;
    if (fileName.filename().string().starts_with('.')) attr |= faHidden;
    if (S_ISDIR(st->stx_mode)) attr |= faDirectory;
    if (st->stx_attributes_mask & st->stx_attributes & STATX_ATTR_COMPRESSED) attr |= faCompressed;
    return attr;
}

bool FileHasAttributes(const std::filesystem::path& fileName, std::uint32_t attr) {
    std::optional<std::uint32_t> have = GetFileAttributes(fileName);
    return have && (*have & attr) == attr;
}

std::optional<FileTime> GetFileCreationTime(const std::filesystem::path& fileName) {
    auto st = statOf(fileName);
    return st ? toTime(*st, st->stx_btime, STATX_BTIME) : std::nullopt;
}

std::optional<FileTime> GetFileWriteTime(const std::filesystem::path& fileName) {
    auto st = statOf(fileName);
    return st ? toTime(*st, st->stx_mtime, STATX_MTIME) : std::nullopt;
}

std::optional<FileTime> GetFileAccessTime(const std::filesystem::path& fileName) {
    auto st = statOf(fileName);
    return st ? toTime(*st, st->stx_atime, STATX_ATIME) : std::nullopt;
}

}  // namespace gs
