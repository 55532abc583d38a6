#include "app/ui/IconPreview.h"

namespace gs {

TIconPreviewList::TIconPreviewList(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::NoSelection);
    setUniformItemSizes(false);
    addItem(kMsgNoIconSelected);
}

}  // namespace gs
