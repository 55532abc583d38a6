#include "platform/ByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/FileKinds.h"

namespace gs {

namespace {
[[noreturn]] void throwShort(std::uint64_t offset, std::uint64_t count, std::uint64_t size) {
    throw EReadError("Unexpected end of data: " + std::to_string(count) + " bytes wanted at offset " +
                     std::to_string(offset) + " of " + std::to_string(size));
}
}  // namespace

TBytes IByteSource::Read(std::uint64_t offset, std::uint64_t count) const {
    if (!Contains(offset, count)) throwShort(offset, count, Size());
    TBytes out(static_cast<std::size_t>(count));
    ReadAt(offset, out);
    return out;
}

void TSpanSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const {
    if (!Contains(offset, dst.size())) throwShort(offset, dst.size(), Size());
    if (!dst.empty()) std::memcpy(dst.data(), data_.data() + offset, dst.size());
}

TFileSource::TFileSource(const std::filesystem::path& path) : path_(path) {
    // O_NONBLOCK keeps a FIFO that slipped past the caller's checks from blocking the open.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        throw EFOpenError("Cannot open file \"" + path.string() + "\". " + std::strerror(errno));
    struct stat st {};
    const char* refusal = nullptr;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) refusal = "Not a regular file";
    // What /proc and /sys call regular files claim sizes they do not hold, or never end.
    else if (OnPseudoFileSystem(fd_)) refusal = "A file of the kernel's pseudo file system, not of data";
    if (refusal) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError("Cannot open file \"" + path.string() + "\". " + refusal);
    }
    size_ = static_cast<std::uint64_t>(st.st_size);
}

TFileSource::~TFileSource() {
    if (fd_ >= 0) ::close(fd_);
}

void TFileSource::PreadExactly(std::uint64_t offset, std::span<std::uint8_t> dst) const {
    std::size_t done = 0;
    while (done < dst.size()) {
        ssize_t n = ::pread(fd_, dst.data() + done, dst.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw EReadError("Read error in \"" + path_.string() + "\": " + std::strerror(errno));
        if (n == 0)  // the file shrank since it was opened
            throw EReadError("The file \"" + path_.string() + "\" changed while it was read: " +
                             std::to_string(dst.size()) + " bytes wanted at offset " + std::to_string(offset) +
                             ", it ends at " + std::to_string(offset + done));
        done += static_cast<std::size_t>(n);
    }
}

const TFileSource::Block& TFileSource::BlockAt(std::uint64_t start) const {
    Block* victim = &blocks_[0];
    for (Block& b : blocks_) {
        if (b.start == start) {
            b.lastUse = ++clock_;
            return b;
        }
        if (b.lastUse < victim->lastUse) victim = &b;
    }
    if (!victim->bytes) victim->bytes = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockSize);
    victim->start = UINT64_MAX;  // empty until the read below succeeds
    const std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(kBlockSize, size_ - start));
    PreadExactly(start, {victim->bytes.get(), length});
    victim->start = start;
    victim->lastUse = ++clock_;
    return *victim;
}

void TFileSource::ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const {
    if (!Contains(offset, dst.size())) throwShort(offset, dst.size(), size_);
    // Large reads are copied once, by the kernel, into the caller's buffer.
    if (dst.size() >= kBlockSize) return PreadExactly(offset, dst);
    std::size_t done = 0;
    while (done < dst.size()) {
        const std::uint64_t at = offset + done;
        const std::uint64_t start = at - at % kBlockSize;
        const Block& b = BlockAt(start);
        const std::size_t from = static_cast<std::size_t>(at - start);
        const std::size_t n = std::min(dst.size() - done, kBlockSize - from);
        std::memcpy(dst.data() + done, b.bytes.get() + from, n);
        done += n;
    }
}

std::shared_ptr<const IByteSource> openFileSource(const std::filesystem::path& path) {
    return std::make_shared<const TFileSource>(path);
}

TBytes readWholeFile(const std::filesystem::path& path) {
    TFileSource src(path);
    return src.Read(0, src.Size());
}

}  // namespace gs
