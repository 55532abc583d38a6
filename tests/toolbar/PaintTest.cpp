// Viewer painting into an image: the geometry of separators, check marks, drop-down
// arrows, checked buttons and disabled text.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/QtTestApp.h"
#include "ViewImage.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtImageList.h"

using namespace tb;
using namespace tbtest;

namespace {

struct Painted {
    ItemScript script;
    std::unique_ptr<ViewImage> painted;
    explicit Painted(const std::string& text, int selected = -1, const TTBCustomImageList* images = nullptr,
                     bool pressed = false) {
        gstest::qtTestApp();
        std::istringstream in(text);
        script = ParseItemScript(in);
        painted = std::make_unique<ViewImage>(script, selected, pressed, images);
    }
    const TRect& rect(int i) const { return painted->view->Cells()[std::size_t(i)]->BoundsRect; }
    QRgb at(int x, int y) const { return painted->image.pixel(x, y); }
    // The smallest rectangle holding every pixel of `colour` in cell i; empty when none.
    QRect extent(int i, QRgb colour) const {
        const TRect& r = rect(i);
        QRect found;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (at(x, y) == colour) found |= QRect(x, y, 1, 1);
        return found;
    }
    int count(int i, QRgb colour) const {
        const TRect& r = rect(i);
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += at(x, y) == colour;
        return n;
    }
};

// One 16 x 16 picture of a single colour.
std::unique_ptr<TTBCustomImageList> solidImages(QColor colour) {
    gstest::qtTestApp();
    auto list = std::make_unique<TTBCustomImageList>(16, 16);
    QPixmap picture(16, 16);
    picture.fill(colour);
    list->Add(picture);
    return list;
}

const QRgb kRed = qRgb(255, 0, 0);

// A menu row that remembers where its texts went.
struct RecordingViewer : TTBPaintedItemViewer {
    using TTBPaintedItemViewer::TTBPaintedItemViewer;
    mutable std::vector<QRect> texts;
    void PaintCaption(QPainter& p, const QRect& r, int flags, bool emboss, const QColor& c, const QString& t) const override {
        texts.push_back(r);
        TTBPaintedItemViewer::PaintCaption(p, r, flags, emboss, c, t);
    }
};
struct RecordingItem : TTBItem {
    using TTBItem::TTBItem;
    TTBViewerClass ViewerClass(const TTBView&) const override { return &MakeViewer<RecordingViewer>; }
};

}  // namespace

TEST(ToolbarPaint, SplitMenuRowsSetTheirArrowApart) {
    gstest::qtTestApp();  // the palette's colours
    const QRgb shadow = SysColor(TSysColor::BtnShadow).rgb();
    struct Case {
        const char* name;
        const char* item;
        int selected;
        bool pressed;
        QRgb besideLine;
        int arrowShift;  // -1: not checked (the caption shares its colour)
    } cases[] = {
        {"etched line", "split \"&Open\"", -1, false, SysColor(TSysColor::BtnHighlight).rgb(), -1},
        {"sunken box", "split \"&Open\"", 0, false, SysColor(TSysColor::BtnFace).rgb(), 0},
        {"pushed arrow", "split \"&Open\"", 0, true, SysColor(TSysColor::BtnFace).rgb(), 1},
        {"sunken line", "split \"&Open\" disabled", 0, false, SysColor(TSysColor::Highlight).rgb(), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Painted p(std::string("view popup\n") + c.item + "\n  button \"&a\"\n", c.selected, nullptr, c.pressed);
        const TRect& r = p.rect(0);
        const int x = r.right - 13, mid = r.top + r.Height() / 2;
        EXPECT_EQ(p.at(x, mid + 2), shadow);
        EXPECT_EQ(p.at(x + 1, mid + 2), c.besideLine);
        if (c.arrowShift < 0) continue;
        const QRect arrow = p.extent(0, SysColor(TSysColor::BtnText).rgb());  // the caption is white
        EXPECT_EQ(arrow.topLeft(), QPoint(r.right - 9 + c.arrowShift, mid - 4 + c.arrowShift));
    }
}

TEST(ToolbarPaint, MenuTextSitsAsInSystemMenus) {
    gstest::qtTestApp();
    for (bool rowJustTextAndPadding : {false, true}) {  // else as tall as the 16-pixel image column
        ImageHost host;
        host.font.setPixelSize(rowJustTextAndPadding ? 20 : 8);
        TTBRootItem root(nullptr);
        auto* item = new RecordingItem(&root);
        item->SetCaption("&Open");
        item->SetShortCut(scCtrl | 'O');
        root.Add(item);
        TTBView view(host, &root, nullptr, false);
        view.ValidatePositions();
        QImage image(300, 100, QImage::Format_ARGB32);
        QPainter painter(&image);
        PaintViewer(painter, *view.Cells()[0], {.font = host.font});
        const auto& v = dynamic_cast<const RecordingViewer&>(*view.Cells()[0]);
        const TRect& cell = v.BoundsRect;
        const QFontMetrics font(host.font);
        ASSERT_EQ(v.texts.size(), 2u);  // caption and shortcut
        EXPECT_EQ(cell.Height() == font.height() + font.leading() + 4, rowJustTextAndPadding);
        for (const QRect& text : v.texts)
            EXPECT_EQ(text, QRect(text.left(), cell.top + font.leading(), text.width(),
                                  cell.Height() - font.leading() - rowJustTextAndPadding));
        EXPECT_EQ(v.texts[0].left(), cell.left + cell.Height() + 3);  // past the image column
        EXPECT_EQ(v.texts[1].right() + 1, cell.right - cell.Height());
    }
}

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
    gstest::qtTestApp();
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

TEST(ToolbarPaint, SideDockedCaptionsRunDownTheirButtons) {
    const QRgb text = SysColor(TSysColor::BtnText).rgb();
    Painted across("view toolbar\nsubmenu \"&File\"\nsubmenu \"&Help\"\n");
    Painted down("view toolbar vertical\nsubmenu \"&File\"\nsubmenu \"&Help\"\n");
    for (int i : {0, 1}) {
        SCOPED_TRACE(i);
        const QRect flat = across.extent(i, text), turned = down.extent(i, text);
        ASSERT_FALSE(flat.isEmpty() || turned.isEmpty());
        EXPECT_GT(flat.width(), flat.height());
        EXPECT_GT(turned.height(), turned.width());  // drawn turned, not clipped across
        EXPECT_NEAR(turned.height(), flat.width(), 2);  // the whole caption, its length along the button
        const TRect& cell = down.rect(i);
        EXPECT_GE(turned.left(), cell.left);
        EXPECT_LT(turned.right(), cell.right);
        EXPECT_NEAR(turned.center().y(), (cell.top + cell.bottom) / 2, 2);  // centred both ways
        EXPECT_NEAR(turned.center().x(), (cell.left + cell.right) / 2, 2);
        EXPECT_NEAR(down.count(i, text), across.count(i, text), across.count(i, text) / 10);
    }
    EXPECT_LT(down.rect(0).bottom, down.rect(1).top + 1);  // one under the other
}

TEST(ToolbarPaint, ImageAboveItsCaption) {
    auto images = solidImages(Qt::red);
    const QRgb text = SysColor(TSysColor::BtnText).rgb();
    struct Case {
        const char* item;
        bool above;
    } cases[] = {
        {"view toolbar\nbutton \"Open\" image imageabove\n", true},
        {"view toolbar vertical\nbutton \"Open\" image imageabove\n", true},
        {"view toolbar\nbutton \"Open\" image\n", false},  // the picture alone
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Painted p(c.item, -1, images.get());
        const QRect picture = p.extent(0, kRed), caption = p.extent(0, text);
        ASSERT_EQ(picture.size(), QSize(16, 16));
        const TRect& cell = p.rect(0);
        EXPECT_NEAR(picture.center().x(), (cell.left + cell.right) / 2, 1);
        if (!c.above) {
            EXPECT_TRUE(caption.isEmpty());
            continue;
        }
        ASSERT_FALSE(caption.isEmpty());
        EXPECT_LT(picture.bottom(), caption.top());
        EXPECT_NEAR(caption.center().x(), (cell.left + cell.right) / 2, 2);
        EXPECT_LT(caption.bottom(), cell.bottom);
    }
}

TEST(ToolbarPaint, DefaultItemsAreBoldAndWider) {
    const QRgb toolbarText = SysColor(TSysColor::BtnText).rgb(), menuText = SysColor(TSysColor::MenuText).rgb();
    Painted bar("view toolbar\nbutton \"Extract\"\nbutton \"Extract\" default\n");
    EXPECT_GT(bar.rect(1).Width(), bar.rect(0).Width());
    EXPECT_GT(bar.count(1, toolbarText), bar.count(0, toolbarText) * 11 / 10);
    EXPECT_GT(bar.extent(1, toolbarText).width(), bar.extent(0, toolbarText).width());
    Painted menu("view popup\nbutton \"Extract\"\nbutton \"Extract\" default\n");
    EXPECT_EQ(menu.rect(1).Width(), menu.rect(0).Width());  // rows share the widest's width
    EXPECT_GT(menu.count(1, menuText), menu.count(0, menuText) * 11 / 10);
}

TEST(ToolbarImageList, StateListsNotifyAndAreDroppedWhenFreed) {
    gstest::qtTestApp();
    struct Watcher : TObserver {
        int changes = 0;
        bool freed = false;
        explicit Watcher(TNotifier* n) { Watch(n); }
        void NotifierChanged(TNotifier*) override { ++changes; }
        void NotifierFreed(TNotifier*) override { freed = true; }
    };
    auto images = solidImages(Qt::red);
    Watcher users(images.get());
    auto hot = solidImages(Qt::blue), checked = solidImages(Qt::green);
    images->SetHotImageList(hot.get());
    images->SetHotImageList(hot.get());  // unchanged: nothing to tell
    images->SetCheckedImageList(images.get());  // the list itself counts as none
    EXPECT_EQ(users.changes, 1);
    EXPECT_EQ(images->CheckedImageList(), nullptr);
    images->SetCheckedImageList(checked.get());
    images->SetDisabledImageList(checked.get());  // one list serving two states
    EXPECT_EQ(users.changes, 3);
    hot->Add(QPixmap(16, 16));  // a state list's change is this list's change for its users
    EXPECT_EQ(users.changes, 4);

    auto drawn = [&](bool enabled, bool hotState, bool checkedState) {
        QImage canvas(16, 16, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        images->DrawWithState(p, 0, 0, 0, enabled, hotState, checkedState);
        p.end();
        return canvas.pixel(8, 8);
    };
    EXPECT_EQ(drawn(true, true, false), qRgb(0, 0, 255));
    EXPECT_EQ(drawn(true, false, true), qRgb(0, 255, 0));
    EXPECT_EQ(drawn(false, false, false), qRgb(0, 255, 0));
    hot.reset();  // freed first: forgotten, the users told, hot items draw from the list itself
    EXPECT_EQ(images->HotImageList(), nullptr);
    EXPECT_EQ(users.changes, 5);
    EXPECT_EQ(drawn(true, true, false), kRed);
    images->SetDisabledImageList(nullptr);
    checked->Add(QPixmap(16, 16));  // still watched for the checked state
    EXPECT_EQ(users.changes, 7);
    checked.reset();
    EXPECT_EQ(images->CheckedImageList(), nullptr);
    EXPECT_EQ(drawn(true, false, true), kRed);
    images.reset();
    EXPECT_TRUE(users.freed);
}

TEST(ToolbarImageList, StripsCutIntoPicturesWithMagentaClear) {
    gstest::qtTestApp();
    QImage strip(40, 16, QImage::Format_RGB32);  // two whole pictures and a remainder
    strip.fill(qRgb(255, 0, 255));
    for (int x = 0; x < 40; ++x) strip.setPixel(x, 4, x < 16 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    TTBCustomImageList list(16, 16);
    auto drawn = [&](int x, int y) {
        QImage canvas(32, 16, QImage::Format_ARGB32);
        canvas.fill(Qt::white);
        QPainter p(&canvas);
        list.Draw(p, 0, 0, 0, true);
        list.Draw(p, 16, 0, 1, true);
        p.end();
        return canvas.pixel(x, y);
    };
    list.LoadStrip(strip);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(drawn(3, 4), kRed);
    EXPECT_EQ(drawn(19, 4), qRgb(0, 0, 255));
    EXPECT_EQ(drawn(3, 8), qRgb(255, 255, 255));  // magenta is transparent

    // The strip as a property: its mask colour applies whether set before or after it.
    list.SetStripMaskColor(kRed);  // no strip property yet: nothing remade
    EXPECT_EQ(drawn(3, 4), kRed);
    list.SetStripBitmap(strip);
    EXPECT_EQ(drawn(3, 4), qRgb(255, 255, 255));
    EXPECT_EQ(drawn(3, 8), qRgb(255, 0, 255));
    list.SetStripMaskColor(0x00FF00FF);
    list.SetStripBitmap(QImage());  // empty: the pictures stay
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(drawn(3, 4), kRed);
    EXPECT_EQ(drawn(3, 8), qRgb(255, 255, 255));
}
