#pragma once
// Which files hold data that can be read: regular files of real file systems. The files of
// the kernel's pseudo file systems (/proc, /sys, debugfs, ...) claim sizes they do not hold,
// never end, block the reader or act when read (/proc/kmsg), so they are never opened as
// data, whatever their mode says; FIFOs, devices and sockets are not files of data either.
#include <filesystem>

#include "platform/FileSystems.h"

namespace gs {

// The open file lies on a pseudo file system (OnPseudoFileSystem asks the same of a path).
// False when it cannot be asked.
bool OnPseudoFileSystem(int fd);

// A regular file (links followed) that does not lie on a pseudo file system.
bool IsDataFile(const std::filesystem::path& path);

}  // namespace gs
