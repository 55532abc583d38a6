#pragma once
// The preview panel's list. The window fills it (one line per image of the selected icon,
// drawn by its delegate, or one plain line when none or several icons are selected).
#include <QListWidget>

#include "app/core/ListWork.h"

namespace gs {

class TIconPreviewList : public QListWidget {
    Q_OBJECT
public:
    explicit TIconPreviewList(QWidget* parent = nullptr);
};

}  // namespace gs
