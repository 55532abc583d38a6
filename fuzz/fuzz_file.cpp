// The whole reading road of one file, as a scan meets it: opened from the file system (so
// through the block cache of the file source), probed, counted and read by the icon library,
// whole and for its first icon alone.
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "FuzzCommon.h"
#include "iconlib/IconLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("glyphscope-fuzz", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) return 0;
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    gs::GetIconCount(path);
    // The first icon alone, as File Properties reads it.
    if (auto first = gs::ReadFirstIcon(path)) exerciseIcon(*first);
    gs::TQBIconLibrary library;
    if (library.Read(path).Result == gs::TLoadResult::Read)
        for (int i = 0; i < library.Icons.Count(); ++i) exerciseIcon(*library.Icons.GetIcon(i));
    return 0;
}
