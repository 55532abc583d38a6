#include "iconlib/IconImage.h"

#include <algorithm>

#include "iconlib/HiResIcon.h"
#include "iconlib/IconBounds.h"
#include "platform/ByteReader.h"
#include "platform/ByteWriter.h"
#include "platform/Dib.h"
#include "platform/Errors.h"

namespace gs {

namespace {
// Sizes of 256 and more are stored as 0 in the one-byte fields.
std::uint8_t sizeByte(int v) { return v >= 256 || v < 0 ? 0 : std::uint8_t(v); }
int sizeFromByte(std::uint8_t b) { return b == 0 ? 256 : b; }
}  // namespace

TIconImageHead TIconImageHead::read(TByteReader& r) {
    TIconImageHead h;
    h.Width = sizeFromByte(r.U8());
    h.Height = sizeFromByte(r.U8());
    h.ColorCount = r.U8();
    h.Reserved = r.U8();
    h.Planes = r.U16();
    h.BitCount = r.U16();
    h.BytesInRes = r.U32();
    return h;
}

void TIconImageHead::write(TByteWriter& w) const {
    w.U8(sizeByte(Width));
    w.U8(sizeByte(Height));
    w.U8(ColorCount);
    w.U8(Reserved);
    w.U16(Planes);
    w.U16(BitCount);
    w.U32(BytesInRes);
}

namespace {
const TSharedBytes& noBytes() {
    static const TSharedBytes empty = std::make_shared<const TBytes>();
    return empty;
}
}  // namespace

TQBIconImage::TQBIconImage() : data_(noBytes()) {}

TQBIconImage::TQBIconImage(const TIconImageHead& head, TBytes data)
    : TQBIconImage(head, std::make_shared<const TBytes>(std::move(data))) {}

TQBIconImage::TQBIconImage(const TIconImageHead& head, TSharedBytes data)
    : head_(head), data_(data ? std::move(data) : noBytes()) {
    head_.BytesInRes = std::uint32_t(data_->size());
}

TQBIconImage::TQBIconImage(const TQBIconImage& source) : head_(source.head_), data_(source.data_) { FixSize(); }

std::unique_ptr<TQBIconImage> TQBIconImage::fromFileEntry(TByteReader& r, TImageDataPool& pool,
                                                         std::uint64_t& iconBytes) {
    TIconImageHead head = TIconImageHead::read(r);
    std::uint32_t offset = r.U32();
    // An entry whose data is not wholly in the file is skipped, not read short.
    if (!r.Contains(offset, head.BytesInRes)) return nullptr;
    TSharedBytes data = pool.ImageData(r, offset, head.BytesInRes, iconBytes, "the images of the icon file");
    if (!data) return nullptr;
    auto image = std::make_unique<TQBIconImage>(head, std::move(data));
    image->FixSize();
    return image;
}

bool TQBIconImage::isPng() const { return isPngData(*data_); }

void TQBIconImage::FixSize() {
    const auto side = bounds::declaredSide(*data_);
    if (side && bounds::sideFits(*side)) head_.Width = side->width, head_.Height = side->height;
}

std::shared_ptr<const TIconPicture> TQBIconImage::GetHandle() const {
    if (data_->empty()) return nullptr;
    try {
        return std::make_shared<const TIconPicture>(decodeIconImage(*data_));
    } catch (const EReadError&) {
        return nullptr;  // drawing then draws nothing, as a failed icon handle did
    }
}

std::unique_ptr<TQBHiResIcon> TQBIconImage::CreateIcon() const {
    return std::make_unique<TQBHiResIcon>(GetHandle());
}

void TQBIconImage::Draw(TRaster& canvas, int x, int y) const {
    if (auto h = GetHandle()) h->drawOn(canvas, x, y);
}

void TQBIconImage::SaveToStream(TByteWriter& w) const { w.Bytes(*data_); }

int colorClassOf(std::uint8_t colorCount, std::uint16_t bitCount) {
    if (colorCount == 1 || colorCount == 2) return 2;
    if (colorCount >= 3 && colorCount <= 16) return 16;
    // A stored count of 0 means "256 or more" only for deep images: small depths say it
    // by their bit count.
    if (colorCount == 0 && bitCount == 1) return 2;
    if (colorCount == 0 && bitCount >= 2 && bitCount <= 4) return 16;
    return 256;
}

int TQBIconImage::GetColorClass() const { return colorClassOf(head_.ColorCount, head_.BitCount); }

void TQBIconImageList::SetCapacity(std::uint16_t newCapacity) {
    capacity_ = std::max<std::uint16_t>(newCapacity, Count());
    items_.reserve(capacity_);
}

void TQBIconImageList::Add(std::unique_ptr<TQBIconImage> image) {
    if (items_.size() >= 0xFFFF) return;  // the count is 16 bits
    items_.push_back(std::move(image));
    if (capacity_ < Count()) capacity_ = Count();
}

void TQBIconImageList::Delete(std::uint16_t index, bool freeIt) {
    if (index >= Count()) return;
    if (!freeIt) (void)items_[index].release();  // the caller keeps it alive
    items_.erase(items_.begin() + index);
}

TQBIconImage* TQBIconImageList::GetImage(std::uint16_t index) const {
    return index < Count() ? items_[index].get() : nullptr;
}

void TQBIconImageList::Clear() {
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = 0;
}

void TQBIconImageList::Sort() {
    std::sort(items_.begin(), items_.end(), [](const auto& a, const auto& b) {
        if (a->Width() != b->Width()) return a->Width() < b->Width();
        return a->BitCount() < b->BitCount();
    });
}

}  // namespace gs
