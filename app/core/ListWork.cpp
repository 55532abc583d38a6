#include "app/core/ListWork.h"

#include <algorithm>

#include "app/core/Filters.h"
#include "app/core/IconDef.h"
#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"
#include "iconlib/Icon.h"
#include "iconlib/IconBounds.h"

namespace gs {

std::string ImageInfoText(const TQBIconImage& image) {
    return std::to_string(image.Width()) + "x" + std::to_string(image.Height()) + "x" +
           std::to_string(image.GetColorClass());
}

std::vector<const TQBIconImage*> PreviewImages(const TQBIcon& icon) {
    std::vector<const TQBIconImage*> images;
    const TQBIconImageList& list = icon.Images();
    for (std::uint16_t i = 0; i < list.Count(); ++i) images.push_back(list.GetImage(i));
    std::stable_sort(images.begin(), images.end(), [](const TQBIconImage* a, const TQBIconImage* b) {
        if (a->Width() != b->Width()) return a->Width() < b->Width();
        return a->BitCount() < b->BitCount();
    });
    return images;
}

std::vector<TPreviewLine> PreviewLines(const TQBIcon& icon) {
    std::vector<TPreviewLine> lines;
    std::uint64_t left = kPreviewPixels;
    for (const TQBIconImage* image : PreviewImages(icon)) {
        TPreviewLine& line = lines.emplace_back(TPreviewLine{image, ImageInfoText(*image), nullptr});
        // What is never decoded (no header, a side past any icon's) costs nothing.
        const auto side = bounds::declaredSide(image->Data());
        const std::uint64_t pixels =
            side && bounds::sideFits(*side) ? std::uint64_t(side->width) * std::uint64_t(side->height) : 0;
        if (pixels > left) continue;
        line.Picture = image->GetHandle();
        if (line.Picture) left -= pixels;
    }
    return lines;
}

std::string CheckedIconName(const std::string& edited, const std::string& oldCaption, const TIconsList* icons) {
    if (edited.empty()) return oldCaption;
    if (!IsValidFileName(edited)) throw EQBException(kMsgInvalidIconName, "", TQBSeverity::Information);
    if (icons) {
        const std::string upper = UpperAscii(edited);
        for (const auto& def : *icons)
            if (UpperAscii(def->Name) == upper)
                throw EQBException(FormatOne(kMsgIconNameExists, edited), "", TQBSeverity::Warning);
    }
    return edited;
}

std::vector<TIconDef*> FilteredDefs(const TIconsList& icons, const TFilters* filters) {
    std::vector<TIconDef*> out;
    for (const auto& def : icons)
        if (!filters || filters->Accepts(*def)) out.push_back(def.get());
    return out;
}

}  // namespace gs
