// The toolbar's windowless half: view limits by placement, sizes and the chevron minimum,
// menu-bar mode, opening by accelerator, the Alt+key decision, control items and the
// shortcut routing between forms.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "FakeSources.h"
#include "ItemScript.h"
#include "toolbar/core/ItemRuntime.h"
#include "toolbar/core/Toolbar.h"

using namespace tb;
using namespace tbtest;

namespace {

constexpr auto H = TTBViewOrientation::Horizontal, V = TTBViewOrientation::Vertical, F = TTBViewOrientation::Floating;
constexpr auto kNone = TTBShrinkMode::tbsmNone, kWrap = TTBShrinkMode::tbsmWrap, kChevron = TTBShrinkMode::tbsmChevron;
constexpr auto kTop = TTBDockType::TopBottom, kLeft = TTBDockType::LeftRight, kFloat = TTBDockType::Floating,
               kForm = TTBDockType::NotDocked;

TEST(ToolbarSizing, LimitsByPlacement) {
    EXPECT_EQ(DockTypeOf(false, false, false), kForm);
    EXPECT_EQ(DockTypeOf(true, false, false), kTop);
    EXPECT_EQ(DockTypeOf(true, true, false), kLeft);
    EXPECT_EQ(DockTypeOf(true, true, true), kFloat);
    // Docked: allotted 300 or inner length 800, frame {14, 4} ({4, 14} on the left); floating width 150;
    // on a form: width 200 with 6 of frame.
    struct Case {
        TTBDockType type;
        TTBShrinkMode mode;
        bool current, autoResize, anchored;
        int allotted, inner;
        TViewLimits want;
    } cases[] = {
        {kTop, kChevron, true, true, false, 300, 800, {H, 286, 0}},  {kLeft, kChevron, true, true, false, 300, 800, {V, 286, 0}},
        {kTop, kChevron, true, true, false, 0, 800, {H, 0, 0}},      {kTop, kChevron, true, true, false, 9, 800, {H, 0, 0}},
        {kTop, kChevron, false, true, false, 300, 800, {H, 0, 0}},   {kTop, kWrap, true, true, false, 300, 800, {H, 0, 786}},
        {kLeft, kWrap, false, true, false, 0, 500, {V, 0, 486}},     {kTop, kWrap, true, true, false, 0, 10, {H, 0, 0}},
        {kTop, kNone, true, true, false, 300, 800, {H, 0, 0}},       {kFloat, kChevron, true, true, false, 300, 800, {F, 0, 150}},
        {kForm, kChevron, false, true, false, 0, 0, {H, 0, 0}},      {kForm, kChevron, false, false, false, 0, 0, {H, 194, 0}},
        {kForm, kWrap, false, true, true, 0, 0, {H, 0, 194}},        {kForm, kNone, false, false, true, 0, 0, {H, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        TToolbarPlacement p{c.type, c.current, c.mode, c.allotted, c.type == kLeft ? TPoint{4, 14} : TPoint{14, 4},
                            c.inner, 150, c.autoResize, c.anchored, 200, 6};
        TViewLimits got = ViewLimitsFor(p);
        EXPECT_EQ(got.orientation, c.want.orientation);
        EXPECT_EQ(got.chevronLimit, c.want.chevronLimit);
        EXPECT_EQ(got.wrapLength, c.want.wrapLength);
    }
}

// Every character 6 pixels wide, images 16 x 16.
class FakeHost : public ITBViewHost {
public:
    int repaints = 0;
    TTextMetrics Metrics() const override { return {13, 0, [](std::string_view s) { return int(s.size()) * 6; }}; }
    std::optional<TImageSize> ImageSizeFor(const TTBItemViewer&) const override { return TImageSize{16, 16}; }
    void RepaintRect(const TRect&) override { ++repaints; }
    void RepaintAll() override { ++repaints; }
    void FitHost(TPoint) override {}
    std::unique_ptr<ITBPopupHandle> OpenPopup(TTBView&, TTBItemViewer&, bool) override { return nullptr; }
};

TEST(ToolbarSizing, SizesWithoutTouchingTheViewAndChevronMinimum) {
    std::istringstream in("separator\nbutton image\nbutton \"Longer caption\"\nseparator\nbutton image\nbutton image\n");
    ItemScript s = ParseItemScript(in);
    FakeHost host, other;
    TTBView view(host, s.root.get(), nullptr, true, true);
    view.ValidatePositions();
    const TPoint single = view.LastLayout().newSize;
    const TRect firstBounds = view.Cells()[1]->BoundsRect;
    const int repaints = host.repaints;
    // Without a chevron limit: what a view laid out with the same settings measures.
    for (auto [o, wrap] : {std::pair{H, 0}, {V, 0}, {F, 0}, {H, single.x / 2 + 10}, {F, single.x / 2}}) {
        SCOPED_TRACE(int(o) * 1000 + wrap);
        TTBView own(other, s.root.get(), nullptr, true, true);
        own.Orientation = o;
        own.WrapLength = wrap;
        own.ValidatePositions();
        TToolbarSize got = CalcToolbarSize(view, {o, 0, wrap});
        EXPECT_EQ(got.size, own.LastLayout().newSize);
        EXPECT_EQ(got.rowCount, own.LastLayout().lineCount);
        EXPECT_EQ(got.rowCount > 1, wrap > 0);
    }
    TToolbarSize shortened = CalcToolbarSize(view, {H, single.x / 2, 0});
    EXPECT_TRUE(shortened.chevronEnabled);
    EXPECT_LE(shortened.size.x, single.x / 2);
    EXPECT_FALSE(CalcToolbarSize(view, {H, single.x + kChevronSize, 0}).chevronEnabled);
    EXPECT_EQ(view.Cells()[1]->BoundsRect, firstBounds);
    EXPECT_EQ(host.repaints, repaints);

    // The minimum: the first shown non-separator item by priority, the frame along, the chevron.
    const auto& cells = view.Cells();
    EXPECT_EQ(ChevronMinimumSize(view, {14, 4}), firstBounds.Width() + 14 + kChevronSize);
    view.MarkRecentlyUsed(cells[2].get());
    EXPECT_EQ(ChevronMinimumSize(view, {14, 4}), cells[2]->BoundsRect.Width() + 14 + kChevronSize);
    cells[2]->Item()->SetVisible(false);
    view.Orientation = V;
    view.ValidatePositions();
    EXPECT_EQ(ChevronMinimumSize(view, {4, 14}), cells[1]->BoundsRect.Height() + 14 + kChevronSize);
    ItemScript empty;
    TTBView none(host, empty.root.get(), nullptr, true, true);
    EXPECT_EQ(ChevronMinimumSize(none, {14, 4}), 14 + kChevronSize);
}

// A toolbar over items of a script, with its side effects recorded.
struct Bench {
    ItemScript script;  // owns the items; outlives the toolbar
    FakeHost host;
    TTBDockType where = kTop;
    int relayouts = 0, dockRelayouts = 0, beeps = 0;
    bool fullSize = false, closeButton = true, enabled = true, captured = false, formEnabled = true;
    const void* form = nullptr;
    std::vector<int> loops;
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
        s.enterLoop = [this](TTBLoopOptions o) {
            loops.push_back(view->AcceleratorsShown() ? o : -1);
            if (inLoop) inLoop();
        };
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
        bar->SetView(view.get());
    }
    ~Bench() { view.reset(); }
    TTBCustomItem* item(int i) { return bar->Items().Items(i); }
    std::string selected() const { return view->Selection() ? view->Selection()->Item()->Caption() : "-"; }
};

TEST(ToolbarMenuBar, DefaultsOutsideLoadingAndSetters) {
    Bench b;
    b.bar->SetMenuBar(true);
    EXPECT_TRUE(b.fullSize && !b.closeButton && b.bar->ProcessShortCuts() && b.bar->ShrinkMode() == kWrap);
    EXPECT_EQ(Hooks().CodesOf(&TTBToolbarCore::MdiAltKeyHook), HookCodeBit(THookCode::GetMessage));
    b.bar->SetMenuBar(false);
    EXPECT_TRUE(!b.fullSize && b.closeButton && !b.bar->ProcessShortCuts() && b.bar->ShrinkMode() == kChevron);
    EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 0);

    Bench loaded;  // streamed: the stored values stay, in any order
    loaded.bar->BeginLoading();
    loaded.bar->SetShrinkMode(kNone);
    loaded.bar->SetMenuBar(true);
    loaded.bar->EndLoading();
    EXPECT_TRUE(loaded.bar->ShrinkMode() == kNone && !loaded.fullSize && loaded.closeButton);
    EXPECT_FALSE(loaded.bar->ProcessShortCuts());
    EXPECT_TRUE(loaded.bar->HookRegistered() && loaded.bar->ShortcutsRegistered());

    for (auto [where, own, dock] : {std::tuple{kTop, 0, 1}, {kLeft, 0, 1}, {kFloat, 0, 0}, {kForm, 1, 0}}) {
        b.where = where;
        b.relayouts = b.dockRelayouts = 0;
        b.bar->SetShrinkMode(b.bar->ShrinkMode());
        b.bar->SetShrinkMode(b.bar->ShrinkMode() == kWrap ? kChevron : kWrap);
        b.bar->SetFloatingWidth(b.bar->FloatingWidth());
        b.bar->SetFloatingWidth(b.bar->FloatingWidth() + 40);
        EXPECT_EQ(b.relayouts, own + (where == kFloat));
        EXPECT_EQ(b.dockRelayouts, dock);
    }
    b.relayouts = 0;
    b.bar->SetSystemFont(true);
    b.bar->SetSystemFont(false);
    EXPECT_EQ(b.relayouts, 1);
    EXPECT_FALSE(b.bar->ChevronHintStored());
    b.bar->SetChevronHint("More|");
    EXPECT_TRUE(b.bar->ChevronHintStored());
    b.bar->SetChevronHint("More Buttons|");
    EXPECT_FALSE(b.bar->ChevronHintStored());
}

const char* kMenuItems = "submenu \"&File\"\n  button \"&Open\"\nsubmenu \"&Favorites\"\n  button \"&Add\"\n"
                         "button \"&Refresh\"\nbutton \"&Help\" disabled\nsubmenu \"&Tools\"\n  button \"&Options\"\n"
                         "button \"Fit\"\n";

TEST(ToolbarAccelerator, OpensByKey) {
    const int popup = tbloPopupMode | tbloPickFirst, first = tbloPickFirst;
    struct Case {
        bool menuBar;
        char key;
        bool primaryOnly, result;
        std::vector<int> loops;
        const char* selected;
        int clicks;  // of Refresh and Fit
    } cases[] = {
        {false, 'r', false, true, {}, "-", 1},        {false, 'T', true, true, {popup}, "&Tools", 0},
        {true, 'f', false, true, {first}, "&File", 0}, {false, 'f', true, true, {}, "-", 0},
        {true, 'h', false, false, {}, "-", 0},        {true, 'z', false, false, {}, "-", 0},
        {true, 0, false, true, {first}, "&File", 0},  {false, 'i', false, false, {}, "-", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Bench b(kMenuItems);
        b.bar->SetMenuBar(c.menuBar);
        int clicks = 0;
        for (int i : {2, 5}) b.item(i)->SetOnClick([&](TTBCustomItem*) { ++clicks; });
        EXPECT_EQ(b.bar->OpenByAccelerator(c.key, c.primaryOnly), c.result);
        EXPECT_EQ(b.loops, c.loops);  // -1: a loop ran without the accelerators shown
        EXPECT_EQ(b.selected(), c.selected);
        EXPECT_EQ(clicks, c.clicks);
        EXPECT_FALSE(b.view->AcceleratorsShown());
    }
    Bench letters("button \"Fit\"\nbutton \"&Open\"\n");  // a first letter counts unless PrimaryOnly
    int fits = 0;
    letters.item(0)->SetOnClick([&](TTBCustomItem*) { ++fits; });
    EXPECT_FALSE(letters.bar->OpenByAccelerator('f', true));
    EXPECT_TRUE(letters.bar->OpenByAccelerator('f', false));
    EXPECT_EQ(fits, 1);
    EXPECT_FALSE(Bench().bar->OpenByAccelerator(0, false));

    Bench b(kMenuItems);  // an error passing through leaves the accelerators as they were
    b.item(2)->SetOnClick([](TTBCustomItem*) { throw std::runtime_error("click"); });
    EXPECT_THROW(b.bar->OpenByAccelerator('r', false), std::runtime_error);
    EXPECT_FALSE(b.view->AcceleratorsShown());
    b.inLoop = [] { throw std::runtime_error("loop"); };
    EXPECT_THROW(b.bar->OpenByAccelerator('t', false), std::runtime_error);
    EXPECT_EQ(b.loops, std::vector<int>{popup});
    EXPECT_FALSE(b.view->AcceleratorsShown());
}

TEST(ToolbarKeyMenu, AltKeyDialogCharAndKey) {
    struct Case {
        bool menuBar, enabled, captured;
        char key;
        bool handled;
        int beeps;
        std::size_t loops;
    } cases[] = {
        {true, true, false, 't', true, 0, 1},   {true, true, false, 0, true, 0, 1},
        {true, true, false, '-', false, 0, 0},  {true, true, false, 'q', true, 1, 0},
        {true, true, false, 'h', true, 1, 0},   {true, true, false, ' ', false, 0, 0},
        {false, true, false, 't', false, 0, 0}, {true, false, false, 't', false, 0, 0},
        {true, true, true, 't', false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Bench b(kMenuItems);
        b.bar->SetMenuBar(c.menuBar);
        b.enabled = c.enabled;
        b.captured = c.captured;
        EXPECT_EQ(b.bar->KeyMenu(c.key), c.handled);
        EXPECT_EQ(b.beeps, c.beeps);
        EXPECT_EQ(b.loops.size(), c.loops);
    }
    Bench dash("button \"&-Minus\"\nbutton \"& Space\"\n");  // an item may take Alt+-, never Alt+Space
    dash.bar->SetMenuBar(true);
    EXPECT_TRUE(dash.bar->KeyMenu('-'));
    EXPECT_FALSE(dash.bar->KeyMenu(' '));
    EXPECT_EQ(dash.beeps, 0);

    Bench plain(kMenuItems), menu(kMenuItems);
    menu.bar->SetMenuBar(true);
    EXPECT_TRUE(plain.bar->DialogChar('t'));
    EXPECT_FALSE(plain.bar->DialogChar('i'));  // first letters do not count here
    EXPECT_FALSE(plain.bar->DialogChar(0));
    EXPECT_FALSE(menu.bar->DialogChar('t'));
    plain.bar->DialogKey(kAltVirtualKey);
    menu.bar->DialogKey('A');
    EXPECT_FALSE(plain.view->AcceleratorsShown() || menu.view->AcceleratorsShown());
    menu.bar->DialogKey(kAltVirtualKey);
    EXPECT_TRUE(menu.view->AcceleratorsShown());
}

TEST(ToolbarAccelerator, CountsOnlyWhereTheCaptionShows) {
    // "Select F&older..." as a picture alone: a plain O must not run it (the caption with
    // its accelerator is not on the screen); with its caption shown it runs.
    struct Case {
        const char* items;
        bool popupView;
        const char* clicked;  // "" when the key is left unanswered
    } cases[] = {
        {"button \"Select F&older...\" image", false, ""},
        {"button \"Select F&older...\" image imageabove", false, "Select F&older..."},
        {"button \"Select F&older...\"", false, "Select F&older..."},
        {"button \"Select F&older...\" image", true, "Select F&older..."},  // a menu row shows its caption
        {"button \"Select F&older...\" image\nbutton \"&Open\"", false, "&Open"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items);
        Bench b(c.items);
        std::vector<std::string> clicked;
        for (int i = 0; i < b.bar->Items().Count(); ++i)
            b.item(i)->SetOnClick([&](TTBCustomItem* item) { clicked.push_back(item->Caption()); });
        if (c.popupView) {
            b.view = std::make_unique<TTBView>(b.host, &b.bar->Items(), nullptr, false);
            b.bar->SetView(b.view.get());
        }
        EXPECT_EQ(b.bar->DialogChar('o'), *c.clicked != 0);
        EXPECT_EQ(clicked, *c.clicked ? std::vector<std::string>{c.clicked} : std::vector<std::string>{});
    }
}

struct Control : TItemControl {
    ~Control() override { NotifyObserversFreed(); }
};

TEST(ToolbarControls, OneItemPerChildControl) {
    Bench b("button \"A\"\n"), designer("", true);
    auto* c1 = new Control;  // the items free what they wrap
    auto* c2 = new Control;
    auto c3 = std::make_unique<Control>();
    b.bar->BeginLoading();
    b.bar->ControlInserted(c1);  // while loading, only the wrap at the end counts
    b.bar->EndLoading();
    b.bar->WrapChildControls({c1, c2});
    b.bar->ControlInserted(c2);
    EXPECT_EQ(b.bar->Items().Count(), 3);
    EXPECT_EQ(b.bar->FindControlItem(c2), b.item(2));
    b.bar->CreateControlItemFor(0, c2);
    std::unique_ptr<Control> removed(c2);
    b.bar->ControlRemoved(c2);  // every wrapper goes; the control stays
    EXPECT_EQ(b.bar->Items().Count(), 2);
    EXPECT_EQ(b.bar->FindControlItem(c2), nullptr);
    EXPECT_THROW(b.bar->CreateControlItemFor(9, c3.get()), ETBItemError);
    for (int i = 0; i < 3; ++i) designer.bar->ControlInserted(new Control);
    std::unique_ptr<TItemControl> gone(static_cast<TTBControlItem*>(designer.item(1))->Control());
    designer.bar->ControlRemoved(gone.get());
    designer.bar->ControlInserted(new Control);
    EXPECT_EQ(designer.item(2)->Name(), "TBControlItem2");
}

TEST(ToolbarShortcuts, ListingHookAndRoutingByForm) {
    static int installs, removals;
    installs = removals = 0;
    SetShortcutHookInstaller([] { ++installs; }, [] { ++removals; });
    int mainForm = 0, dialog = 0;
    std::vector<std::string> log;
    {
        Bench menu("submenu \"&File\"\n  button \"&Open\" shortcut=Ctrl+O\nbutton \"Refresh\" shortcut=F5\n"),
            tools("button \"Export\" shortcut=Ctrl+E\nbutton \"Open here\" shortcut=Ctrl+O\n"),
            other("button \"Elsewhere\" shortcut=Ctrl+E\n"), designer("", true);
        menu.form = tools.form = &mainForm;
        other.form = &dialog;
        menu.bar->SetMenuBar(true);
        tools.bar->SetProcessShortCuts(true);
        other.bar->SetProcessShortCuts(true);
        designer.bar->SetMenuBar(true);
        EXPECT_EQ(ShortcutRouter().UseCount(), 3);
        EXPECT_EQ(installs, 1);
        EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 2);
        for (Bench* b : {&menu, &tools, &other})
            for (int i = 0; i < b->bar->Items().Count(); ++i) {
                TTBCustomItem* leaf = b->item(i)->Count() ? b->item(i)->Items(0) : b->item(i);
                leaf->SetOnClick([&log](TTBCustomItem* s) { log.push_back(s->Caption()); });
            }
        auto route = [&](TShortCut key, const void* active) {
            log.clear();
            bool handled = ShortcutRouter().KeyDown(key, active, &mainForm);
            return handled ? (log.empty() ? "no click" : log.back()) : "-";
        };
        const TShortCut ctrlO = ShortCut('O', scCtrl), ctrlE = ShortCut('E', scCtrl);
        EXPECT_EQ(route(ctrlO, &mainForm), "&Open");
        EXPECT_EQ(route(ctrlE, &dialog), "Elsewhere");
        EXPECT_EQ(route(ctrlE, &mainForm), "Export");
        EXPECT_EQ(route(ShortCut(0x74, 0), &dialog), "Refresh");  // then the main form's
        EXPECT_EQ(route(ShortCut('Q', scCtrl), &dialog), "-");
        menu.bar->OnShortCut = [](TShortCut key, bool& handled) { handled = key == ShortCut('O', scCtrl); };
        EXPECT_EQ(route(ctrlO, &mainForm), "no click");
        menu.bar->SetProcessShortCuts(false);  // listed, not asked
        EXPECT_EQ(route(ctrlO, &mainForm), "Open here");
        tools.formEnabled = false;
        EXPECT_EQ(route(ctrlO, &mainForm), "-");
        tools.formEnabled = true;

        auto late = std::make_unique<Bench>("button \"Late\" shortcut=Ctrl+L\n");
        late->form = &mainForm;
        late->bar->SetProcessShortCuts(true);
        tools.bar->OnShortCut = [&](TShortCut, bool&) { late.reset(); };  // leaves before its turn
        EXPECT_EQ(route(ShortCut('L', scCtrl), &mainForm), "-");
        tools.bar->OnShortCut = [](TShortCut, bool&) { throw std::runtime_error("handler failed"); };
        int errors = 0;
        SetExceptionHandler([&](std::exception_ptr) { ++errors; });
        EXPECT_EQ(route(ctrlE, &mainForm), "no click");  // nothing else runs the key
        EXPECT_EQ(errors, 1);
        SetExceptionHandler(nullptr);
        EXPECT_EQ(removals, 0);
    }
    EXPECT_EQ(ShortcutRouter().UseCount(), 0);
    EXPECT_EQ(removals, 1);
    EXPECT_EQ(Hooks().RefCount(&TTBToolbarCore::MdiAltKeyHook), 0);
    SetShortcutHookInstaller(nullptr, nullptr);
}

}  // namespace
