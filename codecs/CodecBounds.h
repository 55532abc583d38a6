#pragma once
// How much a file may make the codecs allocate, in one place. Every bound is checked before
// the allocation it guards; docs/bounds.md says why each value is what it is.
#include <cstdint>

namespace gs {

// --- GIF ---
// No frame is larger than this, whatever its descriptor says (64 MB of 8-bit pixels).
inline constexpr std::uint64_t kMaxGifFramePixels = std::uint64_t(1) << 26;
// The logical screen is drawn on a 32-bit canvas of its size. A screen is never larger than
// this (256 MB of canvas), however it came to be: read, set, or widened by a frame.
inline constexpr std::uint64_t kMaxGifScreenPixels = std::uint64_t(1) << 26;
// What a stream may make us allocate, counted apart for its screen and for all its frames
// together: this many pixels whatever its size (a 2048 x 2048 picture)...
inline constexpr std::uint64_t kGifPixelsAnySize = std::uint64_t(1) << 22;
// ...and this many more per byte of the stream. LZW codes at best about 1,400 pixels a byte
// (a full table of strings), somewhat more once the table is full, so a real picture stays
// well inside; a few bytes cannot ask for gigabytes. The screen takes the same budget: it is
// nothing but background where no frame is drawn.
inline constexpr std::uint64_t kGifPixelsPerStreamByte = 2048;

// --- Animated cursors ---
// Every step of an animation needs 4 bytes of the file: its own entry of a "seq " chunk, or
// (without one) its own "icon" chunk, which is larger. A step that cannot have them can
// never be given an image, and a step without an image is dropped, so no more steps than
// this are made.
inline constexpr std::uint64_t kAniBytesPerStep = 4;
// Chunk headers read from one cursor, its lists' too. A real cursor has a few besides one
// per image; a file of millions of empty chunks (a hole of gigabytes reads as such) would
// only cost time, so the reading stops there as if the file ended.
inline constexpr std::uint64_t kAniMaxChunks = std::uint64_t(1) << 20;

}  // namespace gs
