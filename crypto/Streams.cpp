#include "crypto/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "crypto/BitUtils.h"
#include "crypto/CryptoErrors.h"

namespace gs::crypto {

TMemoryStream::~TMemoryStream() { SecureZero(data_); }

std::size_t TMemoryStream::Read(std::span<std::uint8_t> dst) {
    if (pos_ >= data_.size()) return 0;
    std::size_t n = std::min<std::uint64_t>(dst.size(), data_.size() - pos_);
    std::copy_n(data_.begin() + std::ptrdiff_t(pos_), n, dst.begin());
    pos_ += n;
    return n;
}

void TMemoryStream::Write(std::span<const std::uint8_t> src) {
    if (pos_ + src.size() > data_.size()) data_.resize(pos_ + src.size());
    std::copy(src.begin(), src.end(), data_.begin() + std::ptrdiff_t(pos_));
    pos_ += src.size();
}

void TMemoryStream::Truncate() {
    if (pos_ < data_.size()) data_.resize(pos_);
}

TFileStream::TFileStream(const std::filesystem::path& path, Open how) : owned_(true), name_(path.string()) {
    if (how == Open::Read) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
            throw ECodingFile("Cannot open file \"" + name_ + "\": not a regular file.");
    }
    file_ = std::fopen(path.c_str(), how == Open::Read ? "rb" : "w+b");
    if (!file_) fail(how == Open::Read ? "Cannot open file" : "Cannot create file");
    seekable_ = true;
}

TFileStream::TFileStream(std::FILE* borrowed, std::string name) : file_(borrowed), name_(std::move(name)) {
    struct stat st {};
    seekable_ = ::fstat(::fileno(file_), &st) == 0 && S_ISREG(st.st_mode);
    if (seekable_) {
        off_t at = ::ftello(file_);
        pos_ = at > 0 ? std::uint64_t(at) : 0;
    }
}

TFileStream::~TFileStream() {
    if (owned_ && file_) std::fclose(file_);
}

void TFileStream::fail(const char* what) const {
    throw ECodingFile(std::string(what) + " \"" + name_ + "\": " + std::strerror(errno));
}

std::size_t TFileStream::Read(std::span<std::uint8_t> dst) {
    std::size_t n = std::fread(dst.data(), 1, dst.size(), file_);
    if (n < dst.size() && std::ferror(file_)) fail("Cannot read file");
    pos_ += n;
    return n;
}

void TFileStream::Write(std::span<const std::uint8_t> src) {
    if (std::fwrite(src.data(), 1, src.size(), file_) != src.size()) fail("Cannot write file");
    pos_ += src.size();
}

void TFileStream::Seek(std::uint64_t position) {
    if (position == pos_ && !seekable_) return;
    if (!seekable_) throw ECodingFile("Cannot seek in \"" + name_ + "\".");
    if (::fseeko(file_, off_t(position), SEEK_SET) != 0) fail("Cannot seek in file");
    pos_ = position;
}

std::uint64_t TFileStream::Size() const {
    if (!seekable_) return kUnknownSize;
    std::fflush(file_);
    struct stat st {};
    if (::fstat(::fileno(file_), &st) != 0) fail("Cannot read the size of file");
    return std::uint64_t(st.st_size);
}

void TFileStream::Truncate() {
    if (!seekable_) return;
    std::fflush(file_);
    if (::ftruncate(::fileno(file_), off_t(pos_)) != 0) fail("Cannot cut file");
}

void TFileStream::Close() {
    if (!file_) return;
    bool ok = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    if (owned_) ok = (std::fclose(file_) == 0) && ok;
    file_ = nullptr;
    if (!ok) fail("Cannot write file");
}

}  // namespace gs::crypto
