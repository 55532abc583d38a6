#pragma once
// An icon written as a picture file: which of its images is written (the one choice the
// batch and the window's saves share) and the format's writer. Every file is written whole
// (temporary file, then rename), so a file it would replace stays until the new one is done.
#include <filesystem>
#include <memory>
#include <optional>

#include "export/ImageFormats.h"
#include "iconlib/Icon.h"
#include "platform/Raster.h"

namespace gs {

// Which image of an icon is written.
struct TImageChoice {
    TBatchIconSize Size = TBatchIconSize::bsAll;
    // A size the icon lacks is re-rendered from its nearest image; off, nothing is written.
    bool Rescale = false;
    // For all sizes: the whole icon, or the preview of its 16, 32 and 48 images side by
    // side; off, only its 32 x 32 (an icon file keeps only an exact one).
    bool AllSizes = true;
};

// The batch writes exact sizes only; the window's saves re-render a missing size and follow
// the SaveAllSizes option.
constexpr TImageChoice BatchImageChoice(TBatchIconSize size) { return {size, false, true}; }
constexpr TImageChoice SaveImageChoice(TBatchIconSize size, bool saveAllSizes) { return {size, true, saveAllSizes}; }

// The bitmap of the choice for the bitmap formats; nothing when the icon has none.
std::optional<TRaster> ChooseBitmap(const TQBIcon& icon, const TImageChoice& choice);
// The icon of the choice for an icon file: a copy of the whole icon, a copy without the
// other two standard sizes (any other sizes stay), or a one-image re-rendered icon; null
// when the icon gives nothing (or has no images at all).
std::unique_ptr<TQBIcon> ChooseIcon(const TQBIcon& icon, const TImageChoice& choice);

// The bitmap as a BMP, GIF, JPEG, metafile or TIFF file; std::invalid_argument for ICO.
void SaveBitmapInFormat(TBatchFormat format, const TRaster& bitmap, const std::filesystem::path& file);

// The chosen image of the icon written in the format into `file` (its name as given), a
// bitmap with the transparency flag given. True when a file was written; write errors raise.
bool WriteIconAs(TBatchFormat format, const TQBIcon& icon, const TImageChoice& choice, bool transparent,
                 const std::filesystem::path& file);

}  // namespace gs
