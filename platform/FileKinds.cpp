#include "platform/FileKinds.h"

#include <sys/stat.h>
#include <sys/vfs.h>

namespace gs {

bool OnPseudoFileSystem(int fd) {
    struct statfs fs {};
    return ::fstatfs(fd, &fs) == 0 && IsPseudoFileSystemType(static_cast<unsigned long>(fs.f_type));
}

bool IsDataFile(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !OnPseudoFileSystem(path);
}

}  // namespace gs
