// Measuring and laying out item levels on fixed metrics (13-pixel font, no leading, 6
// pixels a character, 16-pixel images), and placing popups on a screen.
#include <gtest/gtest.h>

#include <sstream>

#include "ItemScript.h"
#include "toolbar/core/ItemCells.h"
#include "toolbar/core/MRUList.h"
#include "toolbar/core/PopupAnimation.h"
#include "toolbar/core/PopupPlacement.h"

using namespace tb;
using namespace tbtest;

namespace {

TTextMetrics metrics(int fontHeight = 13) {
    return {fontHeight, 0, [](std::string_view s) { return int(s.size()) * 6; }};
}

struct Laid {
    ItemScript script;
    std::vector<TLayoutCell> cells;
    TLayoutResult result;
    std::vector<TTBCustomItem*> items;
    std::string shown() const {  // one letter a cell: x shown, c chevron-hidden, . hidden
        std::string s;
        for (auto& c : cells) s += c.shown ? 'x' : c.hiddenByChevron ? 'c' : '.';
        return s;
    }
};

Laid layout(const std::string& text, std::function<void(Laid&)> adjust = {}) {
    Laid l;
    std::istringstream in(text);
    l.script = ParseItemScript(in);
    l.items = CellItemsOf(l.script.root.get(), false);
    for (TTBCustomItem* item : l.items)
        l.cells.push_back(MeasureCell(*item, l.script.place, metrics(), TImageSize{16, 16}));
    if (l.script.params.chevronLimit > 0) {  // the toolbar's chevron comes last
        l.cells.emplace_back();
        l.cells.back().kind = TLayoutCell::Kind::Chevron;
    }
    if (adjust) adjust(l);
    l.result = ComputeLayout(l.cells, l.script.params);
    return l;
}

TPoint measure(const std::string& view, const std::string& item, int fontHeight = 13) {
    std::istringstream in("view " + view + "\n" + item + "\n");
    ItemScript s = ParseItemScript(in);
    std::optional<TImageSize> images;
    if (item.find("image") != std::string::npos || view == "popup") images = TImageSize{16, 16};
    return MeasureItem(*s.root->Items(0), s.place, metrics(fontHeight), images);
}

}  // namespace

TEST(ToolbarLayout, MeasuredSizes) {
    struct Case {
        const char* view;
        const char* item;
        TPoint size;
        int fontHeight = 13;
    } cases[] = {
        {"toolbar", "button image", {23, 22}},
        {"toolbar", "split image", {34, 22}},
        {"toolbar", "dropdown image", {31, 22}},
        {"toolbar vertical", "dropdown image", {23, 30}},
        {"toolbar", "button \"Open\" image", {23, 22}},  // an image button shows no caption
        {"toolbar", "button \"Open\"", {36, 19}},
        {"popup", "button \"Open\" image", {68, 19}},
        {"popup", "button \"&Open\" shortcut=Ctrl+D", {117, 19}},
        {"popup", "separator", {0, 11}, 16},
        {"toolbar", "separator", {6, 6}},
    };
    for (const Case& c : cases) EXPECT_EQ(measure(c.view, c.item, c.fontHeight), c.size) << c.view << ": " << c.item;
}

TEST(ToolbarLayout, TurnedStackedAndBoldCaptions) {
    // 13-pixel font, 6 pixels a character (7 in bold), 16-pixel images.
    TTextMetrics bold = metrics();
    bold.boldWidth = [](std::string_view s) { return int(s.size()) * 7; };
    struct Case {
        const char* view;
        const char* item;
        TPoint size;
    } cases[] = {
        // A side-docked menu bar turns its captions: the font height across, the text along.
        {"toolbar vertical", "submenu \"&File\"", {6 + 13, 6 + 24 + 6}},
        {"toolbar vertical", "submenu \"&File\" norotation", {6 + 24 + 6, 6 + 13}},
        // The image above the caption: heights add, the wider of the two counts.
        {"toolbar", "button \"Open\" image imageabove", {6 + 24 + 6, 6 + 13 + 16}},
        {"toolbar", "button \"G\" image imageabove", {16 + 7, 6 + 13 + 16}},
        {"toolbar vertical", "button \"Open\" image imageabove", {6 + 24 + 6, 6 + 13 + 16}},
        // The default item is bold, and measured so.
        {"toolbar", "button \"Open\" default", {6 + 28 + 6, 6 + 13}},
        {"popup", "button \"Open\" default", {7 * 4 + 17 + 6 + 17, 17}},  // rows 13 + 4 high
        {"popup", "button \"Open\"", {6 * 4 + 17 + 6 + 17, 17}},
    };
    for (const Case& c : cases) {
        std::istringstream in(std::string("view ") + c.view + "\n" + c.item + "\n");
        ItemScript s = ParseItemScript(in);
        std::optional<TImageSize> images;
        if (std::string(c.item).find("image") != std::string::npos) images = TImageSize{16, 16};
        EXPECT_EQ(MeasureItem(*s.root->Items(0), s.place, bold, images), c.size) << c.view << ": " << c.item;
    }
    // Without a bold measure the plain one serves.
    EXPECT_EQ(measure("toolbar", "button \"Open\" default"), (TPoint{36, 19}));
}

TEST(ToolbarLayout, CaptionAndImageVisibility) {
    TTBRootItem root(nullptr);
    auto* item = new TTBItem(&root);
    item->SetCaption("Open");
    item->SetImageIndex(1);
    TViewerPlace toolbar{true}, menu{false};
    using M = TTBItemDisplayMode;
    struct Case {
        M mode;
        TTBItemOptions options;
        bool imageOnToolbar, captionOnToolbar, imageInMenu;
    } cases[] = {
        {M::nbdmDefault, 0, true, false, true},
        {M::nbdmDefault, tboImageAboveCaption, true, true, true},
        {M::nbdmTextOnlyInMenus, 0, true, false, false},
        {M::nbdmTextOnly, 0, false, true, false},
        {M::nbdmImageAndText, 0, true, true, true},
    };
    for (const Case& c : cases) {
        item->SetDisplayMode(c.mode);
        item->SetOptions(c.options);
        EXPECT_EQ(ImageVisible(*item, toolbar), c.imageOnToolbar) << int(c.mode);
        EXPECT_EQ(CaptionVisible(*item, toolbar), c.captionOnToolbar) << int(c.mode);
        EXPECT_EQ(ImageVisible(*item, menu), c.imageInMenu) << int(c.mode);
        EXPECT_TRUE(CaptionVisible(*item, menu));
    }
}

TEST(ToolbarLayout, SeparatorsAndEmptyViews) {
    Laid empty = layout("view toolbar\n");
    EXPECT_EQ(empty.result.newSize, kEmptyViewSize);
    Laid seps = layout("separator\nbutton image\nseparator\nseparator\nbutton image\nseparator\n");
    EXPECT_EQ(seps.shown(), ".xx.x.");
    EXPECT_EQ(seps.result.newSize, (TPoint{52, 22}));
    EXPECT_EQ(seps.cells[2].rect, (TRect{23, 0, 29, 22}));  // stretched across the line
    Laid hidden = layout("button image hidden\nseparator\nbutton image\n");
    EXPECT_EQ(hidden.shown(), "..x");
}

TEST(ToolbarLayout, ChevronHidesLeastRecentlyUsed) {
    const char* four = "view toolbar chevron=80\nbutton image\nbutton image\nseparator\nbutton image\nbutton image\n";
    Laid plain = layout(four);
    EXPECT_EQ(plain.shown(), "xx.ccx");  // 68 of 80 left after the chevron: the last two go
    EXPECT_TRUE(plain.result.chevronEnabled);
    Laid used = layout(four, [](Laid& l) {
        for (int i : {4, 3, 1, 0}) l.cells[std::size_t(i)].priority = 4 - i;  // the first used least
    });
    EXPECT_EQ(used.shown(), "cc.xxx");
    EXPECT_EQ(used.cells[5].rect, (TRect{68, 0, 80, 22}));
    Laid controls = layout(four, [](Laid& l) { l.cells[3].kind = l.cells[4].kind = TLayoutCell::Kind::Control; });
    EXPECT_EQ(controls.shown(), "xx.ccx");
    EXPECT_FALSE(controls.result.chevronEnabled);  // only controls were clipped
    Laid one = layout("view toolbar chevron=20\nbutton image\nbutton image\n");
    EXPECT_EQ(one.shown(), "xcx");  // one item always stays
}

TEST(ToolbarLayout, WrappingAndAlignment) {
    // Wrapped at separators: after the first break every separator breaks but the
    // tbstNoLineBreak one.
    Laid wrapped = layout("view toolbar wrap=60\nbutton image\nbutton image\nseparator\nbutton image\n"
                          "separator nolinebreak\nbutton image\nseparator\nbutton image\n");
    EXPECT_EQ(wrapped.result.lineCount, 3);
    EXPECT_TRUE(wrapped.cells[2].lineBreak);
    EXPECT_FALSE(wrapped.cells[4].lineBreak);
    EXPECT_TRUE(wrapped.cells[6].lineBreak);
    EXPECT_EQ(wrapped.cells[2].rect, (TRect{0, 22, 60, 28}));  // spans the view
    EXPECT_EQ(wrapped.cells[3].rect.top, 28);

    Laid right = layout("view toolbar wrap=100\nbutton image\nbutton image\nbutton image\nbutton image\n"
                        "button image rightalign\n");
    EXPECT_EQ(right.cells[3].rect, (TRect{69, 0, 92, 22}));
    EXPECT_EQ(right.cells[4].rect, (TRect{77, 22, 100, 44}));  // pushed to the line's far end

    Laid vertical = layout("view toolbar vertical wrap=40\nbutton image\nbutton image\n");
    EXPECT_EQ(vertical.result.newSize, (TPoint{46, 40}));
    EXPECT_EQ(vertical.cells[0].rect, (TRect{23, 0, 46, 22}));  // the first column on the right
    EXPECT_EQ(vertical.cells[1].rect, (TRect{0, 0, 23, 22}));
}

TEST(ToolbarLayout, TallPopupsScroll) {
    std::string rows;
    for (char name = 'A'; name < 'A' + 10; ++name) rows += "button \"" + std::string(1, name) + "\" image\n";
    Laid tall = layout("view popup height=120\n" + rows);
    EXPECT_EQ(tall.result.newSize.y, 120);
    EXPECT_FALSE(tall.result.upBandShown);
    EXPECT_TRUE(tall.result.downBandShown);
    EXPECT_EQ(tall.shown(), "xxxxx.....");  // the sixth row would touch the band at 101
    EXPECT_TRUE(tall.cells[5].outsideScroll);

    Laid scrolled = layout("view popup height=120 scroll=500\n" + rows.substr(0, 7 * rows.find('\n') + 7));
    EXPECT_EQ(scrolled.result.scrollPos, 7 * 19 - 120);  // clamped to the end
    EXPECT_TRUE(scrolled.result.upBandShown);
    EXPECT_FALSE(scrolled.result.downBandShown);
    EXPECT_EQ(scrolled.shown(), "..xxxxx");
}

TEST(ToolbarLayout, EmbeddedItemsExpandOnce) {
    TTBRootItem root(nullptr), list(nullptr);
    auto* before = new TTBItem(&root);
    auto* mru = new TTBMRUListItem(&root);
    root.Add(before);
    root.Add(mru);
    mru->SetLinkSubitems(&list);
    auto* entry = new TTBItem(&list);
    auto* back = new TTBMRUListItem(&list);
    list.Add(entry);
    list.Add(back);
    back->SetLinkSubitems(&list);  // a cycle: not entered again
    EXPECT_EQ(CellItemsOf(&root, false), (std::vector<TTBCustomItem*>{before, mru, entry, back}));
    EXPECT_EQ(CellItemsOf(&root, true), (std::vector<TTBCustomItem*>{before, mru}));
}

TEST(ToolbarLayout, PopupPlacement) {
    const TRect screen{0, 0, 1024, 768};
    TPopupRequest menu;
    menu.size = {150, 200};
    menu.monitor = screen;
    menu.point = {1020, 10};
    EXPECT_EQ(PlacePopup(menu).topLeft, (TPoint{870, 10}));  // flips to end at the point
    menu.alignment = 1;
    menu.point = {100, 700};
    TPopupPlacement up = PlacePopup(menu);
    EXPECT_EQ(up.topLeft, (TPoint{100, 500}));  // kept on screen: above the point, right of it
    EXPECT_EQ(up.unrollDirection, tbadUp | tbadRight);

    TPopupRequest sub;
    sub.size = {150, 100};
    sub.monitor = screen;
    sub.hasParentView = true;
    sub.asSubmenu = true;
    sub.itemRect = {800, 50, 950, 69};
    TPopupPlacement left = PlacePopup(sub);
    EXPECT_EQ(left.topLeft, (TPoint{653, 47}));
    EXPECT_TRUE(left.openLeft);
    EXPECT_EQ(left.unrollDirection, tbadLeft);
    sub.openLeft = true;  // its own submenus prefer the left while they fit there
    sub.itemRect = {400, 80, 550, 99};
    EXPECT_EQ(PlacePopup(sub).topLeft.x, 253);
    sub.itemRect = {10, 80, 160, 99};
    TPopupPlacement back = PlacePopup(sub);
    EXPECT_EQ(back.topLeft.x, 157);
    EXPECT_FALSE(back.openLeft);

    TPopupRequest drop;  // from a toolbar button near the bottom: above it
    drop.size = {120, 300};
    drop.monitor = screen;
    drop.hasParentView = true;
    drop.itemRect = {40, 700, 63, 722};
    drop.parentCells = {drop.itemRect};
    TPopupPlacement above = PlacePopup(drop);
    EXPECT_EQ(above.topLeft, (TPoint{40, 400}));
    EXPECT_EQ(above.unrollDirection, tbadUp);
}
