#include "toolbar/core/ItemCells.h"

#include <algorithm>

#include "toolbar/core/View.h"

namespace tb {

namespace {

void addCells(TTBCustomItem* level, bool designLook, std::vector<TTBCustomItem*>& path,
              std::vector<TTBCustomItem*>& out) {
    TTBCustomItem* parent = level->EffectiveLink();
    for (int i = 0; i < parent->Count(); ++i) {
        TTBCustomItem* item = parent->Items(i);
        out.push_back(item);
        bool onPath = std::find(path.begin(), path.end(), item->EffectiveLink()) != path.end();
        if (designLook || !(item->ItemStyle() & tbstEmbedded) || onPath) continue;
        path.push_back(item->EffectiveLink());
        addCells(item, designLook, path, out);
        path.pop_back();
    }
}

}  // namespace

std::vector<TTBCustomItem*> CellItemsOf(TTBCustomItem* shownItem, bool designLook) {
    std::vector<TTBCustomItem*> out;
    if (!shownItem) return out;
    std::vector<TTBCustomItem*> path{shownItem->EffectiveLink()};
    addCells(shownItem, designLook, path, out);
    return out;
}

namespace {

// Everything but the size, which `measure` gives for cells that are not controls.
template <class Measure>
TLayoutCell cellOf(const TTBCustomItem& item, const TViewerPlace& place, Measure measure) {
    TLayoutCell cell;
    cell.visible = item.Visible();
    cell.embedded = (item.ItemStyle() & tbstEmbedded) != 0;
    cell.toolbarSize = ButtonSized(item, place);
    cell.noLineBreak = (item.ItemStyle() & tbstNoLineBreak) != 0;
    cell.rightAlign = (item.ItemStyle() & tbstRightAlign) != 0;
    if (auto* control = dynamic_cast<const TTBControlItem*>(&item)) {
        cell.kind = TLayoutCell::Kind::Control;
        TItemControl* c = control->Control();
        cell.visible = c && c->ShownInHost();
        if (c) cell.size = {c->Width(), c->Height()};
        return cell;
    }
    if (item.ItemStyle() & tbstSeparator) cell.kind = TLayoutCell::Kind::Separator;
    cell.size = measure();
    return cell;
}

}  // namespace

TLayoutCell MeasureCell(const TTBCustomItem& item, const TViewerPlace& place, const TTextMetrics& metrics,
                        std::optional<TImageSize> images) {
    return cellOf(item, place, [&] { return MeasureItem(item, place, metrics, images); });
}

TLayoutCell MeasureCell(const TTBItemViewer& viewer, const TViewerPlace& place, const TTextMetrics& metrics,
                        std::optional<TImageSize> images) {
    return cellOf(*viewer.Item(), place, [&] { return viewer.MeasureSize(place, metrics, images); });
}

}  // namespace tb
