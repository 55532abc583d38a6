// Viewer painting into an image: the geometry of separators, check marks, drop-down
// arrows, checked buttons and disabled text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "QtTestApp.h"
#include "ViewImage.h"
#include "toolbar/ui/QtCommon.h"

using namespace tb;
using namespace tbtest;

namespace {

struct Painted {
    ItemScript script;
    std::unique_ptr<ViewImage> painted;
    explicit Painted(const std::string& text, int selected = -1) {
        qtApp();
        std::istringstream in(text);
        script = ParseItemScript(in);
        painted = std::make_unique<ViewImage>(script, selected);
    }
    const TRect& rect(int i) const { return painted->view->Cells()[std::size_t(i)]->BoundsRect; }
    QRgb at(int x, int y) const { return painted->image.pixel(x, y); }
};

}  // namespace

TEST(ToolbarPaint, Separators) {
    Painted menu("view popup\nbutton \"Open\"\nseparator\nbutton \"Save\"\n");
    const TRect& s = menu.rect(1);
    const int y = s.top + s.Height() / 2 - 1;
    const QRgb shadow = SysColor(TSysColor::BtnShadow).rgb();
    EXPECT_EQ(menu.at(s.left + 12, y), shadow);  // inset 12 in menus
    EXPECT_NE(menu.at(s.left + 11, y), shadow);
    EXPECT_EQ(menu.at(s.left + 12, y + 1), SysColor(TSysColor::BtnHighlight).rgb());

    Painted bar("view toolbar\nbutton image\nseparator\nbutton image\n");
    const TRect& t = bar.rect(1);
    const int x = t.left + t.Width() / 2 - 1;
    EXPECT_EQ(bar.at(x, t.top + 1), shadow);  // vertical on a horizontal toolbar
    EXPECT_EQ(bar.at(x + 1, t.top + 1), SysColor(TSysColor::BtnHighlight).rgb());
}

TEST(ToolbarPaint, CheckMarkArrowAndCheckedButton) {
    Painted menu("view popup\nbutton \"Toolbar\" checked\nsubmenu \"More\"\n");
    const TRect& r = menu.rect(0);
    const int column = r.Height();
    EXPECT_EQ(menu.at(r.left + column / 2 - 2, r.top + r.Height() / 2 + 1), SysColor(TSysColor::BtnText).rgb());
    const TRect& sub = menu.rect(1);
    EXPECT_EQ(menu.at(sub.right - 1 - 13 / 2 - 1, sub.top + sub.Height() / 2), SysColor(TSysColor::MenuText).rgb());

    Painted bar("view toolbar\ndropdown image\nbutton image checked\n");
    const TRect& d = bar.rect(0);
    QPoint arrowCentre = QRect(QPoint(d.right - 1 - 10, d.top), QPoint(d.right - 1 - 2, d.bottom - 1)).center();
    EXPECT_EQ(bar.at(arrowCentre.x(), arrowCentre.y()), SysColor(TSysColor::BtnText).rgb());
    const TRect& c = bar.rect(1);
    EXPECT_EQ(bar.at(c.left, c.top), SysColor(TSysColor::BtnShadow).rgb());  // sunken edge
    QRgb a = bar.at(c.left + 5, c.top + 5), b = bar.at(c.left + 6, c.top + 5);
    EXPECT_NE(a, b);  // the dither of a checked button
}

TEST(ToolbarPaint, DisabledText) {
    auto count = [](const Painted& p, QRgb colour) {
        const TRect& r = p.rect(0);
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += p.at(x, y) == colour;
        return n;
    };
    Painted button("view toolbar\nbutton \"Disabled\" disabled\n");  // embossed on toolbars
    EXPECT_GT(count(button, SysColor(TSysColor::BtnShadow).rgb()), 10);
    EXPECT_GT(count(button, SysColor(TSysColor::BtnHighlight).rgb()), 10);
    EXPECT_EQ(count(button, SysColor(TSysColor::BtnText).rgb()), 0);
    Painted row("view popup\nbutton \"Disabled\" disabled\n");  // grey on a white menu
    EXPECT_GT(count(row, SysColor(TSysColor::GrayText).rgb()), 10);
    EXPECT_EQ(count(row, SysColor(TSysColor::MenuText).rgb()), 0);
}

TEST(ToolbarPaint, ToolbarStatesMatchTheGoldenImage) {
    // Made with `tbdemo --render OUT.png --select 2 --pressed toolbar-states.txt`; a change
    // of the drawing shows here first (compare the image written beside the build).
    qtApp();
    const std::string data = std::string(GS_TEST_TOOLS_DIR) + "/../toolbar/data/";
    std::ifstream in(data + "toolbar-states.txt");
    ASSERT_TRUE(in) << "missing test material";
    ItemScript script = ParseItemScript(in);
    QImage golden(QString::fromStdString(data + "toolbar-states.png"));
    ASSERT_FALSE(golden.isNull());
    QImage actual = ViewImage(script, 2, true).image;
    if (actual != golden.convertToFormat(actual.format())) actual.save("toolbar-states.actual.png");
    EXPECT_EQ(actual, golden.convertToFormat(actual.format()));
}
