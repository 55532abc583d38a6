#pragma once
// Test material made in code: icon images (DIB with AND mask, or PNG), icon files, and
// PE32/PE32+ and NE modules with icon resources laid out as the tests need them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gstest {

using gs::TBytes;

// A DIB icon image (header with doubled height, colour table, XOR bits, AND mask) of the
// given depth (1, 4, 8, 16 as 5-5-5, 24 or 32). Pixels with alpha below 128 get their mask bit set; 32-bit keeps alpha.
TBytes makeDibImage(const gs::TRaster& picture, int bitCount);
// A width x height picture of a simple deterministic pattern (seed varies it).
gs::TRaster patternPicture(int width, int height, unsigned seed, bool withTransparency = true);
// PNG stream of an RGBA picture.
TBytes makePngImage(const gs::TRaster& picture);

struct ImageSpec {
    TBytes data;
    int width = 0, height = 0;  // as the directory entry says (0 for 256)
    std::uint8_t colorCount = 0;
    std::uint16_t bitCount = 32;
};
ImageSpec dibSpec(int size, int bitCount, unsigned seed = 1);
ImageSpec pngSpec(int width, int height, unsigned seed = 1);

// An .ico file of the images, in order.
TBytes makeIcoFile(const std::vector<ImageSpec>& images);
// An icon-group resource referring to icon ids.
TBytes makeGroup(const std::vector<ImageSpec>& images, const std::vector<std::uint16_t>& ids);

struct PeResource {
    std::uint16_t type;
    std::optional<std::uint16_t> id;  // else name
    std::string name;
    std::uint16_t language = 0x0409;
    TBytes data;
};
// A PE module (no code) holding the resources; directory sorted as linkers sort it.
TBytes makePeModule(const std::vector<PeResource>& resources, bool pe32Plus = false);

// A PE32 module whose `groups` icon groups (ids 1 up) all lead to one language directory of
// `languages` entries, as a hostile module may share it: its last entry, US English, holds a
// group naming icon 1 (`image`); every other language's names icon 2, which is missing.
// `fileSize` pads the file with zeros past its section (so the reading fits its budget).
TBytes makePeSharedLanguages(int groups, int languages, const ImageSpec& image, std::size_t fileSize = 0);

struct NeResource {
    std::uint16_t typeId;  // bit 15 set for an integer type; without it, a named type
    std::uint16_t id;      // bit 15 set for an integer id
    TBytes data;
    std::optional<int> nameIndex = std::nullopt;  // named resource: ID is the offset of names[i]
};
// An NE module with the resources in the order given (grouped by type in order of first
// appearance); `names` are the length-prefixed strings after the resource table.
TBytes makeNeModule(const std::vector<NeResource>& resources, const std::vector<std::string>& names,
                   std::uint16_t alignShift = 4);

// A module of one group naming one one-byte image 20,000 times, whose images pass its read
// budget: a PE module, or (`ne`) an NE module, which also makes an icon library.
TBytes makeOverBudgetModule(bool ne);

void writeFile(const std::string& path, const TBytes& data);

}  // namespace gstest
