#pragma once
// The preview panel's list: one line per image of the selected icon, smallest first, each
// drawn at its own size in a picture column with its size and colour class beside it; or
// one plain line when none or several icons are selected.
#include <QListWidget>

namespace gs {

class TIconDef;

inline constexpr const char* kMsgNoIconSelected = "No icon selected";
inline constexpr const char* kMsgMultipleIconsSelected = "Multiple icons selected";
inline constexpr const char* kMsgUnablePreview = "Unable to preview selected icon.";

class TIconPreviewList : public QListWidget {
    Q_OBJECT
public:
    explicit TIconPreviewList(QWidget* parent = nullptr);

    // `selected` is the selected definition when exactly one is selected; `count` how many
    // are. Reads the icon from its file when it has not been yet; a failure raises
    // EQBException (warning) and leaves the plain line.
    void ShowIcon(TIconDef* selected, int count);
};

}  // namespace gs
