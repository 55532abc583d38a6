#pragma once
// One multi-image icon: an owned, ordered list of images, read from an icon file or an
// icon-group resource and written as an icon file.
#include <filesystem>
#include <memory>

#include "iconlib/IconImage.h"
#include "iconlib/PEResources.h"
#include "platform/ByteReader.h"

namespace gs {

class IByteSource;
class TByteWriter;

class TQBIcon {
public:
    TQBIcon() = default;
    virtual ~TQBIcon() = default;
    TQBIcon(const TQBIcon&) = delete;
    TQBIcon& operator=(const TQBIcon&) = delete;

    TQBIconImageList& Images() { return images_; }
    const TQBIconImageList& Images() const { return images_; }

    // Replaces the images with copies of the source's, in order; the copies share the
    // source's image data.
    virtual void Assign(const TQBIcon& source);

    // Icon-file header: Reserved 0 and Type 1 (a cursor file, Type 2, is refused); false
    // for data shorter than a header.
    bool ReadHeader(TByteReader& r, std::uint16_t& count);
    // False when the header is refused; EFOpenError when the file cannot be opened.
    // Entries whose data is not wholly in the file, or larger than any icon image, are
    // skipped; entries naming the same data share it. EOverBudget when the images would
    // pass the file's read budget: the file is refused.
    bool LoadFromFile(const std::filesystem::path& fileName);
    bool LoadFromSource(const IByteSource& src);
    // The icon file that fills a window of a larger file (an entry of an icon list, a frame
    // of an animated cursor), read in place: its offsets count from the window's start and
    // nothing outside the window is read. With `cursorToo`, a cursor file (Type 2) is read
    // as an icon too. Without a pool, the window is read within a budget of its own; a
    // reader of many icons from one file passes the file's pool.
    bool LoadFromWindow(TByteReader window, bool cursorToo = false);
    bool LoadFromWindow(TByteReader window, TImageDataPool& pool, bool cursorToo = false);
    // Reads the icon group `name` of a module: EResNotFound when the group is not there;
    // an image whose icon resource is missing, or larger than any icon image, is left out.
    // Without a pool, the group alone is read within the module's budget; a reader of every
    // group passes one pool, so that images shared by groups are read once.
    bool LoadFromResource(const TPeModule& module, const TResourceName& name);
    bool LoadFromResource(const TPeModule& module, const TResourceName& name, TImageDataPool& pool);

    // Nothing at all for an icon without images.
    void SaveToStream(TByteWriter& w) const;
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
    bool readHeader(TByteReader& r, std::uint16_t& count, bool cursorToo);
    // Header and entries, each entry's offset where its data follows the directory.
    void writeDirectory(TByteWriter& w) const;
    bool HasSize(int size) const;
    bool HasColorClass(int cls) const;

    TQBIconImageList images_;
};

// The icon-file header, read from the start of a source; Count when it is an icon file.
std::optional<std::uint16_t> iconFileImageCount(const IByteSource& src);

}  // namespace gs
