#pragma once
// The cells a view shows for one item level: the item's (or its link's) children, each
// embedded item followed by its own link's children, measured into layout records.
#include <optional>
#include <vector>

#include "toolbar/core/Layout.h"

namespace tb {

// In display order. An embedded item already on the path of the expansion is not
// expanded again (link cycles end there). Embedded items are expanded unless designLook.
std::vector<TTBCustomItem*> CellItemsOf(TTBCustomItem* shownItem, bool designLook);

class TTBItemViewer;

// The layout record of one item's cell.
TLayoutCell MeasureCell(const TTBCustomItem& item, const TViewerPlace& place, const TTextMetrics& metrics,
                        std::optional<TImageSize> images);
// The same, sized by the viewer's class.
TLayoutCell MeasureCell(const TTBItemViewer& viewer, const TViewerPlace& place, const TTextMetrics& metrics,
                        std::optional<TImageSize> images);

}  // namespace tb
