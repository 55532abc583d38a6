#pragma once
// The fuzz input as a file the program opens by name: an anonymous memory file reached
// through /proc, rewritten for every input, so the file system's readers see it whole.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>

inline std::string fuzzInputAsFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("glyphscope-fuzz", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) return {};
    return "/proc/self/fd/" + std::to_string(fd);
}

// A folder of its own for what a target writes, made once and reused for every input.
inline const std::string& fuzzScratchFolder() {
    static const std::string folder = [] {
        char name[] = "/tmp/glyphscope-fuzz-XXXXXX";
        const char* made = mkdtemp(name);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}
