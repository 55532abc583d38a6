#pragma once
// One image of a multi-image icon: the directory-entry head fields and the image data
// exactly as an icon resource holds it (a DIB with its AND mask, or a PNG stream).
#include <cstdint>
#include <memory>
#include <vector>

#include "iconlib/IconPicture.h"
#include "iconlib/ImageDataPool.h"
#include "platform/ByteSource.h"
#include "platform/Raster.h"

namespace gs {

class TByteReader;
class TQBHiResIcon;

// The 12 head bytes shared by ICONDIRENTRY and GRPICONDIRENTRY. Width and Height are
// held as real sizes; the one-byte fields of the file formats get 0 for 256 and more.
struct TIconImageHead {
    int Width = 0;
    int Height = 0;
    std::uint8_t ColorCount = 0;
    std::uint8_t Reserved = 0;
    std::uint16_t Planes = 0;
    std::uint16_t BitCount = 0;
    std::uint32_t BytesInRes = 0;

    static constexpr std::size_t kSize = 12;
    static TIconImageHead read(TByteReader& r);
    void write(class TByteWriter& w) const;
};

class TQBIconImage {
public:
    TQBIconImage();
    // Head and data as given; BytesInRes is made to equal the data held.
    TQBIconImage(const TIconImageHead& head, TBytes data);
    // The same with data shared with other images (null for none).
    TQBIconImage(const TIconImageHead& head, TSharedBytes data);
    // The copy: head and data, the data shared.
    TQBIconImage(const TQBIconImage& source);
    TQBIconImage& operator=(const TQBIconImage&) = delete;
    virtual ~TQBIconImage() = default;

    // Reads an entry of an icon file: `r` stands on the 16-byte directory entry and is left
    // just past it. Returns nullptr when the entry or its data is not wholly in the file, or
    // when the pool refuses its size (see TImageDataPool::ImageData, which counts it on
    // `iconBytes`); EOverBudget past the file's budget.
    static std::unique_ptr<TQBIconImage> fromFileEntry(TByteReader& r, TImageDataPool& pool, std::uint64_t& iconBytes);

    const TIconImageHead& head() const { return head_; }
    int Width() const { return head_.Width; }
    int Height() const { return head_.Height; }
    std::uint8_t ColorCount() const { return head_.ColorCount; }
    std::uint16_t Planes() const { return head_.Planes; }
    std::uint16_t BitCount() const { return head_.BitCount; }
    std::uint32_t BytesInRes() const { return head_.BytesInRes; }
    const TBytes& Data() const { return *data_; }
    // The data as shared with the copies of this image.
    const TSharedBytes& SharedData() const { return data_; }
    bool isPng() const;

    // Width and Height from the image data itself (the bitmap header, or a PNG's IHDR),
    // whatever the directory entry said. Leaves them alone when the data tells nothing or
    // declares a size larger than any icon's.
    void FixSize();

    // The decoded picture, made anew at each call and not kept: an image is decoded only
    // when it is drawn, and whoever shows it again keeps what it was given (a TQBHiResIcon,
    // a list's picture). Null when the data cannot be decoded.
    std::shared_ptr<const TIconPicture> GetHandle() const;
    std::unique_ptr<TQBHiResIcon> CreateIcon() const;
    // Composites the image at its own size with its top-left corner at (x, y).
    void Draw(TRaster& canvas, int x, int y) const;
    void SaveToStream(TByteWriter& w) const;
    int GetColorClass() const;

private:
    TIconImageHead head_;
    TSharedBytes data_;  // never null
};

// Colour class of a directory entry: 2, 16 or 256.
int colorClassOf(std::uint8_t colorCount, std::uint16_t bitCount);

// The owned, ordered images of one icon.
class TQBIconImageList {
public:
    TQBIconImageList() = default;
    TQBIconImageList(const TQBIconImageList&) = delete;
    TQBIconImageList& operator=(const TQBIconImageList&) = delete;

    std::uint16_t Count() const { return std::uint16_t(items_.size()); }
    std::uint16_t Capacity() const { return capacity_; }
    void SetCapacity(std::uint16_t newCapacity);
    void Add(std::unique_ptr<TQBIconImage> image);
    void Delete(std::uint16_t index, bool freeIt = true);
    TQBIconImage* GetImage(std::uint16_t index) const;
    void Clear();
    void Sort();

private:
    std::vector<std::unique_ptr<TQBIconImage>> items_;
    std::uint16_t capacity_ = 0;
};

}  // namespace gs
