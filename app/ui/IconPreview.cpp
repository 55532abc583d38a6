#include "app/ui/IconPreview.h"

namespace gs {

TIconPreviewList::TIconPreviewList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setUniformItemSizes(false);
    // Lines are elided to the pane's width; they never scroll sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    addItem(kMsgNoIconSelected);
}

}  // namespace gs
