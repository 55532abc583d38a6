#include "export/IconExport.h"

#include <stdexcept>

#include "export/ImageExport.h"
#include "iconlib/IconChoice.h"
#include "platform/Bmp.h"

namespace gs {

namespace {

bool hasExactSize(const TQBIcon& icon, int size) {
    return size == kIconSize48 ? icon.Has48x48() : size == kIconSize32 ? icon.Has32x32() : icon.Has16x16();
}

// A copy without the two other standard sizes; null without an exact image of `size`.
std::unique_ptr<TQBIcon> copyOfExactSize(const TQBIcon& icon, int size) {
    if (!hasExactSize(icon, size)) return nullptr;
    auto copy = std::make_unique<TQBIcon>();
    copy->Assign(icon);
    for (int other : {kIconSize16, kIconSize32, kIconSize48})
        if (other != size) copy->DeleteImagesOfSize(other);
    return copy;
}

std::unique_ptr<TQBIcon> rerendered(const TQBIcon& icon, int size) {
    std::unique_ptr<TQBHiResIcon> picture = size == kIconSize48   ? GetIcon48(icon)
                                            : size == kIconSize32 ? GetIcon32(icon)
                                                                  : GetIcon16(icon);
    return picture ? IconOfPicture(*picture) : nullptr;
}

}  // namespace

std::optional<TRaster> ChooseBitmap(const TQBIcon& icon, const TImageChoice& choice) {
    TBatchIconSize size = choice.Size;
    if (size == TBatchIconSize::bsAll) {
        if (choice.AllSizes) return GetPreviewBitmap(icon);
        size = TBatchIconSize::bs32;
    }
    switch (size) {
    case TBatchIconSize::bs48: return choice.Rescale ? GetScaledBitmap48(icon) : GetBitmap48(icon);
    case TBatchIconSize::bs16: return choice.Rescale ? GetScaledBitmap16(icon) : GetBitmap16(icon);
    default: return choice.Rescale ? GetScaledBitmap32(icon) : GetBitmap32(icon);
    }
}

std::unique_ptr<TQBIcon> ChooseIcon(const TQBIcon& icon, const TImageChoice& choice) {
    // An icon without images writes no file, so it is not counted as saved.
    if (icon.Images().Count() == 0) return nullptr;
    if (choice.Size == TBatchIconSize::bsAll) {
        if (!choice.AllSizes) return copyOfExactSize(icon, kIconSize32);
        auto whole = std::make_unique<TQBIcon>();
        whole->Assign(icon);
        return whole;
    }
    const int size = StandardIconSize(choice.Size);
    std::unique_ptr<TQBIcon> exact = copyOfExactSize(icon, size);
    if (exact || !choice.Rescale) return exact;
    return rerendered(icon, size);
}

void SaveBitmapInFormat(TBatchFormat format, const TRaster& bitmap, const std::filesystem::path& file) {
    switch (format) {
    case TBatchFormat::bfBMP: saveBmp(bitmap, file); return;
    case TBatchFormat::bfGIF: SaveBitmapAsGIF(&bitmap, file); return;
    case TBatchFormat::bfJPG: SaveBitmapAsJPEG(&bitmap, file); return;
    case TBatchFormat::bfWMF: SaveBitmapAsMetafile(&bitmap, file); return;
    case TBatchFormat::bfTIF: SaveBitmapAsTIFF(&bitmap, file); return;
    default: throw std::invalid_argument("an icon is not a bitmap format");
    }
}

bool WriteIconAs(TBatchFormat format, const TQBIcon& icon, const TImageChoice& choice, bool transparent,
                 const std::filesystem::path& file) {
    if (format == TBatchFormat::bfICO) {
        std::unique_ptr<TQBIcon> chosen = ChooseIcon(icon, choice);
        if (!chosen) return false;
        chosen->SaveToFile(file);
        return true;
    }
    std::optional<TRaster> bitmap = ChooseBitmap(icon, choice);
    if (!bitmap) return false;
    bitmap->SetTransparent(transparent);
    SaveBitmapInFormat(format, *bitmap, file);
    return true;
}

}  // namespace gs
