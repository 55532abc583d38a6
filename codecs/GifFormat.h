#pragma once
// The bytes of the GIF stream that the model's reader and writer and the splash picture's
// reader and writer all speak: block introducers, extension labels and the fixed sizes of
// the blocks, named once.
#include <cstdint>

namespace gs::gifformat {

inline constexpr std::uint64_t kSignatureSize = 6;         // "GIF87a" or "GIF89a"
inline constexpr std::uint64_t kScreenDescriptorSize = 7;  // width, height, flags, background, aspect

inline constexpr std::uint8_t kExtensionIntroducer = 0x21;  // '!'
inline constexpr std::uint8_t kImageSeparator = 0x2C;       // ','
inline constexpr std::uint8_t kTrailer = 0x3B;              // ';'

inline constexpr std::uint8_t kLabelPlainText = 0x01;
inline constexpr std::uint8_t kLabelGraphicControl = 0xF9;
inline constexpr std::uint8_t kLabelComment = 0xFE;
inline constexpr std::uint8_t kLabelApplication = 0xFF;

// The size byte that opens each fixed-size extension's first block says these many bytes.
inline constexpr std::uint8_t kGraphicControlSize = 4;  // flags, delay, transparent index
inline constexpr std::uint8_t kPlainTextSize = 12;      // grid, cells and colours
inline constexpr std::uint8_t kApplicationIdSize = 11;  // identifier and authentication code

// A graphic control extension after its label: its size byte, its block and the terminator.
inline constexpr std::uint64_t kGraphicControlBytes = 1 + kGraphicControlSize + 1;
// A plain-text extension's size byte and first block, after its label.
inline constexpr std::uint64_t kPlainTextBytes = 1 + kPlainTextSize;

}  // namespace gs::gifformat
