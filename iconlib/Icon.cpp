#include "iconlib/Icon.h"
#include "iconlib/ModuleFormat.h"

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

bool TQBIcon::ReadHeader(ByteReader& r, std::uint16_t& count) { return readHeader(r, count, false); }

bool TQBIcon::readHeader(ByteReader& r, std::uint16_t& count, bool cursorToo) {
    if (!r.contains(r.pos(), format::kIconHeaderSize)) return false;  // shorter than a header
    const std::uint16_t reserved = r.u16();
    const std::uint16_t type = r.u16();
    count = r.u16();
    if (reserved != 0 || (type != format::kIconType && !(cursorToo && type == format::kCursorType))) return false;
    // Reserve no more entries than the data could hold.
    images_.SetCapacity(std::uint16_t(std::min<std::uint64_t>(count, r.remaining() / format::kGroupEntrySize)));
    return true;
}

std::optional<std::uint16_t> iconFileImageCount(const ByteSource& src) {
    if (!src.contains(0, format::kIconHeaderSize)) return std::nullopt;
    ByteReader r(src);
    if (r.u16() != 0 || r.u16() != format::kIconType) return std::nullopt;
    return r.u16();
}

bool TQBIcon::LoadFromFile(const std::filesystem::path& fileName) {
    images_.Clear();
    FileSource src(fileName);
    return LoadFromSource(src);
}

bool TQBIcon::LoadFromSource(const ByteSource& src) { return LoadFromWindow(ByteReader(src)); }

bool TQBIcon::LoadFromWindow(ByteReader r, bool cursorToo) {
    r.seek(0);
    std::uint16_t count = 0;
    if (!readHeader(r, count, cursorToo)) return false;
    ImageDataBudget budget(r.size());
    for (std::uint16_t i = 0; i < count; ++i) {
        if (!r.contains(r.pos(), format::kIconFileEntrySize)) break;  // the directory ends with the file
        if (!budget.fits(r.u32At(r.pos() + format::kIconEntryBytesField))) {
            r.skip(format::kIconFileEntrySize);
            continue;
        }
        if (auto image = TQBIconImage::fromFileEntry(r)) {
            budget.take(image->Data().size());
            images_.Add(std::move(image));
        }
    }
    return true;
}

bool TQBIcon::LoadFromResource(const PeModule& module, const ResourceName& name) {
    auto group = module.locate(RT_GROUP_ICON, name);
    if (!group) throw EResNotFound("Resource " + name.display() + " not found");
    ByteReader& r = *group;
    std::uint16_t count = 0;
    if (!ReadHeader(r, count)) return false;
    ImageDataBudget budget(module.sourceSize());
    for (std::uint16_t i = 0; i < count && r.contains(r.pos(), format::kGroupEntrySize); ++i) {
        IconImageHead head = IconImageHead::read(r);
        const std::uint16_t id = r.u16();
        auto data = module.locate(RT_ICON, ResourceName::fromId(id));
        if (!data) continue;  // the rest of the group stays
        if (!budget.take(data->size())) break;
        auto image = std::make_unique<TQBIconImage>(head, data->bytesAt(0, data->size()));
        image->FixSize();
        images_.Add(std::move(image));
    }
    return true;
}

void TQBIcon::SaveToStream(ByteWriter& w) const {
    const std::uint16_t count = images_.Count();
    if (count == 0) return;
    const std::size_t start = w.pos();
    w.u16(0);
    w.u16(format::kIconType);
    w.u16(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        images_.GetImage(i)->head().write(w);
        w.u32(0);
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        w.patchU32(start + format::kIconHeaderSize + format::kIconFileEntrySize * i + 12, std::uint32_t(w.pos() - start));
        images_.GetImage(i)->SaveToStream(w);
    }
}

void TQBIcon::SaveToFile(const std::filesystem::path& fileName) const {
    ByteWriter w;
    SaveToStream(w);
    if (!w.empty()) writeFileAtomically(fileName, w.data());
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
