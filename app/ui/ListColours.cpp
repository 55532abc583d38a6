#include "app/ui/ListColours.h"

#include "framework/ui/QtBridge.h"

namespace gs {

namespace {

constexpr int sys(int index) { return int(kSystemColourFlag | unsigned(index)); }

constexpr QPalette::ColorGroup A = QPalette::Active, I = QPalette::Inactive, D = QPalette::Disabled;

// Linux desktops have no captions, borders or desktop colour of their own in the palette:
// those take the roles that draw the same parts of Qt's windows.
constexpr TSystemColour kSystemColours[] = {
    {"Scroll Bar", sys(0), A, QPalette::Button},
    {"Background", sys(1), A, QPalette::Window},
    {"Active Caption", sys(2), A, QPalette::Highlight},
    {"Inactive Caption", sys(3), I, QPalette::Highlight},
    {"Menu", sys(4), A, QPalette::Window},
    {"Window", sys(5), A, QPalette::Base},
    {"Window Frame", sys(6), A, QPalette::Shadow},
    {"Menu Text", sys(7), A, QPalette::WindowText},
    {"Window Text", sys(8), A, QPalette::Text},
    {"Caption Text", sys(9), A, QPalette::HighlightedText},
    {"Active Border", sys(10), A, QPalette::Window},
    {"Inactive Border", sys(11), I, QPalette::Window},
    {"Application Workspace", sys(12), A, QPalette::Dark},
    {"Highlight", sys(13), A, QPalette::Highlight},
    {"Highlight Text", sys(14), A, QPalette::HighlightedText},
    {"Button Face", sys(15), A, QPalette::Button},
    {"Button Shadow", sys(16), A, QPalette::Mid},
    {"Gray Text", sys(17), D, QPalette::Text},
    {"Button Text", sys(18), A, QPalette::ButtonText},
    {"Inactive Caption Text", sys(19), I, QPalette::HighlightedText},
    {"Button Highlight", sys(20), A, QPalette::Light},
    {"3D Dark Shadow", sys(21), A, QPalette::Shadow},
    {"3D Light", sys(22), A, QPalette::Midlight},
    {"Info Text", sys(23), A, QPalette::ToolTipText},
    {"Info Background", sys(24), A, QPalette::ToolTipBase},
};

}  // namespace

std::span<const TSystemColour> SystemColours() { return kSystemColours; }

QColor ListColour(int stored, const QPalette& palette) {
    const unsigned value = unsigned(stored);
    if ((value & kSystemColourFlag) == 0) return toQColor(value);
    const unsigned index = value & ~kSystemColourFlag;
    const TSystemColour& c = index < std::size(kSystemColours) ? kSystemColours[index] : kSystemColours[5];
    return palette.color(c.group, c.role);
}

}  // namespace gs
