// The toolbar's windowless half: view limits by placement, the chevron minimum, menu-bar
// mode and its defaults, keyboard access by accelerator, the Alt+key decision and the
// shortcut routing between toolbars and forms.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "ItemScript.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/core/Toolbar.h"
#include "toolbar/core/ToolbarSizing.h"

using namespace tb;
using namespace tbtest;

namespace {

constexpr auto H = TTBViewOrientation::Horizontal, V = TTBViewOrientation::Vertical,
               F = TTBViewOrientation::Floating;
constexpr auto kNone = TTBShrinkMode::tbsmNone, kWrap = TTBShrinkMode::tbsmWrap,
               kChevron = TTBShrinkMode::tbsmChevron;

TEST(ToolbarSizing, DockTypeAndOrientation) {
    struct Case {
        bool hasDock, leftOrRight, floating;
        TTBDockType type;
        TTBViewOrientation orientation;
    } cases[] = {
        {false, false, false, TTBDockType::NotDocked, H}, {true, false, false, TTBDockType::TopBottom, H},
        {true, true, false, TTBDockType::LeftRight, V},   {false, false, true, TTBDockType::Floating, F},
        {true, true, true, TTBDockType::Floating, F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        EXPECT_EQ(DockTypeOf(c.hasDock, c.leftOrRight, c.floating), c.type);
        EXPECT_EQ(OrientationOf(c.type), c.orientation);
    }
}

TEST(ToolbarSizing, LimitsByPlacement) {
    auto docked = [](TTBDockType t, TTBShrinkMode m, bool current, int allotted, int inner) {
        TToolbarPlacement p;
        p.dockType = t;
        p.shrinkMode = m;
        p.inCurrentDock = current;
        p.allottedSize = allotted;
        p.dockInnerLength = inner;
        p.dockedNonClient = {14, 4};  // a top dock's frame with the drag handle across x
        if (t == TTBDockType::LeftRight) p.dockedNonClient = {4, 14};
        p.floatingWidth = 77;  // ignored unless floating
        return p;
    };
    auto onForm = [](TTBShrinkMode m, bool autoResize, bool anchoredLR) {
        TToolbarPlacement p;
        p.shrinkMode = m;
        p.autoResize = autoResize;
        p.anchoredLeftAndRight = anchoredLR;
        p.width = 200;
        p.nonClientWidth = 6;
        return p;
    };
    TToolbarPlacement floating;
    floating.dockType = TTBDockType::Floating;
    floating.floatingWidth = 150;
    floating.shrinkMode = kChevron;
    TToolbarPlacement tinyDock = docked(TTBDockType::TopBottom, kWrap, true, 0, 10);
    struct Case {
        const char* name;
        TToolbarPlacement p;
        TViewLimits want;
    } cases[] = {
        {"chevron in its dock", docked(TTBDockType::TopBottom, kChevron, true, 300, 800), {H, 286, 0}},
        {"chevron, vertical dock", docked(TTBDockType::LeftRight, kChevron, true, 300, 800), {V, 286, 0}},
        {"chevron, unconstrained", docked(TTBDockType::TopBottom, kChevron, true, 0, 800), {H, 0, 0}},
        {"chevron, allotted below the frame", docked(TTBDockType::TopBottom, kChevron, true, 9, 800), {H, 0, 0}},
        {"chevron, candidate dock", docked(TTBDockType::TopBottom, kChevron, false, 300, 800), {H, 0, 0}},
        {"wrap in a dock", docked(TTBDockType::TopBottom, kWrap, true, 300, 800), {H, 0, 786}},
        {"wrap in a candidate dock", docked(TTBDockType::LeftRight, kWrap, false, 0, 500), {V, 0, 486}},
        {"wrap, dock narrower than the frame", tinyDock, {H, 0, 0}},
        {"none in a dock", docked(TTBDockType::TopBottom, kNone, true, 300, 800), {H, 0, 0}},
        {"floating", floating, {F, 0, 150}},
        {"form, sizes itself", onForm(kChevron, true, false), {H, 0, 0}},
        {"form, fixed width, chevron", onForm(kChevron, false, false), {H, 194, 0}},
        {"form, anchored both sides, wrap", onForm(kWrap, true, true), {H, 0, 194}},
        {"form, fixed width, none", onForm(kNone, false, true), {H, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TViewLimits got = ViewLimitsFor(c.p);
        EXPECT_EQ(got.orientation, c.want.orientation);
        EXPECT_EQ(got.chevronLimit, c.want.chevronLimit);
        EXPECT_EQ(got.wrapLength, c.want.wrapLength);
    }
}

// A view host with fixed metrics: every character 6 pixels, images 16 x 16.
class FakeHost : public TTBViewHost {
public:
    int repaints = 0;
    TTextMetrics Metrics() const override { return {13, 0, [](std::string_view s) { return int(s.size()) * 6; }}; }
    std::optional<TImageSize> ImageSizeFor(const TTBItemViewer&) const override { return TImageSize{16, 16}; }
    void RepaintRect(const TRect&) override { ++repaints; }
    void RepaintAll() override { ++repaints; }
    void FitHost(TPoint) override {}
    std::unique_ptr<TTBPopupHandle> OpenPopup(TTBView&, TTBItemViewer&, bool) override { return nullptr; }
};

int along(const TTBItemViewer* v, TTBViewOrientation o) {
    return AlongOrientation({v->BoundsRect.Width(), v->BoundsRect.Height()}, o);
}

TEST(ToolbarSizing, ChevronMinimumFollowsPriority) {
    std::istringstream in(R"(separator
button "A"
button "Longer caption"
separator
button "Mid one"
)");
    ItemScript s = ParseItemScript(in);
    FakeHost host;
    for (TTBViewOrientation o : {H, V}) {
        SCOPED_TRACE(int(o));
        TTBView view(host, s.root.get(), nullptr, true, true);
        view.Orientation = o;
        view.ValidatePositions();
        const auto& cells = view.Cells();
        const TPoint frame{14, 4};
        const int frameAlong = o == V ? 4 : 14;
        // Never used yet: the first item in order counts (the leading separator does not).
        EXPECT_EQ(ChevronMinimumSize(view, frame), along(cells[1].get(), o) + frameAlong + kChevronSize);
        view.MarkRecentlyUsed(cells[2].get());
        EXPECT_EQ(ChevronMinimumSize(view, frame), along(cells[2].get(), o) + frameAlong + kChevronSize);
        EXPECT_NE(along(cells[1].get(), o), along(cells[2].get(), o));
        cells[2]->Item()->SetVisible(false);  // hidden: the next in priority counts
        view.ValidatePositions();
        EXPECT_EQ(ChevronMinimumSize(view, frame), along(view.Cells()[1].get(), o) + frameAlong + kChevronSize);
        cells[2]->Item()->SetVisible(true);
    }
    ItemScript empty;
    TTBView none(host, empty.root.get(), nullptr, true, true);
    none.ValidatePositions();
    EXPECT_EQ(ChevronMinimumSize(none, {14, 4}), 14 + kChevronSize);
}

TEST(ToolbarSizing, SizeCalculationLeavesTheViewAlone) {
    std::istringstream in(R"(button image
button image
button "Text"
separator
button image
button image
)");
    ItemScript s = ParseItemScript(in);
    FakeHost host;
    TTBView view(host, s.root.get(), nullptr, true, true);
    view.ValidatePositions();
    const TPoint single = view.LastLayout().newSize;
    std::vector<TRect> before;
    for (const auto& c : view.Cells()) before.push_back(c->BoundsRect);
    const int repaints = host.repaints;

    // Without a chevron limit: what a view laid out with the same settings measures.
    FakeHost other;
    struct Case {
        TTBViewOrientation o;
        int wrap;
        bool rows;  // more than one
    } cases[] = {{H, 0, false}, {V, 0, false}, {F, 0, false}, {H, single.x / 2 + 10, true}, {F, single.x / 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.o) * 1000 + c.wrap);
        TTBView own(other, s.root.get(), nullptr, true, true);
        own.Orientation = c.o;
        own.WrapLength = c.wrap;
        own.ValidatePositions();
        TToolbarSize got = CalcToolbarSize(view, {c.o, 0, c.wrap});
        EXPECT_EQ(got.size, own.LastLayout().newSize);
        EXPECT_EQ(got.rowCount, own.LastLayout().lineCount);
        EXPECT_EQ(got.rowCount > 1, c.rows);
        EXPECT_FALSE(got.chevronEnabled);
    }
    // A chevron limit shorter than the items: hidden items, the chevron counted in.
    TToolbarSize shortened = CalcToolbarSize(view, {H, single.x / 2, 0});
    EXPECT_TRUE(shortened.chevronEnabled);
    EXPECT_LE(shortened.size.x, single.x / 2);
    EXPECT_FALSE(CalcToolbarSize(view, {H, single.x + kChevronSize, 0}).chevronEnabled);

    std::vector<TRect> after;
    for (const auto& c : view.Cells()) after.push_back(c->BoundsRect);
    EXPECT_EQ(after, before);
    EXPECT_EQ(host.repaints, repaints);
    EXPECT_EQ(view.LastLayout().newSize, single);
}

// A toolbar with recorded side effects.
struct Bench {
    ItemScript script;  // owns the items moved into the toolbar; outlives it
    FakeHost host;
    TTBDockType where = TTBDockType::TopBottom;
    int relayouts = 0, dockRelayouts = 0, beeps = 0;
    bool fullSize = false, closeButton = true, menuBarLook = false;
    bool enabled = true, captured = false, formEnabled = true;
    const void* form = nullptr;
    std::vector<int> loops;          // options of each loop entered
    std::vector<bool> accelsInLoop;  // accelerators shown while it ran
    std::function<void()> inLoop;
    std::unique_ptr<TTBToolbarCore> bar;
    std::unique_ptr<TTBView> view;

    explicit Bench(const char* items = "", bool designing = false) {
        std::istringstream in(items);
        script = ParseItemScript(in);
        TTBToolbarCore::Services s;
        s.dockType = [this] { return where; };
        s.relayout = [this] { ++relayouts; };
        s.relayoutDock = [this] { ++dockRelayouts; };
        s.setFullSize = [this](bool v) { fullSize = v; };
        s.setCloseButton = [this](bool v) { closeButton = v; };
        s.menuBarChanged = [this](bool v) { menuBarLook = v; };
        s.enterLoop = [this](TTBLoopOptions o) {
            loops.push_back(o);
            accelsInLoop.push_back(view->AcceleratorsShown());
            if (inLoop) inLoop();
        };
        s.keyboardCues = [] { return false; };
        s.enabledAndShowing = [this] { return enabled; };
        s.mouseCaptured = [this] { return captured; };
        s.beep = [this] { ++beeps; };
        s.form = [this] { return form; };
        s.formEnabled = [this] { return formEnabled; };
        bar = std::make_unique<TTBToolbarCore>(std::move(s), designing);
        while (script.root->Count() > 0) {
            TTBCustomItem* item = script.root->Items(0);
            script.root->Remove(item);
            bar->Items().Add(item);
        }
        view = std::make_unique<TTBView>(host, &bar->Items(), nullptr, true);
        view->ViewOptions |= tbvoHideAccelsUntilKeyboard;
        view->ValidatePositions();
        bar->SetView(view.get());
    }
    ~Bench() {
        bar->SetView(nullptr);
        view.reset();
        bar.reset();
    }
    TTBCustomItem* item(int i) { return bar->Items().Items(i); }
    std::string selected() const {
        return view->Selection() ? view->Selection()->Item()->Caption() : std::string("(none)");
    }
};

TEST(ToolbarMenuBar, DefaultsOutsideLoadingOnly) {
    Bench b;
    EXPECT_EQ(b.bar->ShrinkMode(), kChevron);
    EXPECT_FALSE(b.bar->ProcessShortCuts());
    EXPECT_TRUE(b.bar->SystemFont());
    EXPECT_TRUE(b.bar->UpdateActions());
    b.bar->SetMenuBar(true);
    EXPECT_TRUE(b.fullSize);
    EXPECT_FALSE(b.closeButton);
    EXPECT_TRUE(b.menuBarLook);
    EXPECT_EQ(b.bar->ShrinkMode(), kWrap);
    EXPECT_TRUE(b.bar->ProcessShortCuts());
    EXPECT_TRUE(b.bar->HookRegistered());
    EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 1);
    EXPECT_EQ(Hooks().CodesOf(&TTBToolbarCore::MdiAltKeyHook), HookCodeBit(THookCode::GetMessage));
    EXPECT_TRUE(b.bar->ShortcutsRegistered());
    b.bar->SetMenuBar(false);
    EXPECT_FALSE(b.fullSize);
    EXPECT_TRUE(b.closeButton);
    EXPECT_EQ(b.bar->ShrinkMode(), kChevron);
    EXPECT_FALSE(b.bar->ProcessShortCuts());
    EXPECT_FALSE(b.bar->HookRegistered());
    EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 0);
    EXPECT_FALSE(b.bar->ShortcutsRegistered());

    // Streaming a menu bar: the stored values are set in any order and stay.
    Bench loaded;
    loaded.bar->BeginLoading();
    loaded.bar->SetShrinkMode(kNone);
    loaded.bar->SetMenuBar(true);
    loaded.bar->EndLoading();
    EXPECT_EQ(loaded.bar->ShrinkMode(), kNone);
    EXPECT_FALSE(loaded.fullSize);
    EXPECT_TRUE(loaded.closeButton);
    EXPECT_FALSE(loaded.bar->ProcessShortCuts());
    EXPECT_TRUE(loaded.bar->HookRegistered());
    EXPECT_TRUE(loaded.bar->ShortcutsRegistered());  // a menu bar is listed without ProcessShortCuts
}

TEST(ToolbarMenuBar, SettersActOnlyOnChange) {
    Bench b;
    struct Case {
        TTBDockType where;
        int relayouts, dockRelayouts;
    } shrink[] = {{TTBDockType::TopBottom, 0, 1}, {TTBDockType::LeftRight, 0, 1}, {TTBDockType::Floating, 0, 0},
                  {TTBDockType::NotDocked, 1, 0}};
    for (const Case& c : shrink) {
        SCOPED_TRACE(int(c.where));
        b.where = c.where;
        b.relayouts = b.dockRelayouts = 0;
        b.bar->SetShrinkMode(b.bar->ShrinkMode());
        EXPECT_EQ(b.relayouts + b.dockRelayouts, 0);
        b.bar->SetShrinkMode(b.bar->ShrinkMode() == kWrap ? kChevron : kWrap);
        EXPECT_EQ(b.relayouts, c.relayouts);
        EXPECT_EQ(b.dockRelayouts, c.dockRelayouts);
    }
    for (TTBDockType where : {TTBDockType::TopBottom, TTBDockType::NotDocked, TTBDockType::Floating}) {
        b.where = where;
        b.relayouts = 0;
        b.bar->SetFloatingWidth(b.bar->FloatingWidth());
        b.bar->SetFloatingWidth(b.bar->FloatingWidth() + 40);
        EXPECT_EQ(b.relayouts, where == TTBDockType::Floating ? 1 : 0);
    }
    EXPECT_EQ(b.bar->FloatingWidth(), 120);
    b.relayouts = 0;
    b.bar->SetSystemFont(true);
    b.bar->SetSystemFont(false);
    b.bar->SetSystemFont(false);
    EXPECT_EQ(b.relayouts, 1);

    EXPECT_EQ(b.bar->ChevronHint(), "More Buttons|");
    EXPECT_FALSE(b.bar->ChevronHintStored());
    b.bar->SetChevronHint("More|Shows the buttons that do not fit");
    EXPECT_TRUE(b.bar->ChevronHintStored());
    b.bar->SetChevronHint("More Buttons|");
    EXPECT_FALSE(b.bar->ChevronHintStored());
}

const char* kMenuItems = R"(submenu "&File"
  button "&Open"
submenu "&Favorites"
  button "&Add"
button "&Refresh"
button "&Help" disabled
submenu "&Tools"
  button "&Options"
button "Fit"
)";

TEST(ToolbarAccelerator, OpensByKey) {
    struct Case {
        const char* name;
        bool menuBar;
        char key;
        bool primaryOnly;
        bool result;
        std::vector<int> loops;
        const char* selected;
        int clicks;  // of "&Refresh" and "Fit"
    } cases[] = {
        {"unique, no submenu", false, 'r', false, true, {}, "(none)", 1},
        {"unique submenu opens", false, 'T', false, true, {tbloPopupMode | tbloPickFirst}, "&Tools", 0},
        {"shared in a menu bar", true, 'f', false, true, {tbloPickFirst}, "&File", 0},
        {"shared in a toolbar", false, 'f', false, true, {}, "(none)", 0},
        {"disabled", true, 'h', false, false, {}, "(none)", 0},
        {"nothing", true, 'z', false, false, {}, "(none)", 0},
        {"key 0 selects the first", true, 0, false, true, {tbloPickFirst}, "&File", 0},
        {"first letter", false, 'i', false, false, {}, "(none)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b(kMenuItems);
        b.bar->SetMenuBar(c.menuBar);
        int clicks = 0;
        b.item(2)->SetOnClick([&](TTBCustomItem*) { ++clicks; });
        b.item(5)->SetOnClick([&](TTBCustomItem*) { ++clicks; });
        EXPECT_EQ(b.bar->OpenByAccelerator(c.key, c.primaryOnly), c.result);
        EXPECT_EQ(b.loops, c.loops);
        for (bool shown : b.accelsInLoop) EXPECT_TRUE(shown);
        EXPECT_EQ(b.selected(), c.selected);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_FALSE(b.view->AcceleratorsShown());
    }
    // A caption without an accelerator answers its first letter, unless only accelerators count.
    Bench b(kMenuItems);
    int fits = 0;
    b.item(5)->SetOnClick([&](TTBCustomItem*) { ++fits; });
    EXPECT_FALSE(b.bar->OpenByAccelerator('i', false));
    EXPECT_TRUE(b.bar->OpenByAccelerator('F', true));  // shared by File and Favorites: nothing opens
    EXPECT_TRUE(b.loops.empty());
    EXPECT_EQ(fits, 0);
    Bench letters(R"(button "Fit"
button "&Open"
)");
    int fitClicks = 0;
    letters.item(0)->SetOnClick([&](TTBCustomItem*) { ++fitClicks; });
    EXPECT_FALSE(letters.bar->OpenByAccelerator('f', true));
    EXPECT_EQ(fitClicks, 0);
    EXPECT_TRUE(letters.bar->OpenByAccelerator('f', false));
    EXPECT_EQ(fitClicks, 1);
    Bench empty;
    EXPECT_FALSE(empty.bar->OpenByAccelerator(0, false));
    EXPECT_FALSE(empty.view->AcceleratorsShown());
}

TEST(ToolbarAccelerator, AcceleratorsComeBackWhenAnErrorPasses) {
    Bench b(kMenuItems);
    b.bar->SetMenuBar(true);
    b.item(2)->SetOnClick([](TTBCustomItem*) { throw std::runtime_error("click failed"); });
    EXPECT_THROW(b.bar->OpenByAccelerator('r', false), std::runtime_error);
    EXPECT_FALSE(b.view->AcceleratorsShown());
    b.inLoop = [] { throw std::runtime_error("loop failed"); };
    EXPECT_THROW(b.bar->OpenByAccelerator('t', false), std::runtime_error);
    EXPECT_EQ(b.accelsInLoop, std::vector<bool>{true});
    EXPECT_FALSE(b.view->AcceleratorsShown());
    // With the desktop underlining always, "back to normal" keeps them shown.
    b.view->ViewOptions &= std::uint8_t(~tbvoHideAccelsUntilKeyboard);
    b.inLoop = nullptr;
    EXPECT_TRUE(b.bar->OpenByAccelerator('t', false));
    EXPECT_TRUE(b.view->AcceleratorsShown());
}

TEST(ToolbarKeyMenu, AltKeyDecision) {
    struct Case {
        const char* name;
        bool menuBar, enabled, captured;
        char key;
        bool handled;
        int beeps;
        std::size_t loops;
    } cases[] = {
        {"Alt+letter opens", true, true, false, 't', true, 0, 1},
        {"Alt alone selects the first", true, true, false, 0, true, 0, 1},
        {"Alt+- unmatched", true, true, false, '-', false, 0, 0},
        {"Alt+letter unmatched", true, true, false, 'q', true, 1, 0},
        {"Alt+disabled item", true, true, false, 'h', true, 1, 0},
        {"Alt+Space", true, true, false, ' ', false, 0, 0},
        {"not a menu bar", false, true, false, 't', false, 0, 0},
        {"disabled or hidden", true, false, false, 't', false, 0, 0},
        {"mouse captured", true, true, true, 't', false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bench b(kMenuItems);
        b.bar->SetMenuBar(c.menuBar);
        b.enabled = c.enabled;
        b.captured = c.captured;
        EXPECT_EQ(b.bar->KeyMenu(c.key), c.handled);
        EXPECT_EQ(b.beeps, c.beeps);
        EXPECT_EQ(b.loops.size(), c.loops);
    }
    // An item whose accelerator is "-" takes Alt+-; a space is never taken.
    Bench dash(R"(button "&-Minus"
button "& Space"
)");
    dash.bar->SetMenuBar(true);
    int minus = 0, space = 0;
    dash.item(0)->SetOnClick([&](TTBCustomItem*) { ++minus; });
    dash.item(1)->SetOnClick([&](TTBCustomItem*) { ++space; });
    EXPECT_TRUE(dash.bar->KeyMenu('-'));
    EXPECT_FALSE(dash.bar->KeyMenu(' '));
    EXPECT_EQ(minus, 1);
    EXPECT_EQ(space, 0);
    EXPECT_EQ(dash.beeps, 0);
}

TEST(ToolbarKeyMenu, DialogCharAndKey) {
    Bench plain(kMenuItems);
    int fits = 0;
    plain.item(5)->SetOnClick([&](TTBCustomItem*) { ++fits; });
    EXPECT_TRUE(plain.bar->DialogChar('t'));
    EXPECT_FALSE(plain.bar->DialogChar('i'));  // first letters do not count here
    EXPECT_FALSE(plain.bar->DialogChar(0));
    plain.enabled = false;
    EXPECT_FALSE(plain.bar->DialogChar('t'));
    EXPECT_EQ(plain.loops.size(), 1u);
    EXPECT_EQ(fits, 0);
    plain.bar->DialogKey(kAltVirtualKey);
    EXPECT_FALSE(plain.view->AcceleratorsShown());

    Bench menu(kMenuItems);
    menu.bar->SetMenuBar(true);
    EXPECT_FALSE(menu.bar->DialogChar('t'));  // a menu bar takes its keys with Alt
    EXPECT_TRUE(menu.loops.empty());
    menu.bar->DialogKey('A');
    EXPECT_FALSE(menu.view->AcceleratorsShown());
    menu.bar->DialogKey(kAltVirtualKey);
    EXPECT_TRUE(menu.view->AcceleratorsShown());
}

struct HookCounter {
    static inline int installs = 0, removals = 0;
    HookCounter() {
        installs = removals = 0;
        SetShortcutHookInstaller([] { ++installs; }, [] { ++removals; });
    }
    ~HookCounter() { SetShortcutHookInstaller(nullptr, nullptr); }
};

TEST(ToolbarShortcuts, ListingAndHookUseCount) {
    HookCounter hooks;
    ASSERT_EQ(ShortcutRouter().UseCount(), 0);
    {
        Bench a, b, designer("", true);
        a.bar->SetProcessShortCuts(true);
        EXPECT_EQ(HookCounter::installs, 1);
        b.bar->SetMenuBar(true);
        designer.bar->SetMenuBar(true);
        designer.bar->SetProcessShortCuts(true);
        EXPECT_EQ(ShortcutRouter().UseCount(), 2);
        EXPECT_FALSE(designer.bar->ShortcutsRegistered());
        EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 2);  // the designer's only counts
        b.bar->SetProcessShortCuts(false);
        EXPECT_TRUE(b.bar->ShortcutsRegistered());
        a.bar->SetProcessShortCuts(false);
        EXPECT_FALSE(a.bar->ShortcutsRegistered());
        EXPECT_EQ(HookCounter::removals, 0);
        EXPECT_EQ(HookCounter::installs, 1);
    }
    EXPECT_EQ(ShortcutRouter().UseCount(), 0);
    EXPECT_EQ(HookCounter::removals, 1);
    EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 0);
}

TEST(ToolbarShortcuts, ActiveFormFirstThenMainForm) {
    HookCounter hooks;
    int mainForm = 0, dialog = 0;
    const TShortCut ctrlO = ShortCut('O', scCtrl), ctrlE = ShortCut('E', scCtrl), f5 = ShortCut(0x74, 0);
    const char* items = R"(submenu "&File"
  button "&Open" shortcut=Ctrl+O
button "Refresh" shortcut=F5
)";
    Bench menu(items), tools(R"(button "Export" shortcut=Ctrl+E
button "Open here" shortcut=Ctrl+O
)"),
        other(R"(button "Elsewhere" shortcut=Ctrl+E
)");
    menu.form = tools.form = &mainForm;
    other.form = &dialog;
    menu.bar->SetMenuBar(true);
    tools.bar->SetProcessShortCuts(true);
    other.bar->SetProcessShortCuts(true);
    std::vector<std::string> log;
    for (Bench* b : {&menu, &tools, &other})
        for (int i = 0; i < b->bar->Items().Count(); ++i) {
            TTBCustomItem* top = b->item(i);
            TTBCustomItem* leaf = top->Count() ? top->Items(0) : top;
            leaf->SetOnClick([&log](TTBCustomItem* s) { log.push_back(s->Caption()); });
        }
    auto route = [&](TShortCut key, const void* active) {
        log.clear();
        bool handled = ShortcutRouter().KeyDown(key, active, &mainForm);
        return handled ? (log.empty() ? std::string("handled, no click") : log.back()) : std::string("-");
    };
    EXPECT_EQ(route(ctrlO, &mainForm), "&Open");  // the menu bar joined first
    EXPECT_EQ(route(ctrlE, &dialog), "Elsewhere");
    EXPECT_EQ(route(ctrlE, &mainForm), "Export");
    EXPECT_EQ(route(f5, &dialog), "Refresh");  // the dialog has none: the main form's
    EXPECT_EQ(route(ShortCut('Q', scCtrl), &dialog), "-");
    EXPECT_EQ(log.size(), 0u);

    // OnShortCut is asked first; handling there ends the search.
    menu.bar->OnShortCut = [](TShortCut key, bool& handled) { handled = key == ShortCut('O', scCtrl); };
    EXPECT_EQ(route(ctrlO, &mainForm), "handled, no click");
    menu.bar->OnShortCut = nullptr;
    // A menu bar without ProcessShortCuts stays listed and is not asked; a disabled form is skipped.
    menu.bar->SetProcessShortCuts(false);
    EXPECT_EQ(route(ctrlO, &mainForm), "Open here");
    tools.formEnabled = false;
    EXPECT_EQ(route(ctrlO, &mainForm), "-");
    tools.formEnabled = true;

    // A handler that frees a later toolbar: that one is not asked; a throwing one ends the search.
    std::unique_ptr<Bench> late = std::make_unique<Bench>(R"(button "Late" shortcut=Ctrl+L
)");
    late->form = &mainForm;
    late->bar->SetProcessShortCuts(true);
    tools.bar->OnShortCut = [&](TShortCut, bool&) { late.reset(); };
    EXPECT_EQ(route(ShortCut('L', scCtrl), &mainForm), "-");
    tools.bar->OnShortCut = [](TShortCut, bool&) { throw std::runtime_error("handler failed"); };
    std::vector<std::string> errors;
    SetExceptionHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            errors.push_back(x.what());
        }
    });
    EXPECT_EQ(route(ctrlE, &mainForm), "handled, no click");
    EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
    SetExceptionHandler(nullptr);
}

}  // namespace
