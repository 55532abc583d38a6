#pragma once
// A GIF colour table: up to 256 RGB entries, optionally marked as sorted by use.
// The global table (bound to the image) and the local tables (bound to a frame) differ
// only in which pixels they count and rewrite when they are sorted.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Raster.h"

namespace gs {

class TGIFColorMap {
public:
    static constexpr int kMaxColors = 256;
    using UseCounts = std::array<std::uint64_t, kMaxColors>;
    using IndexTable = std::array<std::uint8_t, kMaxColors>;

    virtual ~TGIFColorMap() = default;

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // True when the table is sorted by use (written as the sort flag of the descriptors).
    bool Optimized() const { return optimized_; }
    std::span<const TRgb> Colors() const { return {colors_.data(), std::size_t(count_)}; }

    void Reset();
    void Assign(const TGIFColorMap& source);
    // Takes up to 256 entries of a palette.
    void LoadFromPalette(std::span<const TRgb> palette);
    // Takes up to 256 colour-table quads (blue, green, red, reserved), as a bitmap stores them.
    void LoadFromQuads(std::span<const std::array<std::uint8_t, 4>> quads);

    // "Color table overflow" for a 257th colour. Returns the new index.
    int AppendColor(TRgb color);
    int FindOrAppendColor(TRgb color);
    // -1 when absent; a sorted table is searched from the front, an unsorted one from the back.
    int FindColor(TRgb color) const;
    // "Invalid color index" for an index outside the table.
    void DeleteColor(int index);
    // An index outside the table warns "Invalid color index" and gives entry 0; an empty
    // table raises "Color table is empty".
    TRgb ColorAt(int index) const;

    // Bits per pixel: 0 for no colours, else the smallest b >= 1 with 2^b >= count.
    int ColorBits() const;

    // Sorts the entries by how often the pixels use them, most used first, and drops the
    // unused ones when the order changed. False (and nothing done) for fewer than 2 colours.
    bool SortByUse();

    // The entries as R, G, B, padded with zero triplets to 2^ColorBits() entries.
    void WriteTable(TByteWriter& out) const;
    // Reads a table of `entries` RGB triplets (at most 256) and its sort flag.
    void ReadTable(TByteReader& in, int entries, bool sorted);

protected:
    // Use count of every pixel value of the pixels this table colours.
    virtual void CountUses(UseCounts& uses) const = 0;
    // Rewrites those pixels (and a transparent index) through an old-to-new index table.
    virtual void RemapPixels(const IndexTable& oldToNew) = 0;
    virtual void ColorsChanged() {}
    virtual void ReportWarning(const std::string& message) const = 0;

private:
    std::array<TRgb, kMaxColors> colors_{};
    int count_ = 0;
    bool optimized_ = false;
};

// The unit's colour value packs red in the low byte, then green, then blue.
using TColor = std::uint32_t;
constexpr TColor colorOf(TRgb c) { return TColor(c.r) | (TColor(c.g) << 8) | (TColor(c.b) << 16); }
constexpr TRgb rgbOfColor(TColor c) {
    return TRgb{std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16)};
}
// The colour value meaning "none": the GIF's own background colour is used.
inline constexpr TColor clNone = 0x1FFFFFFF;

}  // namespace gs
