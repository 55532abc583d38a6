#pragma once
// Small file routines shared by the program and its windows. Paths are Linux paths: "/"
// separates folders; a path starting with "//" is a network path; every path is "ready"
// (there are no drives whose medium may be missing). None of these opens, blocks or throws.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace gs {

// Attribute bits as the file-properties window shows them.
constexpr std::uint32_t faReadOnly = 0x01;
constexpr std::uint32_t faHidden = 0x02;
constexpr std::uint32_t faSysFile = 0x04;
constexpr std::uint32_t faDirectory = 0x10;
constexpr std::uint32_t faArchive = 0x20;
constexpr std::uint32_t faCompressed = 0x800;

// A regular file (after following links) of that name exists; FIFOs, devices and folders
// do not count.
bool SafeFileExists(const std::filesystem::path& fileName);
// A folder (after following links) of that name exists.
bool SafeDirectoryExists(const std::filesystem::path& path);
// The path names a network share ("//host/share").
bool IsUNCPath(const std::string& path);
// Removes a file (not a folder); reports nothing.
void ForceDeleteFile(const std::filesystem::path& fileName);
// The path with one "/" at its end; an empty path stays empty.
std::string AddTrailingBackslash(const std::string& path);
// The text before its first "." (all of it without one).
std::string CutAtFirstDot(const std::string& s);
// Size of the regular file of exactly that name; -1 for anything else.
std::int64_t GetFileSize64(const std::filesystem::path& fileName);
// The faXxx bits that apply to the file: read-only (no write permission for its owner),
// hidden (name starting with "."), directory, compressed; nothing when it is missing.
std::optional<std::uint32_t> GetFileAttributes(const std::filesystem::path& fileName);
bool FileHasAttributes(const std::filesystem::path& fileName, std::uint32_t attr);

// The file's times; nothing when the system does not know them (creation time on file
// systems without a birth time) or the file is missing.
using FileTime = std::chrono::system_clock::time_point;
std::optional<FileTime> GetFileCreationTime(const std::filesystem::path& fileName);
std::optional<FileTime> GetFileWriteTime(const std::filesystem::path& fileName);
std::optional<FileTime> GetFileAccessTime(const std::filesystem::path& fileName);

}  // namespace gs
