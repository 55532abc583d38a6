#include "app/core/BatchWriters.h"

#include "framework/core/FileUtils.h"

#include <algorithm>

namespace gs {

namespace {

constexpr char kNameSeparator = '_';

}  // namespace

const char* BatchFormatExtension(TBatchFormat format) { return ImageFormatOf(format).Save.Extension; }

namespace {

std::filesystem::path withExtension(const std::filesystem::path& name, TBatchFormat format) {
    std::filesystem::path file = name;
    file += BatchFormatExtension(format);
    return file;
}

}  // namespace

std::string SafeOutputBaseName(const std::string& baseName) {
    std::string safe = baseName;
    for (char& c : safe)
        if (c == '/') c = kNameSeparator;
    if (safe.empty() || safe == "." || safe == "..") safe.insert(safe.begin(), kNameSeparator);
    return safe;
}

std::filesystem::path BatchOutputName(const std::string& targetDir, const std::string& baseName, int k) {
    return AddTrailingBackslash(targetDir) + SafeOutputBaseName(baseName) + kNameSeparator + std::to_string(k);
}

std::uint64_t TOutputBudget::LimitFor(std::uint64_t sourceSize) {
    const std::uint64_t multiple = sourceSize > UINT64_MAX / kFileMultiple ? UINT64_MAX : sourceSize * kFileMultiple;
    return std::max(multiple, kFloor);
}

bool TOutputBudget::Take(std::uint64_t bytes) {
    written_ = bytes > UINT64_MAX - written_ ? UINT64_MAX : written_ + bytes;
    return written_ <= limit_;
}

std::string TOutputBudget::Reason() const {
    return "The file is refused: its icons have written " + std::to_string(written_) + " bytes, more than the " +
           std::to_string(limit_) + " bytes the batch writes for a file of " + std::to_string(sourceSize_) +
           " bytes (" + std::to_string(kFileMultiple) + " times its size, at least " + std::to_string(kFloor >> 20) +
           " MiB); the files written for it are kept.";
}

std::filesystem::path TBatchWriter::OutputFile(const std::filesystem::path& name) const {
    return withExtension(name, format_);
}

bool TBatchWriter::Write(const TQBIcon& icon, const std::filesystem::path& name) const {
    switch (format_) {
    case TBatchFormat::bfBMP: return ExportAsBMP(icon, name);
    case TBatchFormat::bfGIF: return ExportAsGIF(icon, name);
    case TBatchFormat::bfJPG: return ExportAsJPEG(icon, name);
    case TBatchFormat::bfWMF: return ExportAsWMF(icon, name);
    case TBatchFormat::bfTIF: return ExportAsTIFF(icon, name);
    default: return ExportAsICO(icon, name);
    }
}

bool TBatchWriter::ExportIn(TBatchFormat format, const TQBIcon& icon, const std::filesystem::path& name) const {
    return WriteIconAs(format, icon, BatchImageChoice(size_), transparent_, withExtension(name, format));
}

bool TBatchWriter::ExportAsICO(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportIn(TBatchFormat::bfICO, icon, name);
}

bool TBatchWriter::ExportAsBMP(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportIn(TBatchFormat::bfBMP, icon, name);
}

bool TBatchWriter::ExportAsGIF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportIn(TBatchFormat::bfGIF, icon, name);
}

bool TBatchWriter::ExportAsJPEG(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportIn(TBatchFormat::bfJPG, icon, name);
}

bool TBatchWriter::ExportAsWMF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportIn(TBatchFormat::bfWMF, icon, name);
}

bool TBatchWriter::ExportAsTIFF(const TQBIcon& icon, const std::filesystem::path& name) const {
    return ExportIn(TBatchFormat::bfTIF, icon, name);
}

}  // namespace gs
