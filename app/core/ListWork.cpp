#include "app/core/ListWork.h"

#include <algorithm>

#include "app/core/Filters.h"
#include "app/core/IconDef.h"
#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"
#include "iconlib/Icon.h"

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
