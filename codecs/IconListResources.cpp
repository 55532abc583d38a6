// The icon list's icons taken from modules, and its stream as the form property "Icons".
#include <stdexcept>

#include "codecs/IconList.h"
#include "iconlib/IconModule.h"

namespace gs {

namespace {
TBytes iconFileOf(const TQBIcon* icon) {
    TByteWriter out;
    if (icon) icon->SaveToStream(out);
    return out.Data();
}
}  // namespace

int TIconList::AddIconResource(const IIconModule& module, const std::string& name) {
    icons_.push_back(module.LoadIcon(name));
    NotifyChange();
    return IconCount() - 1;
}

void TIconList::InsertIconResource(int index, const IIconModule& module, const std::string& name) {
    const std::size_t at = checkedListIndex(index, icons_.size() + 1);  // the end too
    icons_.insert(icons_.begin() + std::ptrdiff_t(at), module.LoadIcon(name));
    NotifyChange();
}

TBytes TIconList::IconsProperty() const {
    TByteWriter out;
    SaveIcons(out);
    return out.Data();
}

void TIconList::SetIconsProperty(const TBytes& data) {
    TSpanSource src(data);
    TByteReader in(src);
    LoadIcons(in);
}

bool TIconList::StoresIcons(const TIconList* ancestor) const {
    if (!ancestor) return IconCount() > 0;
    if (ancestor == this) return false;
    if (ancestor->IconCount() != IconCount()) return true;
    for (int i = 0; i < IconCount(); ++i)
        if (iconFileOf(IconAt(i)) != iconFileOf(ancestor->IconAt(i))) return true;
    return false;
}

}  // namespace gs
