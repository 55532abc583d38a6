// Views and the menu loop without windows: a fake host places each popup to the right of
// its opener, and the loop is driven by keys, characters, mouse and the submenu timer.
#include <gtest/gtest.h>

#include <sstream>

#include "FakeSources.h"
#include "ItemScript.h"
#include "toolbar/core/MenuLoop.h"

using namespace tb;
using namespace tbtest;

namespace {

class FakeScreen : public ITBViewHost, public ITBScreenPlacement {
public:
    struct Popup : ITBPopupHandle {
        FakeScreen& screen;
        std::unique_ptr<TTBView> view;
        Popup(FakeScreen& s, TTBView& opener, TTBItemViewer& cell) : screen(s) {
            TRect at = s.ClientOnScreen(opener);
            s.origins.push_back({at.left + cell.BoundsRect.right, at.top + cell.BoundsRect.top});
            view = std::make_unique<TTBView>(s, cell.Item(), &opener, false);
            s.viewOrigin[view.get()] = s.origins.back();
            view->ValidatePositions();
            ++s.opened;
        }
        ~Popup() override { screen.viewOrigin.erase(view.get()); }
        TTBView& PopupView() override { return *view; }
    };
    std::map<const TTBView*, TPoint> viewOrigin;
    std::vector<TPoint> origins;
    std::map<const TTBView*, TPoint> sizes;
    int opened = 0, fits = 0;

    TTextMetrics Metrics() const override { return {13, 0, [](std::string_view s) { return int(s.size()) * 6; }}; }
    std::optional<TImageSize> ImageSizeFor(const TTBItemViewer&) const override { return TImageSize{16, 16}; }
    void RepaintRect(const TRect&) override {}
    void RepaintAll() override {}
    void FitHost(TPoint) override { ++fits; }
    bool showing = true;
    bool Showing() const override { return showing; }
    std::unique_ptr<ITBPopupHandle> OpenPopup(TTBView& view, TTBItemViewer& opener, bool pickFirst) override {
        TTBCustomItem* item = opener.Item();
        if (item->OnPopup) item->FirePopup(item, false);
        auto popup = std::make_unique<Popup>(*this, view, opener);
        if (pickFirst) popup->view->ChooseCell(popup->view->FirstChoosable());
        return popup;
    }
    TRect ClientOnScreen(const TTBView& view) const override {
        auto it = viewOrigin.find(&view);
        if (it == viewOrigin.end()) return {};
        TPoint size = const_cast<TTBView&>(view).LastLayout().newSize;
        return {it->second.x, it->second.y, it->second.x + size.x, it->second.y + size.y};
    }
};

const char* kMenu = R"(view popup
button "&Open" shortcut=Ctrl+O
button "&Save"
button "Sa&ve As"
separator
submenu "&Recent"
  button "&1 a.ico"
  button "&2 b.ico"
button "E&xit" disabled
)";

struct Fixture {
    ItemScript script;
    FakeScreen screen;
    std::unique_ptr<TTBView> root;
    std::unique_ptr<TTBMenuLoop> loop;
    int timerMs = -1, scrollMs = -1, timerArms = 0;
    TTBCursor cursor = TTBCursor::Arrow;
    explicit Fixture(const char* text = kMenu) {
        std::istringstream in(text);
        script = ParseItemScript(in);
        root = std::make_unique<TTBView>(screen, script.root.get(), nullptr, false);
        screen.viewOrigin[root.get()] = {100, 100};
        root->ValidatePositions();
        TTBMenuLoop::Services s;
        s.ArmTimer = [this](int ms) { timerMs = ms, ++timerArms; };
        s.DisarmTimer = [this] { timerMs = -1; };
        s.showDelay = [] { return 400; };
        s.armScrollTimer = [this](int ms) { scrollMs = ms; };
        s.disarmScrollTimer = [this] { scrollMs = -1; };
        s.setCursor = [this](TTBCursor c) { cursor = c; };
        loop = std::make_unique<TTBMenuLoop>(*root, screen, s);
        loop->Start(false, false, false, {0, 0});
    }
    TTBCustomItem* item(int i) { return script.root->Items(i); }
    std::string selected() {
        TTBView& v = loop->Innermost();
        return v.Selection() ? DisplayCaption(*v.Selection()->Item()) : "";
    }
    TPoint centreOf(TTBView& v, int cell) {
        TRect at = screen.ClientOnScreen(v), r = v.Cells()[std::size_t(cell)]->BoundsRect;
        return {at.left + (r.left + r.right) / 2, at.top + (r.top + r.bottom) / 2};
    }
};

// A value stepped by Return instead of clicking, in a taller row.
struct StepperViewer : TTBItemViewer {
    using TTBItemViewer::TTBItemViewer;
    inline static int steps = 0;
    TPoint MeasureSize(const TViewerPlace& place, const TTextMetrics& m, std::optional<TImageSize> i) const override {
        return {TTBItemViewer::MeasureSize(place, m, i).x, 40};
    }
    void KeyDown(int& key, bool) override {
        if (key == vk::Return) key = 0, ++steps;
    }
};
// A slider: the mouse is its own, a wheel steps it, its left end asks for a pointer.
struct SliderViewer : TTBItemViewer {
    using TTBItemViewer::TTBItemViewer;
    inline static std::string heard;
    void MouseDown(bool, int x, int, TTBLoopState&) override { heard += "d" + std::to_string(x) + " "; }
    void MouseMove(int x, int) override { heard += "m" + std::to_string(x) + " "; }
    void MouseUp(int x, int, TTBLoopState& loop) override { heard += "u" + std::to_string(x) + " ", loop.done = x >= 10; }
    void MouseWheel(int delta, int, int) override { heard += "w" + std::to_string(delta) + " "; }
    TTBCursor CursorFor(int x, int) const override { return x < 10 ? TTBCursor::SizeHorizontal : TTBCursor::Arrow; }
};
struct SliderItem : TTBItem {
    using TTBItem::TTBItem;
    TTBViewerClass ViewerClass(const TTBView&) const override { return &MakeViewer<SliderViewer>; }
};
struct StepperItem : TTBItem {
    using TTBItem::TTBItem;
    TTBViewerClass ViewerClass(const TTBView&) const override { return &MakeViewer<StepperViewer>; }
};

}  // namespace

TEST(ToolbarMenuLoop, KeysWalkAndExecute) {
    Fixture f;
    struct Step {
        int key;
        bool shift;
        const char* selected;
    } steps[] = {
        {vk::Down, false, "&Open"}, {vk::Down, false, "&Save"}, {vk::Up, false, "&Open"},
        {vk::Up, false, "E&xit"},   {vk::Tab, false, "&Open"},  {vk::Tab, true, "E&xit"},
        {vk::Home, false, "&Open"}, {vk::End, false, "E&xit"},
    };
    for (const Step& s : steps) {
        f.loop->KeyDown(s.key, s.shift);
        EXPECT_EQ(f.selected(), s.selected) << s.key;
    }
    f.loop->KeyDown(vk::Return, false);  // a disabled item ends the loop without an action
    EXPECT_TRUE(f.loop->Done());
    EXPECT_EQ(f.loop->Result().kind, TTBLoopResult::Kind::None);

    Fixture g;
    g.loop->KeyDown(vk::Down, false);
    g.loop->KeyDown(vk::Return, false);
    EXPECT_EQ(g.loop->Result().kind, TTBLoopResult::Kind::ClickItem);
    EXPECT_EQ(g.loop->Result().item, g.item(0));
}

TEST(ToolbarMenuLoop, SubmenusByKeyboard) {
    Fixture f;
    f.loop->Char('r');  // unique accelerator on a submenu: opens it with its first item
    EXPECT_EQ(f.selected(), "&1 a.ico");
    f.loop->KeyDown(vk::Escape, false);  // closes only the submenu
    EXPECT_FALSE(f.loop->Done());
    EXPECT_EQ(f.selected(), "&Recent");
    f.loop->KeyDown(vk::Right, false);
    EXPECT_EQ(f.selected(), "&1 a.ico");
    f.loop->KeyDown(vk::Left, false);
    EXPECT_EQ(f.selected(), "&Recent");
    f.loop->KeyDown(vk::Escape, false);  // in the first popup: the end, no action
    EXPECT_TRUE(f.loop->Done());
    EXPECT_EQ(f.loop->Result().kind, TTBLoopResult::Kind::None);
}

TEST(ToolbarMenuLoop, Accelerators) {
    Fixture f;
    f.loop->Char('s');  // "&Save" alone has S as accelerator: executes
    EXPECT_EQ(f.loop->Result().item, f.item(1));

    Fixture shared(R"(view popup
button "&Copy"
button "&Cut"
button "Paste"
)");
    shared.loop->Char('c');
    EXPECT_EQ(shared.selected(), "&Copy");  // shared: selects, does not execute
    shared.loop->Char('C');
    EXPECT_EQ(shared.selected(), "&Cut");
    EXPECT_FALSE(shared.loop->Done());
    shared.loop->Char('p');  // no accelerator: the first letter
    EXPECT_EQ(shared.loop->Result().item, shared.item(2));

    Fixture disabled;
    disabled.loop->Char('x');  // "E&xit" is disabled: found, the loop ends, nothing runs
    EXPECT_TRUE(disabled.loop->Done());
    EXPECT_EQ(disabled.loop->Result().kind, TTBLoopResult::Kind::None);

    Fixture help;
    help.item(0)->SetHelpContext(650);
    help.loop->KeyDown(vk::Down, false);
    help.loop->KeyDown(vk::F1, false);
    EXPECT_EQ(help.loop->Result().kind, TTBLoopResult::Kind::Help);
    EXPECT_EQ(help.loop->Result().helpContext, 650);
}

TEST(ToolbarMenuLoop, CharactersBeyondAsciiIgnoreCase) {
    const char* menu = "view popup\nbutton \"&\u00c9t\u00e9\"\nbutton \"\u00c4rger\"\nbutton \"&\u0416\u0443\u043a\"\n"
                       "button \"\u03a9mega\"\nbutton \"x&\u00ff\"\n";
    const std::pair<char32_t, int> cases[] = {{U'\u00c9', 0}, {U'\u00e9', 0}, {U'\u00e4', 1}, {U'\u00c4', 1}, {U'\u0436', 2},
                                              {U'\u0416', 2}, {U'\u03c9', 3}, {U'\u0178', 4}, {'e', -1},     {'a', -1}};
    for (auto [typed, clicked] : cases) {  // clicked -1: nothing found
        Fixture f(menu);
        f.loop->Char(typed);
        EXPECT_EQ(f.loop->Result().item, clicked < 0 ? nullptr : f.item(clicked)) << unsigned(typed);
    }
}

TEST(ToolbarMenuLoop, MouseHoverClickAndOutside) {
    Fixture f;
    f.loop->IgnoreFirstRelease();
    f.loop->MouseRelease({5, 5}, false);  // the release of the opening press keeps the menu
    EXPECT_FALSE(f.loop->Done());
    f.loop->MouseMove(f.centreOf(*f.root, 4));  // over "Recent": the submenu waits for the delay
    EXPECT_EQ(f.timerMs, 400);
    EXPECT_EQ(f.screen.opened, 0);
    f.loop->MouseMove(f.centreOf(*f.root, 1));  // moving on restarts the timer
    f.loop->MouseMove(f.centreOf(*f.root, 4));
    f.loop->TimerElapsed();
    ASSERT_NE(f.root->PopupViewOpen(), nullptr);
    TTBView& sub = *f.root->PopupViewOpen();
    f.loop->MouseMove(f.centreOf(sub, 1));
    EXPECT_EQ(f.selected(), "&2 b.ico");
    TRect popupArea = f.screen.ClientOnScreen(sub);
    f.loop->MouseRelease({popupArea.left + 2, popupArea.bottom - 1}, false);
    f.loop->MousePress(f.centreOf(sub, 1), false, false);
    f.loop->MouseRelease(f.centreOf(sub, 1), false);
    EXPECT_EQ(f.loop->Result().item, sub.Cells()[1]->Item());

    Fixture outside;
    EXPECT_FALSE(outside.loop->MousePress({5, 5}, false, false));
    EXPECT_TRUE(outside.loop->Done());
}

TEST(ToolbarMenuLoop, SubmenuDelayRestartsOnlyWhenTheSelectionChanges) {
    Fixture f;
    const TPoint recent = f.centreOf(*f.root, 4);
    f.loop->MouseMove(recent);
    ASSERT_EQ(f.timerArms, 1);
    for (int dx : {1, 2, -3, 4}) f.loop->MouseMove({recent.x + dx, recent.y + (dx & 1)});  // resting hand
    EXPECT_EQ(f.timerArms, 1);
    EXPECT_EQ(f.timerMs, 400);
    f.loop->MouseMove(f.centreOf(*f.root, 1));  // moving on and back starts the delay again
    f.loop->MouseMove(recent);
    EXPECT_EQ(f.timerArms, 2);
    f.loop->TimerElapsed();
    ASSERT_NE(f.root->PopupViewOpen(), nullptr);
    EXPECT_EQ(f.timerMs, -1);
    f.loop->MouseMove({recent.x + 1, recent.y});  // over the opener of the open submenu: nothing to wait for
    EXPECT_EQ(f.timerArms, 2);
    // Into the submenu and back over its opener: the opener stays, no timer restarts it.
    TTBView& sub = *f.root->PopupViewOpen();
    f.loop->MouseMove(f.centreOf(sub, 0));
    EXPECT_EQ(f.timerArms, 2);
    EXPECT_EQ(f.root->PopupViewOpen(), &sub);
}

TEST(ToolbarMenuLoop, F1AsksForTheNearestHelpTopic) {
    struct Case {
        int ownContext, parentContext;
        int want;
    } cases[] = {{650, 600, 650}, {0, 600, 600}, {0, 0, 0}};  // 0: no topic, the menu stays
    for (const Case& c : cases) {
        Fixture f;
        f.item(4)->SetHelpContext(c.parentContext);
        f.item(4)->Items(1)->SetHelpContext(c.ownContext);
        f.loop->Char('r');  // the submenu, its first item selected
        f.loop->KeyDown(vk::Down, false);
        EXPECT_TRUE(f.loop->KeyDown(vk::F1, false));
        EXPECT_EQ(f.loop->Done(), c.want != 0) << c.ownContext << ' ' << c.parentContext;
        EXPECT_EQ(f.loop->Result().kind, c.want ? TTBLoopResult::Kind::Help : TTBLoopResult::Kind::None);
        EXPECT_EQ(f.loop->Result().helpContext, c.want) << c.ownContext << ' ' << c.parentContext;
    }
}

TEST(ToolbarMenuLoop, ClosingAToolbarsPopupEndsItsAnimations) {
    std::istringstream in("view toolbar\nsubmenu \"&File\"\n  button \"&Open\"\nsubmenu \"&Edit\"\n  button \"&Copy\"\n");
    ItemScript script = ParseItemScript(in);
    FakeScreen screen;
    TTBView root(screen, script.root.get(), nullptr, true);
    screen.viewOrigin[&root] = {0, 0};
    root.ValidatePositions();
    root.ChooseCell(root.Cells()[0].get());
    TTBMenuLoop loop(root, screen, {});
    loop.Start(false, true, true, {0, 0});
    ASSERT_NE(root.PopupViewOpen(), nullptr);
    EXPECT_FALSE(root.ViewFlags & vsNoAnimation);  // the first menu may animate
    loop.KeyDown(vk::Right, false);  // File's menu closes, Edit's opens in its place
    ASSERT_NE(root.PopupViewOpen(), nullptr);
    EXPECT_TRUE(root.ViewFlags & vsNoAnimation);
    // A popup closing inside a popup menu leaves its opener's animations alone.
    Fixture f;
    f.loop->Char('r');
    f.loop->KeyDown(vk::Escape, false);
    EXPECT_FALSE(f.root->ViewFlags & vsNoAnimation);
}

TEST(ToolbarMenuLoop, ViewsFollowTheirItems) {
    Fixture f;
    f.loop->KeyDown(vk::Down, false);
    auto* added = new TTBItem(f.script.root.get());
    added->SetCaption("New");
    f.script.root->Insert(0, added);
    EXPECT_EQ(f.root->Cells().size(), 7u);
    EXPECT_EQ(f.root->Cells()[0]->Item(), added);
    EXPECT_EQ(f.selected(), "&Open");  // the selection survives an insertion
    f.script.root->Remove(f.item(1));
    EXPECT_EQ(f.root->Selection(), nullptr);
    EXPECT_EQ(f.root->Cells().size(), 6u);
    f.loop->Char('r');
    ASSERT_NE(f.root->PopupViewOpen(), nullptr);
    f.script.root->Remove(f.item(4));  // the opener of the open popup goes: the popup closes
    EXPECT_EQ(f.root->PopupViewOpen(), nullptr);
}

TEST(ToolbarMenuLoop, MenuBarRoot) {
    // A horizontal menu bar as the root view: Down opens the selected menu with its first
    // item, Left and Right walk the bar and carry the open menu along.
    const char* bar = R"(view toolbar
submenu "&File"
  button "&Open"
submenu "&Edit"
  button "&Copy"
  button "Cu&t"
)";
    std::istringstream in(bar);
    ItemScript script = ParseItemScript(in);
    FakeScreen screen;
    TTBView root(screen, script.root.get(), nullptr, true);
    screen.viewOrigin[&root] = {0, 0};
    root.ValidatePositions();
    root.ChooseCell(root.Cells()[0].get());
    std::vector<void*> windows{&screen};
    TTBMenuLoop::Services s;
    s.activeWindow = [&] { return windows.back(); };
    TTBMenuLoop loop(root, screen, s);
    loop.Start(false, false, false, {0, 0});
    auto selected = [&] {
        TTBView& v = loop.Innermost();
        return v.Selection() ? DisplayCaption(*v.Selection()->Item()) : std::string();
    };
    loop.KeyDown(vk::Down, false);
    EXPECT_EQ(selected(), "&Open");
    loop.KeyDown(vk::Right, false);
    EXPECT_EQ(root.Selection()->Item(), script.root->Items(1));
    EXPECT_EQ(selected(), "&Copy");  // the next menu opened in its place
    loop.KeyDown(vk::Left, false);
    EXPECT_EQ(selected(), "&Open");
    loop.KeyDown(vk::Escape, false);  // closes the menu, the bar stays in the loop
    EXPECT_FALSE(loop.Done());
    EXPECT_EQ(root.PopupViewOpen(), nullptr);
    loop.Char(' ');  // Alt+Space on the bar: the active window's system menu
    EXPECT_TRUE(loop.Done());
    EXPECT_EQ(loop.Result().kind, TTBLoopResult::Kind::SystemMenu);
    EXPECT_EQ(loop.Result().window, &screen);
    EXPECT_EQ(loop.Result().key, ' ');

    TTBMenuLoop minus(root, screen, s);  // Alt+"-" likewise; inside an open menu it only beeps
    minus.Start(false, false, false, {0, 0});
    root.ChooseCell(root.Cells()[0].get());
    minus.KeyDown(vk::Down, false);
    minus.Char('-');
    EXPECT_FALSE(minus.Done());
    minus.KeyDown(vk::Escape, false);
    minus.Char('-');
    EXPECT_EQ(minus.Result().kind, TTBLoopResult::Kind::SystemMenu);
    EXPECT_EQ(minus.Result().key, '-');

    TTBMenuLoop plain(root, screen, s);  // a plain toolbar's drop-down: Esc leaves the loop
    plain.EndWhenEscapeReachesRoot();
    plain.Start(false, false, false, {0, 0});
    root.ChooseCell(root.Cells()[0].get());
    plain.KeyDown(vk::Down, false);
    plain.KeyDown(vk::Escape, false);
    EXPECT_TRUE(plain.Done());
    EXPECT_EQ(plain.Result().kind, TTBLoopResult::Kind::None);
}

TEST(ToolbarMenuLoop, TallPopupsScrollToTheSelection) {
    std::string text = "view popup\n";
    for (char c = 'A'; c <= 'J'; ++c) text += "button \"" + std::string(1, c) + "\"\n";
    Fixture f(text.c_str());
    f.root->HeightLimit = 120;
    f.root->InvalidatePositions();
    f.root->ValidatePositions();
    f.loop->KeyDown(vk::End, false);
    EXPECT_EQ(f.selected(), "J");
    EXPECT_TRUE(f.root->Selection()->IsShown);  // scrolled into view
    EXPECT_GT(f.root->ScrollPos, 0);
    f.loop->KeyDown(vk::Home, false);
    EXPECT_EQ(f.root->ScrollPos, 0);
    f.root->ScrollByOneItem(true);
    EXPECT_EQ(f.root->ScrollPos, 6 * 19 + kScrollBandHeight - 120);  // the sixth row's bottom above the band
    // Resting on the down band scrolls one item a tick until the band goes.
    f.root->ScrollPos = 0;
    f.root->InvalidatePositions();
    f.root->ValidatePositions();
    TRect area = f.screen.ClientOnScreen(*f.root);
    int ticks = 0;
    f.loop->MouseMove({area.left + 5, area.bottom - 3});
    ASSERT_EQ(f.scrollMs, TTBMenuLoop::kScrollIntervalMs);
    while (f.scrollMs > 0 && ++ticks < 20) f.loop->ScrollTimerElapsed();
    EXPECT_EQ(f.root->ScrollPos, 10 * 19 - 120);
    EXPECT_FALSE(f.root->LastLayout().downBandShown);
    // Freeing the root's items while the loop runs ends it with no action.
    f.loop->KeyDown(vk::Down, false);
    f.script.root.reset();
    EXPECT_TRUE(f.loop->Done());
    EXPECT_EQ(f.loop->Result().kind, TTBLoopResult::Kind::None);
}

TEST(ToolbarMenuLoop, ToolbarPressesAndReleases) {
    // A root toolbar entered by a press (the first event): buttons click on the release of
    // their own press, a split button's halves differ, a drop-down opens on the press and
    // a double click on it runs its menu's default item.
    enum { kGo, kStay, kSplit, kTools, kArrow, kBeside };
    struct Case {
        const char* name;
        std::vector<std::pair<char, int>> events;  // press, double click, move, release; at a cell
        const char* clicked;
        bool done;
    } cases[] = {
        {"out and back", {{'p', kGo}, {'m', kStay}, {'m', kGo}, {'r', kGo}}, "Go", true},
        {"split button part", {{'p', kSplit}, {'r', kSplit}}, "Split", true},
        {"split arrow part keeps its menu", {{'p', kArrow}, {'r', kArrow}}, "", false},
        {"drop-down release keeps its menu", {{'p', kTools}, {'r', kTools}}, "", false},
        {"double click runs the default", {{'p', kTools}, {'r', kTools}, {'d', kTools}}, "Default", true},
        {"press beside the items", {{'p', kTools}, {'r', kTools}, {'p', kBeside}}, "", true},
    };
    for (const Case& c : cases) {
        std::istringstream in("view toolbar\nbutton \"Go\"\nbutton \"Stay\"\nsplit \"Split\"\n  button \"Inner\"\n"
                              "dropdown \"Tools\"\n  button \"Options\"\n  button \"Default\"\n");
        ItemScript script = ParseItemScript(in);
        script.root->Items(kTools)->Items(1)->SetOptions(tboDefault);
        FakeScreen screen;
        TTBView root(screen, script.root.get(), nullptr, true);
        screen.viewOrigin[&root] = {0, 0};
        root.ValidatePositions();
        auto at = [&](int cell) {
            const TRect& r = root.Cells()[std::size_t(cell == kArrow ? kSplit : std::min(cell, int(kTools)))]->BoundsRect;
            return TPoint{cell == kArrow ? r.right - 4 : cell == kBeside ? r.right + 200 : (r.left + r.right) / 2,
                          (r.top + r.bottom) / 2};
        };
        TTBMenuLoop loop(root, screen, {});
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            const auto [kind, cell] = c.events[i];
            if (i == 0) {
                root.ChooseCell(root.CellAt(at(cell)));
                loop.Start(true, false, false, at(cell));
            } else if (kind == 'm') {
                loop.MouseMove(at(cell));
            } else if (kind == 'r') {
                loop.MouseRelease(at(cell), false);
            } else {
                loop.MousePress(at(cell), false, kind == 'd');
            }
        }
        const TTBLoopResult& r = loop.Result();
        EXPECT_EQ(r.item ? r.item->Caption() : "", c.clicked) << c.name;
        EXPECT_EQ(loop.Done(), c.done) << c.name;
        EXPECT_FALSE(root.PressTracked) << c.name;
    }
}

TEST(ToolbarMenuLoop, ItemsWithViewersOfTheirOwn) {
    Fixture f("view popup\nbutton \"&Open\"\nseparator\n");
    auto* stepper = new StepperItem(f.script.root.get());
    stepper->SetCaption("&Zoom");
    f.script.root->Insert(0, stepper);  // its viewer is made as it arrives
    f.root->ValidatePositions();
    const auto& cells = f.root->Cells();
    EXPECT_NE(dynamic_cast<const TTBSeparatorItemViewer*>(cells[2].get()), nullptr);
    EXPECT_EQ(cells[0]->BoundsRect.Height(), 40);
    f.loop->KeyDown(vk::Down, false);
    EXPECT_TRUE(f.loop->KeyDown(vk::Return, false));  // the viewer's, not a click
    EXPECT_FALSE(f.loop->Done());
    f.loop->KeyDown(vk::Down, false);  // passed on to the view
    EXPECT_EQ(f.selected(), "&Open");
    EXPECT_EQ(StepperViewer::steps, 1);
}

TEST(ToolbarMenuLoop, ViewersTakeTheMouseOverThemselves) {
    Fixture f("view popup\nbutton \"&Open\"\n");
    f.script.root->Insert(0, new SliderItem(f.script.root.get()));
    f.root->ValidatePositions();
    const TRect cell = f.root->Cells()[0]->BoundsRect;
    auto at = [&](int x) { return TPoint{100 + cell.left + x, 100 + cell.top + 5}; };
    f.loop->MouseMove(at(5));
    EXPECT_EQ(f.cursor, TTBCursor::SizeHorizontal);
    EXPECT_TRUE(f.loop->MousePress(at(5), false, false));
    f.loop->MouseWheel(at(6), -120);
    f.loop->MouseRelease(at(5), false);
    EXPECT_FALSE(f.loop->Done());
    f.loop->MouseMove(at(20));
    EXPECT_EQ(f.cursor, TTBCursor::Arrow);
    f.loop->MouseWheel({0, 0}, 120);  // not over it: nobody hears
    f.loop->MouseRelease(at(20), false);
    EXPECT_EQ(SliderViewer::heard, "m5 d5 w-120 u5 m20 u20 ");
    EXPECT_TRUE(f.loop->Done());
    EXPECT_EQ(f.loop->Result().kind, TTBLoopResult::Kind::None);
}

TEST(ToolbarMenuLoop, ViewsFollowLinksAndSubmenuImages) {
    Fixture f;
    f.loop->MouseMove(f.centreOf(*f.root, 4));
    f.loop->TimerElapsed();
    const int fits = f.screen.fits;  // images given up the chain: the open popup measures again too
    f.script.root->Notify(f.script.root.get(), TTBChangeKind::SubMenuImagesChanged, nullptr, -1);
    EXPECT_EQ(f.screen.fits, fits + 2);

    FakeScreen screen;
    TTBSubmenuItem base(nullptr), target(nullptr), other(nullptr);
    auto* linked = new TTBItem(&target);
    target.Add(linked);
    FakeAction action;
    linked->SetAction(&action);
    TTBView view(screen, &base, nullptr, false);
    // Link, cells shown, host showing, whether the shown items took their actions' state.
    const std::tuple<TTBCustomItem*, std::size_t, bool, bool> steps[] = {
        {&target, 1, true, true}, {&target, 1, true, false}, {&other, 0, true, false},
        {&target, 1, false, false}, {nullptr, 0, true, false}, {&target, 1, true, true}};
    for (auto [link, cells, showing, updated] : steps) {
        screen.showing = showing;
        const int updates = action.updates;
        base.SetLinkSubitems(link);
        EXPECT_EQ(view.Cells().size(), cells);
        EXPECT_EQ(action.updates > updates, updated) << cells << showing;
    }
}
