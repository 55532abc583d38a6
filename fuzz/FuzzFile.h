#pragma once
// The fuzz input as a file the program opens by name: an anonymous memory file reached
// through /proc, rewritten for every input, so the file system's readers see it whole.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>

inline std::string fuzzInputAsFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("glyphscope-fuzz", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) return {};
    return "/proc/self/fd/" + std::to_string(fd);
}

// A folder of its own for what a target writes, made once, reused for every input and
// removed when the run ends.
inline const std::string& fuzzScratchFolder() {
    static const struct Scratch {
        std::string path;
        Scratch() {
            char name[] = "/tmp/glyphscope-fuzz-XXXXXX";
            if (const char* made = mkdtemp(name)) path = made;
        }
        ~Scratch() {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
    } scratch;
    return scratch.path;
}
