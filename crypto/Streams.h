#pragma once
// The small stream interface the protections code through: a memory block, or a file
// (a regular file, or a pipe that can only be read forward).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace gs::crypto {

class IStream {
public:
    // Size() of a stream whose end is known only when a read returns 0 bytes.
    static constexpr std::uint64_t kUnknownSize = UINT64_MAX;

    virtual ~IStream() = default;
    // Reads up to dst.size() bytes; 0 at the end.
    virtual std::size_t Read(std::span<std::uint8_t> dst) = 0;
    // Writes all bytes or throws ECodingFile.
    virtual void Write(std::span<const std::uint8_t> src) = 0;
    virtual void Seek(std::uint64_t position) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    // Cuts the stream at its position.
    virtual void Truncate() = 0;
};

class TMemoryStream final : public IStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> data) : data_(std::move(data)) {}
    ~TMemoryStream() override;

    std::size_t Read(std::span<std::uint8_t> dst) override;
    void Write(std::span<const std::uint8_t> src) override;
    void Seek(std::uint64_t position) override { pos_ = position; }
    std::uint64_t Position() const override { return pos_; }
    std::uint64_t Size() const override { return data_.size(); }
    void Truncate() override;
    const std::vector<std::uint8_t>& Data() const { return data_; }

private:
    std::vector<std::uint8_t> data_;
    std::uint64_t pos_ = 0;
};

// A file stream over a C stream. A stream that cannot seek (a pipe) reports kUnknownSize
// and refuses every seek but one to where it already is.
class TFileStream final : public IStream {
public:
    enum class Open { Read, Create };
    // Opens a regular file (ECodingFile when it is missing, not regular or cannot be opened).
    TFileStream(const std::filesystem::path& path, Open how);
    // Borrows an open stream such as stdin; it is not closed.
    explicit TFileStream(std::FILE* borrowed, std::string name);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(std::span<std::uint8_t> dst) override;
    void Write(std::span<const std::uint8_t> src) override;
    void Seek(std::uint64_t position) override;
    std::uint64_t Position() const override { return pos_; }
    std::uint64_t Size() const override;
    void Truncate() override;
    // Flushes to the disk and closes; throws ECodingFile when that fails.
    void Close();

private:
    [[noreturn]] void fail(const char* what) const;
    std::FILE* file_ = nullptr;
    bool owned_ = false;
    bool seekable_ = false;
    std::string name_;
    std::uint64_t pos_ = 0;
};

}  // namespace gs::crypto
