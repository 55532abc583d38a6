#pragma once
// Random-access, bounds-checked access to the bytes of a file or a memory block.
// Readers of untrusted formats go through this so that no offset or count taken from
// a file can reach past the bytes that are really there.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

namespace gs {

using Bytes = std::vector<std::uint8_t>;

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Copies exactly dst.size() bytes from offset; throws EReadError when they are not all there.
    virtual void readAt(std::uint64_t offset, std::span<std::uint8_t> dst) const = 0;

    Bytes read(std::uint64_t offset, std::uint64_t count) const;
    bool contains(std::uint64_t offset, std::uint64_t count) const {
        return offset <= size() && count <= size() - offset;
    }
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(Bytes data) : data_(std::move(data)) {}
    std::uint64_t size() const override { return data_.size(); }
    void readAt(std::uint64_t offset, std::span<std::uint8_t> dst) const override;
    const Bytes& bytes() const { return data_; }

private:
    Bytes data_;
};

// A regular file opened read-only; only the ranges asked for are read (pread), so a
// module of tens of megabytes costs only its headers and resources.
class FileSource final : public ByteSource {
public:
    // Throws EFOpenError when the path is not a regular file or cannot be opened.
    explicit FileSource(const std::filesystem::path& path);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::uint64_t size() const override { return size_; }
    void readAt(std::uint64_t offset, std::span<std::uint8_t> dst) const override;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

// Reads a whole regular file into memory (EFOpenError / EReadError on failure).
Bytes readWholeFile(const std::filesystem::path& path);

// A regular file as a source: small files are read whole in one call (a folder scan meets
// thousands of them), large ones are read range by range.
std::shared_ptr<const ByteSource> openFileSource(const std::filesystem::path& path);

}  // namespace gs
