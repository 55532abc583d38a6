#pragma once
// Item trees written as text, for gsprobe tb-layout and the layout tests: one item a line,
// two spaces of indentation per level, then the kind (button, submenu, split, dropdown,
// separator, mru) and its attributes: a "quoted caption", image[=N], shortcut=TEXT,
// hidden, disabled, checked, rightalign, nolinebreak, default, imageabove, norotation,
// help=N. An optional first line
// `view toolbar|popup [vertical|floating] [wrap=N] [chevron=N] [height=N] [scroll=N]`
// sets up the view.
#include <istream>
#include <memory>
#include <string>

#include "toolbar/core/Layout.h"

namespace tbtest {

struct ItemScript {
    std::unique_ptr<tb::TTBRootItem> root = std::make_unique<tb::TTBRootItem>(nullptr);
    tb::TViewerPlace place{true, tb::TTBViewOrientation::Horizontal};
    tb::TLayoutParams params;
};

// Throws std::runtime_error naming the line for text it does not understand.
ItemScript ParseItemScript(std::istream& in);

}  // namespace tbtest
