#include "iconlib/Icon.h"
#include "iconlib/ModuleFormat.h"

#include <span>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Errors.h"

namespace gs {

void TQBIcon::Assign(const TQBIcon& source) {
    images_.Clear();
    images_.SetCapacity(source.images_.Count());
    for (std::uint16_t i = 0; i < source.images_.Count(); ++i)
        images_.Add(std::make_unique<TQBIconImage>(*source.images_.GetImage(i)));
}

bool TQBIcon::ReadHeader(TByteReader& r, std::uint16_t& count) { return readHeader(r, count, false); }

bool TQBIcon::readHeader(TByteReader& r, std::uint16_t& count, bool cursorToo) {
    if (!r.Contains(r.Pos(), format::kIconHeaderSize)) return false;  // shorter than a header
    const std::uint16_t reserved = r.U16();
    const std::uint16_t type = r.U16();
    count = r.U16();
    if (reserved != 0 || (type != format::kIconType && !(cursorToo && type == format::kCursorType))) return false;
    // Reserve no more entries than the data could hold.
    images_.SetCapacity(std::uint16_t(std::min<std::uint64_t>(count, r.Remaining() / format::kGroupEntrySize)));
    return true;
}

std::optional<std::uint16_t> iconFileImageCount(const IByteSource& src) {
    if (!src.Contains(0, format::kIconHeaderSize)) return std::nullopt;
    TByteReader r(src);
    if (r.U16() != 0 || r.U16() != format::kIconType) return std::nullopt;
    return r.U16();
}

bool TQBIcon::LoadFromFile(const std::filesystem::path& fileName) {
    images_.Clear();
    TFileSource src(fileName);
    return LoadFromSource(src);
}

bool TQBIcon::LoadFromSource(const IByteSource& src) { return LoadFromWindow(TByteReader(src)); }

bool TQBIcon::LoadFromWindow(TByteReader r, bool cursorToo) {
    TImageDataPool pool(r.Size());
    return LoadFromWindow(r, pool, cursorToo);
}

bool TQBIcon::LoadFromWindow(TByteReader r, TImageDataPool& pool, bool cursorToo) {
    r.Seek(0);
    std::uint16_t count = 0;
    if (!readHeader(r, count, cursorToo)) return false;
    std::uint64_t iconBytes = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        if (!r.Contains(r.Pos(), format::kIconFileEntrySize)) break;  // the directory ends with the file
        if (auto image = TQBIconImage::fromFileEntry(r, pool, iconBytes)) images_.Add(std::move(image));
    }
    return true;
}

bool TQBIcon::LoadFromResource(const TPeModule& module, const TResourceName& name) {
    TImageDataPool pool(module.sourceSize());
    return LoadFromResource(module, name, pool);
}

bool TQBIcon::LoadFromResource(const TPeModule& module, const TResourceName& name, TImageDataPool& pool) {
    auto group = module.locate(RT_GROUP_ICON, name);
    if (!group) throw EResNotFound("Resource " + name.display() + " not found");
    TByteReader& r = *group;
    std::uint16_t count = 0;
    if (!ReadHeader(r, count)) return false;
    const std::string what = "the images of icon group " + name.display();
    std::uint64_t iconBytes = 0;
    for (std::uint16_t i = 0; i < count && r.Contains(r.Pos(), format::kGroupEntrySize); ++i) {
        TIconImageHead head = TIconImageHead::read(r);
        const std::uint16_t id = r.U16();
        auto data = module.locate(RT_ICON, TResourceName::fromId(id));
        if (!data) continue;  // the rest of the group stays
        TSharedBytes bytes = pool.ImageData(*data, 0, data->Size(), iconBytes, what);
        if (!bytes) continue;  // larger than any icon image, or than the file
        auto image = std::make_unique<TQBIconImage>(head, std::move(bytes));
        image->FixSize();
        images_.Add(std::move(image));
    }
    return true;
}

void TQBIcon::SaveToStream(TByteWriter& w) const {
    if (images_.Count() == 0) return;
    writeDirectory(w);
    for (std::uint16_t i = 0; i < images_.Count(); ++i) images_.GetImage(i)->SaveToStream(w);
}

void TQBIcon::writeDirectory(TByteWriter& w) const {
    const std::uint16_t count = images_.Count();
    w.U16(0);
    w.U16(format::kIconType);
    w.U16(count);
    // The data follows the directory back to back, in order.
    std::uint64_t offset = format::kIconHeaderSize + format::kIconFileEntrySize * std::uint64_t(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        images_.GetImage(i)->head().write(w);
        w.U32(std::uint32_t(offset));
        offset += images_.GetImage(i)->Data().size();
    }
}

void TQBIcon::SaveToFile(const std::filesystem::path& fileName) const {
    if (images_.Count() == 0) return;
    // The directory, then each image's data from where the image holds it: no copy of the
    // images is made to write them.
    TByteWriter directory;
    writeDirectory(directory);
    std::vector<std::span<const std::uint8_t>> parts = {directory.Data()};
    for (std::uint16_t i = 0; i < images_.Count(); ++i) parts.emplace_back(images_.GetImage(i)->Data());
    writeFileAtomically(fileName, parts);
}

void TQBIcon::DeleteImagesOfSize(int size) {
    for (int i = images_.Count() - 1; i >= 0; --i) {
        const TQBIconImage* img = images_.GetImage(std::uint16_t(i));
        if (img->Width() == size && img->Height() == size) images_.Delete(std::uint16_t(i));
    }
}

bool TQBIcon::HasSize(int size) const {
    for (std::uint16_t i = 0; i < images_.Count(); ++i)
        if (images_.GetImage(i)->Width() == size && images_.GetImage(i)->Height() == size) return true;
    return false;
}

bool TQBIcon::HasColorClass(int cls) const {
    for (std::uint16_t i = 0; i < images_.Count(); ++i)
        if (images_.GetImage(i)->GetColorClass() == cls) return true;
    return false;
}

}  // namespace gs
