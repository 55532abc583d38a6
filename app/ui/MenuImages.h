#pragma once
// The program's own pictures, drawn in code: the menu and toolbar images (one set for
// screens of many colours, one of flat colours for 256-colour screens) and the frame strips
// of the waiting animations.
#include <QIcon>
#include <QImage>
#include <vector>

namespace gs {

inline constexpr int kMenuImageSize = 16;
inline constexpr int kMenuImageCount = 15;

// The menu images in the order of their indexes: 0 view, 1 help, 2 folder, 3 file, 4 save
// icons, 5 save bitmaps, 6 extract, 7 copy, 8 file properties, 9 edit icon, 10 save images,
// 11 find, 12 filter, 13 (none), 14 send.
std::vector<QIcon> MakeMenuImages(bool highColour);

// The program's own icon (coloured tiles under a magnifying glass), at several sizes.
QIcon ProgramIcon();

// Horizontal strips of square frames, one frame as high as the strip.
inline constexpr int kPleaseWaitFrames = 8;
inline constexpr int kSavePleaseWaitFrames = 30;
inline constexpr int kAnimationFrameSize = 32;
QImage PleaseWaitStrip();      // a turning ring of dots
QImage SavePleaseWaitStrip();  // a page going into a disk

}  // namespace gs
