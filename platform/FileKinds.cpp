#include "platform/FileKinds.h"

#include <array>
#include <algorithm>
#include <cstdint>

#include <sys/stat.h>
#include <sys/vfs.h>

namespace gs {

namespace {

// The magic numbers of linux/magic.h, spelled out so that no kernel header is needed.
constexpr std::array<std::uint32_t, 20> kPseudoTypes = {
    0x00009fa0,  // proc
    0x62656572,  // sysfs
    0x64626720,  // debugfs
    0x74726163,  // tracefs
    0x73636673,  // securityfs
    0x0027e0eb,  // cgroup
    0x63677270,  // cgroup2
    0x00001cd1,  // devpts
    0xcafe4a11,  // bpf
    0x62656570,  // configfs
    0x6165676c,  // pstore
    0xde5e81e4,  // efivarfs
    0x65735543,  // fusectl
    0x42494e4d,  // binfmt_misc
    0xf97cff8c,  // selinuxfs
    0x19800202,  // mqueue
    0x6e736673,  // nsfs
    0x07655821,  // resctrl
    0x50495045,  // pipefs
    0x534f434b,  // sockfs
};

}  // namespace

bool IsPseudoFileSystemType(long type) {
    const auto magic = static_cast<std::uint32_t>(type);
    return std::find(kPseudoTypes.begin(), kPseudoTypes.end(), magic) != kPseudoTypes.end();
}

bool OnPseudoFileSystem(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && IsPseudoFileSystemType(long(fs.f_type));
}

bool OnPseudoFileSystem(const std::filesystem::path& path) {
    struct statfs fs {};
    return ::statfs(path.c_str(), &fs) == 0 && IsPseudoFileSystemType(long(fs.f_type));
}

bool IsDataFile(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !OnPseudoFileSystem(path);
}

}  // namespace gs
