#include "platform/ByteSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"

namespace gs {

namespace {
[[noreturn]] void throwShort(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    throw EReadError("Unexpected end of data: " + std::to_string(count) + " bytes wanted at offset " +
                     std::to_string(offset) + " of " + std::to_string(size));
}
}  // namespace

Bytes ByteSource::read(std::uint64_t offset, std::uint64_t count) const {
    if (!contains(offset, count)) throwShort(offset, count, size());
    Bytes out(static_cast<std::size_t>(count));
    readAt(offset, out);
    return out;
}

void MemorySource::readAt(std::uint64_t offset, std::span<std::uint8_t> dst) const {
    if (!contains(offset, dst.size())) throwShort(offset, dst.size(), size());
    if (!dst.empty()) std::memcpy(dst.data(), data_.data() + offset, dst.size());
}

FileSource::FileSource(const std::filesystem::path& path) : path_(path) {
    // O_NONBLOCK keeps a FIFO that slipped past the caller's checks from blocking the open.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        throw EFOpenError("Cannot open file \"" + path.string() + "\". " + std::strerror(errno));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError("Cannot open file \"" + path.string() + "\". Not a regular file");
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

void FileSource::readAt(std::uint64_t offset, std::span<std::uint8_t> dst) const {
    if (!contains(offset, dst.size())) throwShort(offset, dst.size(), size_);
    std::size_t done = 0;
    while (done < dst.size()) {
        ssize_t n = ::pread(fd_, dst.data() + done, dst.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError("Read error in \"" + path_.string() + "\": " + std::strerror(errno));
        if (n == 0) throwShort(offset, dst.size(), offset + done);  // file shrank under us
        done += static_cast<std::size_t>(n);
    }
}

std::shared_ptr<const ByteSource> openFileSource(const std::filesystem::path& path) {
    constexpr std::uint64_t kReadWholeBelow = 4u << 20;
    auto file = std::make_shared<const FileSource>(path);
    if (file->size() > kReadWholeBelow) return file;
    return std::make_shared<const MemorySource>(file->read(0, file->size()));
}

Bytes readWholeFile(const std::filesystem::path& path) {
    FileSource src(path);
    return src.read(0, src.size());
}

}  // namespace gs
