#pragma once
// Which folders hold files of the kernel's making rather than stored data: the pseudo file
// systems (proc, sysfs, the device folder and their kin). Their "files" may never end or
// block a reader (/proc/kmsg waits for the next kernel message), so a dialog never starts
// in such a folder, even when that is the folder it last showed.
#include <filesystem>

namespace gs {

// The file system type a statfs call reports (its f_type) is one of a pseudo file system.
bool IsPseudoFileSystemType(unsigned long type);

// The folder, or when it does not exist its nearest existing ancestor, lies on a pseudo
// file system. The device folder counts whatever it is mounted as (devtmpfs reports the
// type of an ordinary tmpfs). False when nothing of the path can be looked at.
bool OnPseudoFileSystem(const std::filesystem::path& folder);

// Where a file or folder dialog may open for `wanted`: its nearest existing folder
// (itself when it is one), or `fallback` when there is none, the path is empty or relative,
// or it lies on a pseudo file system.
std::filesystem::path DialogStartFolder(const std::filesystem::path& wanted, const std::filesystem::path& fallback);

}  // namespace gs
