#pragma once
// What the rest of the program takes from a multi-image icon: the best image at exactly
// 48, 32 or 16 pixels, an icon of one of those sizes even when the icon has no image of that
// size (re-rendered from the nearest one), and bitmaps for copying and exporting.
//
// Every icon and bitmap returned is new and belongs to the caller; nothing here raises:
// "nothing to return" is a null result. No GUI type is involved, so the extraction worker
// calls these on its own thread. Every icon is drawn at its own size.
#include <memory>
#include <optional>

#include "iconlib/HiResIcon.h"
#include "iconlib/Icon.h"
#include "platform/Raster.h"

namespace gs {

// The three standard sizes (square).
inline constexpr int kIconSize48 = 48;
inline constexpr int kIconSize32 = 32;
inline constexpr int kIconSize16 = 16;

// The bitmaps are 24-bit: the exports (BMP, JPEG, TIFF, GIF, metafile) take RGB and find
// transparency from the uniform white background, never from an alpha channel.
inline constexpr PixelFormat kIconBitmapFormat = PixelFormat::pf24bit;

// The first image, in list order, of that colour class (2, 16 or 256) whose width and
// height both equal Size; null when there is none.
std::unique_ptr<TQBHiResIcon> FindExactIcon(const TQBIcon& icon, int size, int colorClass);

// The exact image of the best colour class: 256, else 16, else 2; null when none.
std::unique_ptr<TQBHiResIcon> GetBest48Icon(const TQBIcon& icon);
std::unique_ptr<TQBHiResIcon> GetBest32Icon(const TQBIcon& icon);
std::unique_ptr<TQBHiResIcon> GetBest16Icon(const TQBIcon& icon);

// The first image; null when the icon has no images.
std::unique_ptr<TQBHiResIcon> GetFirstIcon(const TQBIcon& icon);

// The best exact icon unchanged when there is one; else the first found along the size's
// fallback order (48: 48, 32, 16; 32: 32, 48, 16; 16: 16, 32, 48; then the first image),
// re-rendered to the size. Null when the icon has no images or anything fails.
std::unique_ptr<TQBHiResIcon> GetIcon48(const TQBIcon& icon);
std::unique_ptr<TQBHiResIcon> GetIcon32(const TQBIcon& icon);
std::unique_ptr<TQBHiResIcon> GetIcon16(const TQBIcon& icon);

// A new Size x Size icon scaled from the given one, whose picture is the decoded form of a
// 32-bit icon image (so what is drawn is what an icon file of it holds). The input is given
// up; it comes back unchanged when it cannot be rendered (null, no picture, a size outside
// 1 to 256, or memory runs out).
std::unique_ptr<TQBHiResIcon> RenderIcon(std::unique_ptr<TQBHiResIcon> icon, int size);

// A Size x Size bitmap with the best exact icon drawn at (0, 0); nothing without one.
std::optional<TRaster> GetBitmap48(const TQBIcon& icon);
std::optional<TRaster> GetBitmap32(const TQBIcon& icon);
std::optional<TRaster> GetBitmap16(const TQBIcon& icon);

// A Size x Size bitmap with GetIcon48 (resp. 32, 16) drawn at (0, 0); nothing when that
// gives nothing.
std::optional<TRaster> GetScaledBitmap48(const TQBIcon& icon);
std::optional<TRaster> GetScaledBitmap32(const TQBIcon& icon);
std::optional<TRaster> GetScaledBitmap16(const TQBIcon& icon);

// The exact 16, 32 and 48 bitmaps side by side, smallest on the left, bottom-aligned, each
// with one pixel of margin on its left and below (all three: 102 x 50, the 16 at (1, 33),
// the 32 at (19, 17), the 48 at (53, 1)). Nothing when the icon has none of the three.
std::optional<TRaster> GetPreviewBitmap(const TQBIcon& icon);

// The icon-file image of a picture: 32-bit colour with AND mask. A picture without alpha
// keeps its mask (screen-inverting pixels included); one with alpha is masked where it is
// wholly transparent.
std::unique_ptr<TQBIconImage> EncodeIconImage(const TIconPicture& picture);

// A one-image icon holding a drawable icon's picture, as an icon file of that drawable
// icon holds it; null when the icon has no picture. Re-rendered icons are saved this way.
std::unique_ptr<TQBIcon> IconOfPicture(const TQBHiResIcon& icon);

}  // namespace gs
