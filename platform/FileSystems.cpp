#include "platform/FileSystems.h"

#include <sys/stat.h>
#include <sys/statfs.h>

#include <algorithm>
#include <array>
#include <system_error>

namespace gs {

namespace {

// The kernel's magic numbers (linux/magic.h) of the file systems whose files are made up
// as they are read.
constexpr std::array<unsigned long, 22> kPseudoTypes = {
    0x9fa0,      // proc
    0x62656572,  // sysfs
    0x1cd1,      // devpts
    0x64626720,  // debugfs
    0x74726163,  // tracefs
    0x73636673,  // securityfs
    0x27e0eb,    // cgroup
    0x63677270,  // cgroup2
    0x6165676c,  // pstore
    0xcafe4a11,  // bpf
    0xde5e81e4,  // efivarfs
    0x62656570,  // configfs
    0x65735543,  // fusectl
    0x19800202,  // mqueue
    0xf97cff8c,  // selinuxfs
    0x42494e4d,  // binfmt_misc
    0x6e736673,  // nsfs
    0x67596969,  // rpc_pipefs
    0x958458f6,  // hugetlbfs
    0x07655821,  // resctrl
    0x50495045,  // pipefs
    0x534f434b,  // sockfs
};

constexpr const char* kDeviceFolder = "/dev";

// The nearest ancestor of an absolute path (itself included) that exists.
std::filesystem::path existingPart(std::filesystem::path p) {
    std::error_code ec;
    while (!p.empty()) {
        if (std::filesystem::exists(p, ec)) return p;
        if (p == p.root_path()) break;
        p = p.parent_path();
    }
    return {};
}

// The path is on the file system mounted at the device folder (when that is a mount of
// its own): device nodes, never data.
bool onDeviceFolder(const std::filesystem::path& p) {
    struct stat dev {}, root {}, here {};
    if (::stat(kDeviceFolder, &dev) != 0 || ::stat("/", &root) != 0 || ::stat(p.c_str(), &here) != 0) return false;
    return dev.st_dev != root.st_dev && here.st_dev == dev.st_dev;
}

}  // namespace

bool IsPseudoFileSystemType(unsigned long type) {
    return std::find(kPseudoTypes.begin(), kPseudoTypes.end(), type) != kPseudoTypes.end();
}

bool OnPseudoFileSystem(const std::filesystem::path& folder) {
    const std::filesystem::path p = existingPart(folder.lexically_normal());
    if (p.empty()) return false;
    struct statfs fs {};
    if (::statfs(p.c_str(), &fs) == 0 && IsPseudoFileSystemType(static_cast<unsigned long>(fs.f_type))) return true;
    return onDeviceFolder(p);
}

std::filesystem::path DialogStartFolder(const std::filesystem::path& wanted, const std::filesystem::path& fallback) {
    if (wanted.empty() || !wanted.is_absolute()) return fallback;
    std::filesystem::path p = existingPart(wanted.lexically_normal());
    std::error_code ec;
    if (!p.empty() && !std::filesystem::is_directory(p, ec)) p = p.parent_path();
    if (p.empty() || OnPseudoFileSystem(p)) return fallback;
    return p;
}

}  // namespace gs
