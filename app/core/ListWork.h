#pragma once
// The decisions behind the main window's list commands that need no window: the preview
// lines of an icon, the checks of a new list name, and the listing of a filtered set.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gs {

class TFilters;
class TIconDef;
class TIconsList;
class TQBIcon;
class TQBIconImage;
struct TIconPicture;

inline constexpr const char* kMsgNoIconSelected = "No icon selected";
inline constexpr const char* kMsgMultipleIconsSelected = "Multiple icons selected";
inline constexpr const char* kMsgUnablePreview = "Unable to preview selected icon.";
inline constexpr const char* kMsgInvalidIconName =
    "An icon name cannot contain any of the following characters: / \\ : * ? \" ' < > |.";
inline constexpr const char* kMsgIconNameExists = "An icon named '%s' already exists.";
inline constexpr const char* kMsgFiltered = "Filtered";

// A preview line is the image's height and this much more.
inline constexpr int kPreviewLineExtra = 4;
// The picture column of a preview line.
inline constexpr int kPreviewPictureColumn = 60;

// Width, height and colour class, as "32x32x256".
std::string ImageInfoText(const TQBIconImage& image);

// The icon's images in preview order (by width, then bit count, ascending; equal ones in
// their own order). The icon itself is left as it is.
std::vector<const TQBIconImage*> PreviewImages(const TQBIcon& icon);

// The pixels the pictures of one preview hold in all: 32 million (128 MB of pixmaps), some
// thirty images of the largest side. An icon file may hold thousands of images of 1024 x
// 1024 in a few kilobytes each (PNGs of one colour), which drawn each at its own size would
// take gigabytes; the pane shows a few of them at a time anyway.
inline constexpr std::uint64_t kPreviewPixels = std::uint64_t(1) << 25;

// One line of the preview: its image, its text and its picture decoded (none for an image
// that cannot be decoded, or past kPreviewPixels: the window draws the line blank).
struct TPreviewLine {
    const TQBIconImage* Image = nullptr;
    std::string Text;
    std::shared_ptr<const TIconPicture> Picture;
};

// The preview of the icon: a line per image in PreviewImages order, the pictures decoded one
// at a time while the pixels of those before leave room for the next (by the size its own
// header declares, before decoding it).
std::vector<TPreviewLine> PreviewLines(const TQBIcon& icon);

// The caption an entry takes when its editor closes with `edited`: the old caption for an
// empty text; otherwise the text, after the checks. A name holding a character that a file
// name cannot hold raises the information; a name that some definition of the listing
// (filtered out or not, the edited one included) already bears in any case raises the
// warning.
std::string CheckedIconName(const std::string& edited, const std::string& oldCaption, const TIconsList* icons);

// The definitions of the listing that the filter set accepts (all without one), in order.
std::vector<TIconDef*> FilteredDefs(const TIconsList& icons, const TFilters* filters);

}  // namespace gs
