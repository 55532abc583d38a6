#pragma once
// Which files hold data that can be read: regular files of real file systems. The files of
// the kernel's pseudo file systems (/proc, /sys, debugfs, ...) claim sizes they do not hold,
// never end, block the reader or act when read (/proc/kmsg), so they are never opened as
// data, whatever their mode says; FIFOs, devices and sockets are not files of data either.
#include <filesystem>

namespace gs {

// A file system type (statfs's f_type) of the kernel's pseudo file systems.
bool IsPseudoFileSystemType(long type);
// The open file, or the file or folder at `path` (links followed), lies on one of them.
// False when it cannot be asked.
bool OnPseudoFileSystem(int fd);
bool OnPseudoFileSystem(const std::filesystem::path& path);

// A regular file (links followed) that does not lie on a pseudo file system.
bool IsDataFile(const std::filesystem::path& path);

}  // namespace gs
