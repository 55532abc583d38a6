#pragma once
// Animated cursors (RIFF "ACON" files) read into a list of frames, each an icon with its
// hot spot, display rate and place in the play sequence.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "iconlib/Icon.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"
#include "platform/Raster.h"

namespace gs {

class TIconList;

// The "anih" chunk as stored: nine 32-bit little-endian fields.
struct TAniHeader {
    std::uint32_t headerSize = 0, frames = 0, steps = 0, width = 0, height = 0, bitCount = 0, planes = 0,
                  displayRate = 0, flags = 0;
    static constexpr std::uint32_t kIconFlag = 0x01;      // frames are icons, not raw bitmaps
    static constexpr std::uint32_t kSequenceFlag = 0x02;  // a "seq " chunk is present
};

struct TRiffTag {
    std::array<char, 4> id{};
    std::uint32_t size = 0;
};

// One step of the animation. Steps showing the same image share its icon, which is never
// changed once read, so a long sequence costs no copies.
class TIconFrame {
public:
    std::shared_ptr<const TQBIcon> icon;  // none until an image is read for the frame
    bool isIcon = false;
    TRiffTag tag;
    int hotX = 0, hotY = 0;
    int rate = 0;       // jiffies (1/60 s)
    int sequence = -1;  // which image, in the order of the "icon" chunks
};

class TAnimatedCursorImage {
public:
    TAnimatedCursorImage() = default;
    TAnimatedCursorImage(const TAnimatedCursorImage&) = delete;
    TAnimatedCursorImage& operator=(const TAnimatedCursorImage&) = delete;

    // Parses the bytes from the reader's position to the end; a malformed file is EReadError
    // "Stream read error" and leaves the image cleared. A file cut short keeps the frames whose
    // images it holds whole. The images of every frame, and the steps, are counted in one pool
    // for the file (see TImageDataPool): a file whose frames would hold more than its budget
    // is EOverBudget "Stream read error", its Reason saying why.
    void LoadCursorStream(TByteReader& in);
    void LoadFromSource(const IByteSource& src);
    void LoadCursorFile(const std::filesystem::path& path);
    // Writing animated cursors is not supported: "Function not yet implemented".
    [[noreturn]] void SaveCursorStream(TByteWriter& out) const;

    void ClearCursor();
    void Assign(const TAnimatedCursorImage& source);
    // Replaces the list's entries by every frame's icon, announced once.
    void AssignTo(TIconList& list) const;

    int FrameCount() const { return int(frames_.size()); }
    TIconFrame& FrameAt(int index) const { return *frames_[checkedListIndex(index, frames_.size())]; }
    const TQBIcon* FrameIcon(int index) const { return FrameAt(index).icon.get(); }

    // The frames side by side (or one under another) on `back`, each in the cell of frame
    // 0's size; with `reduce`, brought down to the source's colour count (at least 16).
    TRaster FramesToBitmap(Argb back, bool vertical, bool reduce) const;

    TAniHeader header;
    std::string title;
    std::string creator;
    int sourceColorCount = 0;

private:
    // Reads the file that fills `file`, all of it, through windows of it.
    void Load(const TByteReader& file);
    void Parse(const TByteReader& file);
    bool ReadFrameImage(const TByteReader& chunk, TImageDataPool& pool, TIconFrame& into);

    std::vector<std::unique_ptr<TIconFrame>> frames_;
};

// The first image of an icon drawn on a picture of its size filled with `back`.
TRaster TIconPicture(const TQBIcon& icon, Argb back);

}  // namespace gs
