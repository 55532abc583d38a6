// The icon list's icons taken from modules, and its stream as the form property "Icons".
#include <stdexcept>

#include "codecs/IconList.h"
#include "iconlib/IconModule.h"

namespace gs {

namespace {
Bytes iconFileOf(const TQBIcon* icon) {
    ByteWriter out;
    if (icon) icon->SaveToStream(out);
    return out.data();
}
}  // namespace

int TIconList::addIconResource(const TIconModule& module, const std::string& name) {
    icons_.push_back(module.LoadIcon(name));
    notifyChange();
    return iconCount() - 1;
}

void TIconList::insertIconResource(int index, const TIconModule& module, const std::string& name) {
    const std::size_t at = checkedListIndex(index, icons_.size() + 1);  // the end too
    icons_.insert(icons_.begin() + std::ptrdiff_t(at), module.LoadIcon(name));
    notifyChange();
}

Bytes TIconList::iconsProperty() const {
    ByteWriter out;
    saveIcons(out);
    return out.data();
}

void TIconList::setIconsProperty(const Bytes& data) {
    SpanSource src(data);
    ByteReader in(src);
    loadIcons(in);
}

bool TIconList::storesIcons(const TIconList* ancestor) const {
    if (!ancestor) return iconCount() > 0;
    if (ancestor == this) return false;
    if (ancestor->iconCount() != iconCount()) return true;
    for (int i = 0; i < iconCount(); ++i)
        if (iconFileOf(iconAt(i)) != iconFileOf(ancestor->iconAt(i))) return true;
    return false;
}

}  // namespace gs
