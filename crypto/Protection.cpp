#include "crypto/Protection.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "crypto/BitUtils.h"
#include "crypto/CryptoErrors.h"
#include "crypto/StringFormats.h"

namespace gs::crypto {

TProtection::TProtection(std::shared_ptr<TProtection> protection) { SetProtection(std::move(protection)); }

TProtection::~TProtection() = default;

void TProtection::SetProtection(std::shared_ptr<TProtection> protection) {
    if (protection == protection_) return;
    for (const TProtection* p = protection.get(); p; p = p->protection_.get())
        if (p == this) throw EProtection("Circular Protection detected, Protection Object is invalid.");
    protection_ = std::move(protection);
}

void TProtection::SetAction(Action a, bool on) {
    std::uint8_t bit = std::uint8_t(1u << unsigned(a));
    actions_ = on ? (actions_ | bit) : (actions_ & ~bit);
}

void TProtection::StartCoding(Action action) {
    if (protection_) protection_->StartCoding(action);
}

void TProtection::EndCoding(Action action) {
    if (protection_) protection_->EndCoding(action);
}

void TProtection::CodeChunk(std::span<std::uint8_t> buffer, Action action) {
    if (protection_) protection_->CodeChunk(buffer, action);
}

namespace {
// Runs `body` between StartCoding and EndCoding; EndCoding also runs when the body raises,
// and the body's error is the one that reaches the caller.
template <class Body>
void coding(TProtection& p, Action action, Body body) {
    p.StartCoding(action);
    try {
        body();
    } catch (...) {
        try {
            p.EndCoding(action);
        } catch (...) {
        }
        throw;
    }
    p.EndCoding(action);
}
}  // namespace

void TProtection::CodeStream(IStream* source, IStream* dest, std::int64_t size, Action action) {
    if (!source) return;
    if (!dest) dest = source;
    std::uint64_t remaining = std::uint64_t(size);
    if (size < 0) {
        source->Seek(0);
        remaining = source->Size();
    }
    coding(*this, action, [&] {
        std::vector<std::uint8_t> work(kChunkSize);
        struct Wiper {
            std::vector<std::uint8_t>& w;
            ~Wiper() { SecureZero(w); }
        } wiper{work};
        std::uint64_t readAt = source->Position(), writeAt = dest->Position();
        while (remaining > 0) {
            std::span<std::uint8_t> chunk(work.data(), std::size_t(std::min<std::uint64_t>(remaining, kChunkSize)));
            if (action != Action::Calculate) source->Seek(readAt);
            std::size_t n = source->Read(chunk);
            if (n == 0) break;
            chunk = chunk.first(n);
            readAt += n;
            CodeChunk(chunk, action);
            if (action != Action::Calculate) {
                dest->Seek(writeAt);
                dest->Write(chunk);
                writeAt += n;
            }
            if (remaining != IStream::kUnknownSize) remaining -= n;
        }
    });
}

namespace {
// A private name beside the target, removed again unless it was renamed over the target.
struct TTemporaryFile {
    std::filesystem::path path;
    bool kept = false;
    explicit TTemporaryFile(const std::filesystem::path& target) {
        static std::atomic<unsigned> counter{0};
        std::filesystem::path dir = target.parent_path();
        if (dir.empty()) dir = ".";
        std::string name = ".";
        name.append(target.filename().string()).append(".").append(std::to_string(::getpid()));
        name.append(".").append(std::to_string(counter++)).append(".tmp");
        path = dir / name;
    }
    ~TTemporaryFile() {
        std::error_code ec;
        if (!kept) std::filesystem::remove(path, ec);
    }
};

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}
}  // namespace

void TProtection::CodeFile(const std::filesystem::path& sourceName, const std::filesystem::path& destName,
                           Action action) {
    TFileStream source(sourceName, TFileStream::Open::Read);
    if (action == Action::Calculate) {
        CodeStream(&source, nullptr, -1, action);
        return;
    }
    const std::filesystem::path& target =
        destName.empty() || sameFile(sourceName, destName) ? sourceName : destName;
    TTemporaryFile temp(target);
    {
        TFileStream dest(temp.path, TFileStream::Open::Create);
        CodeStream(&source, &dest, -1, action);
        dest.Truncate();
        dest.Close();
    }
    std::error_code ec;
    if (&target == &sourceName)  // in place: keep the file's permissions
        std::filesystem::permissions(temp.path, std::filesystem::status(sourceName).permissions(), ec);
    std::filesystem::rename(temp.path, target, ec);
    if (ec) throw ECodingFile("Cannot create file \"" + target.string() + "\": " + ec.message());
    temp.kept = true;
}

std::string TProtection::CodeString(std::string_view source, Action action, int formatId) {
    if (source.empty()) return {};
    std::string bytes = action == Action::Decode ? FormatToBytes(source, formatId) : std::string(source);
    TMemoryStream stream(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    SecureZero({reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()});
    CodeStream(&stream, nullptr, -1, action);
    std::string coded(stream.Data().begin(), stream.Data().end());
    return action == Action::Decode ? coded : BytesToFormat(coded, formatId);
}

std::size_t TProtection::CodeBuffer(std::span<std::uint8_t> buffer, Action action) {
    coding(*this, action, [&] { CodeChunk(buffer, action); });
    return buffer.size();
}

}  // namespace gs::crypto
