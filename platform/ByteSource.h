#pragma once
// Random-access, bounds-checked access to the bytes of a file or a memory block.
// Readers of untrusted formats go through this so that no offset or count taken from
// a file can reach past the bytes that are really there.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace gs {

using TBytes = std::vector<std::uint8_t>;

class IByteSource {
public:
    virtual ~IByteSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Copies exactly dst.size() bytes from offset; throws EReadError when they are not all there.
    virtual void ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const = 0;

    TBytes Read(std::uint64_t offset, std::uint64_t count) const;
    bool Contains(std::uint64_t offset, std::uint64_t count) const {
        return offset <= Size() && count <= Size() - offset;
    }
};

// Bytes already in memory, viewed without a copy; the owner keeps them alive.
class TSpanSource final : public IByteSource {
public:
    explicit TSpanSource(std::span<const std::uint8_t> data) : data_(data) {}
    std::uint64_t Size() const override { return data_.size(); }
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const override;

private:
    std::span<const std::uint8_t> data_;
};

// Bytes owned by the source.
class TMemorySource final : public IByteSource {
public:
    explicit TMemorySource(TBytes data) : data_(std::move(data)) {}
    std::uint64_t Size() const override { return data_.size(); }
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const override {
        TSpanSource(data_).ReadAt(offset, dst);
    }
    const TBytes& Bytes() const { return data_; }

private:
    TBytes data_;
};

// A regular file opened read-only. Only what is asked for is read: small reads (headers,
// directory entries, one field at a time) are served from a few aligned blocks read with
// one pread each, and large reads (icon data) go straight into the caller's buffer. So a
// directory walk costs a handful of system calls and a module of tens of megabytes costs
// only its headers and resources. A file that shrinks while it is read gives EReadError.
// Not for use by two threads at once.
class TFileSource final : public IByteSource {
public:
    static constexpr std::size_t kBlockSize = 4096;

    // Throws EFOpenError when the path is not a regular file or cannot be opened.
    explicit TFileSource(const std::filesystem::path& path);
    ~TFileSource() override;
    TFileSource(const TFileSource&) = delete;
    TFileSource& operator=(const TFileSource&) = delete;

    std::uint64_t Size() const override { return size_; }
    void ReadAt(std::uint64_t offset, std::span<std::uint8_t> dst) const override;
    const std::filesystem::path& Path() const { return path_; }

private:
    struct Block {
        std::uint64_t start = UINT64_MAX;  // offset of the block's first byte; MAX when empty
        std::uint64_t lastUse = 0;
        std::unique_ptr<std::uint8_t[]> bytes;
    };
    static constexpr std::size_t kBlocks = 8;

    const Block& BlockAt(std::uint64_t start) const;
    void PreadExactly(std::uint64_t offset, std::span<std::uint8_t> dst) const;

    std::filesystem::path path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
    mutable std::array<Block, kBlocks> blocks_;
    mutable std::uint64_t clock_ = 0;
};

// Reads a whole regular file into memory (EFOpenError / EReadError on failure).
TBytes readWholeFile(const std::filesystem::path& path);

// A regular file as a source (EFOpenError when it cannot be opened).
std::shared_ptr<const IByteSource> openFileSource(const std::filesystem::path& path);

}  // namespace gs
