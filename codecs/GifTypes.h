#pragma once
// Vocabulary shared by every part of the GIF codec: its one exception type, the texts it
// raises and warns with, and the warning and progress events an image reports through.
#include <cstdint>
#include <functional>
#include <string>

#include "codecs/CodecBounds.h"
#include "codecs/CodecErrors.h"
#include "codecs/GifFormat.h"

namespace gs {

// Every error of the GIF codec; it carries only its message.
class GIFException : public ECodecError {
public:
    using ECodecError::ECodecError;
};

namespace gifmsg {
inline constexpr const char* kObjectTypeNotSupported = "Object type not supported for operation";
inline constexpr const char* kImageWidthTooSmall = "Image width too small for contained frames";
inline constexpr const char* kImageHeightTooSmall = "Image height too small for contained frames";
inline constexpr const char* kBadFrameSize = "Image exceeds Logical Screen size";
inline constexpr const char* kColorTableOverflow = "Color table overflow";
inline constexpr const char* kBadColorIndex = "Invalid color index";
inline constexpr const char* kEmptyColorMap = "Color table is empty";
inline constexpr const char* kEmptyImage = "Image is empty";
inline constexpr const char* kBadPixelCoordinates = "Invalid pixel coordinates";
inline constexpr const char* kUnsupportedVersion = "Unsupported GIF version";
inline constexpr const char* kUnknownColor = "Color not in color table";
inline constexpr const char* kInvalidReduction = "Invalid reduction method";
inline constexpr const char* kInvalidDither = "Invalid dither mode";
inline constexpr const char* kInvalidReductionBits = "Invalid reduction bit count";
inline constexpr const char* kInvalidDimensions = "Invalid image dimensions";
inline constexpr const char* kInvalidSignature = "Invalid GIF signature";
inline constexpr const char* kPrematureEnd = "Premature end of data";
inline constexpr const char* kUnknownExtension = "Unknown extension type";
inline constexpr const char* kBadExtensionIntroducer = "Invalid extension introducer";
inline constexpr const char* kExtensionMismatch = "Internal error: Extension Instance does not match Extension Label";
inline constexpr const char* kUnsupportedAppBlockSize = "Unsupported Application Extension block size";
inline constexpr const char* kInvalidData = "Invalid GIF data";
inline constexpr const char* kCircularTable = "Circular decoder table entry";
inline constexpr const char* kUnknownBlockType = "Unknown GIF block type";
inline constexpr const char* kBadTrailer = "Invalid Image trailer";
inline constexpr const char* kBitBufferUnderrun = "Decoder bit buffer under-run";
inline constexpr const char* kProgressLoad = "Loading...";
inline constexpr const char* kProgressSave = "Saving...";
inline constexpr const char* kProgressConvert = "Converting...";
inline constexpr const char* kProgressCopy = "Copying...";
inline constexpr const char* kProgressRender = "Rendering...";
inline constexpr const char* kProgressOptimize = "Optimizing...";
}  // namespace gifmsg

// The byte that ends a GIF stream.
inline constexpr std::uint8_t kGifTrailer = gifformat::kTrailer;

// Warnings are reported with severity 1 and processing goes on. Sender is the item, list
// or colour map that found the defect.
inline constexpr int kWarningSeverity = 1;
using TGIFWarningEvent = std::function<void(const void* sender, int severity, const std::string& message)>;

enum class TProgressStage { psStarting, psRunning, psEnding };
using TGIFProgressEvent = std::function<void(TProgressStage stage, int percentDone, const std::string& message)>;

// Reports a start step at 0 %, running steps, and an end step: 100 % on success, 0 % when
// an exception is passing through.
class TGifProgress {
public:
    TGifProgress(const TGIFProgressEvent& event, std::string message);
    ~TGifProgress();
    TGifProgress(const TGifProgress&) = delete;
    TGifProgress& operator=(const TGifProgress&) = delete;
    void Step(int percentDone) const;

private:
    const TGIFProgressEvent& event_;
    std::string message_;
    int exceptionsAtStart_;
};

}  // namespace gs
