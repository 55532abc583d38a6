#pragma once
// One multi-image icon: an owned, ordered list of images, read from an icon file or an
// icon-group resource and written as an icon file.
#include <filesystem>
#include <memory>

#include "iconlib/IconImage.h"
#include "iconlib/PEResources.h"
#include "platform/ByteReader.h"

namespace gs {

class ByteSource;
class ByteWriter;

// Image data read for one icon never exceeds the bytes of the file it comes from, so a
// directory naming the same data many times cannot multiply it in memory.
class ImageDataBudget {
public:
    explicit ImageDataBudget(std::uint64_t limit) : left_(limit) {}
    bool fits(std::uint64_t bytes) const { return bytes <= left_; }
    // True, and counted, when `bytes` more still fit.
    bool take(std::uint64_t bytes) {
        if (!fits(bytes)) return false;
        left_ -= bytes;
        return true;
    }

private:
    std::uint64_t left_;
};

class TQBIcon {
public:
    TQBIcon() = default;
    virtual ~TQBIcon() = default;
    TQBIcon(const TQBIcon&) = delete;
    TQBIcon& operator=(const TQBIcon&) = delete;

    TQBIconImageList& Images() { return images_; }
    const TQBIconImageList& Images() const { return images_; }

    // Replaces the images with copies of the source's, in order.
    virtual void Assign(const TQBIcon& source);

    // Icon-file header: Reserved 0 and Type 1 (a cursor file, Type 2, is refused); false
    // for data shorter than a header.
    bool ReadHeader(ByteReader& r, std::uint16_t& count);
    // False when the header is refused; EFOpenError when the file cannot be opened.
    // Entries whose data is not wholly in the file, or would take the images past the
    // size of the file, are skipped.
    bool LoadFromFile(const std::filesystem::path& fileName);
    bool LoadFromSource(const ByteSource& src);
    // The icon file that fills a window of a larger file (an entry of an icon list, a frame
    // of an animated cursor), read in place: its offsets count from the window's start and
    // nothing outside the window is read. With `cursorToo`, a cursor file (Type 2) is read
    // as an icon too.
    bool LoadFromWindow(ByteReader window, bool cursorToo = false);
    // Reads the icon group `name` of a module: EResNotFound when the group is not there;
    // an image whose icon resource is missing is left out.
    bool LoadFromResource(const PeModule& module, const ResourceName& name);

    // Nothing at all for an icon without images.
    void SaveToStream(ByteWriter& w) const;
    // Written whole; an icon without images creates no file.
    void SaveToFile(const std::filesystem::path& fileName) const;

    void DeleteImagesOfSize(int size);
    bool Has48x48() const { return HasSize(48); }
    bool Has32x32() const { return HasSize(32); }
    bool Has16x16() const { return HasSize(16); }
    bool Has16Colors() const { return HasColorClass(16); }
    bool Has256Colors() const { return HasColorClass(256); }
    void Sort() { images_.Sort(); }

private:
    bool readHeader(ByteReader& r, std::uint16_t& count, bool cursorToo);
    bool HasSize(int size) const;
    bool HasColorClass(int cls) const;

    TQBIconImageList images_;
};

// The icon-file header, read from the start of a source; Count when it is an icon file.
std::optional<std::uint16_t> iconFileImageCount(const ByteSource& src);

}  // namespace gs
