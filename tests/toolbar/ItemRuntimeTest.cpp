// Clicking: actions, popups, the click deferred past the menu loop, loop results and
// keyboard shortcuts routed through a tree.
#include <gtest/gtest.h>

#include "FakeSources.h"
#include "toolbar/core/ItemRuntime.h"

using namespace tb;
using namespace tbtest;

namespace {

// Collects what reaches the application's handler.
struct HandlerScope {
    std::vector<std::string> errors;
    HandlerScope() {
        SetExceptionHandler([this](std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                errors.push_back(x.what());
            }
        });
    }
    ~HandlerScope() { SetExceptionHandler(nullptr); }
};

TActionValues selectFolder() {
    TActionValues v;
    v.caption = "Select F&older...";
    v.hint = "Select folder";
    v.shortCut = scCtrl | 'D';
    v.imageIndex = 2;
    v.hasOnExecute = true;
    return v;
}

}  // namespace

TEST(ToolbarClick, ActionValuesAndTheirChanges) {
    FakeAction action;
    action.values = selectFolder();
    TTBRootItem root(nullptr);
    auto* item = new TTBItem(&root);
    root.Add(item);
    item->SetAction(&action);
    EXPECT_EQ(item->Caption(), "Select F&older...");
    EXPECT_EQ(item->ShortcutDisplayText(), "Ctrl+D");
    EXPECT_EQ(item->HintWithShortCut(), "Select folder (Ctrl+D)");
    EXPECT_EQ(item->ImageIndex(), 2);

    Recorder rec;
    root.AddChangeListener(&rec);
    TActionValues v = action.values;
    v.enabled = false;
    action.Set(v);
    EXPECT_FALSE(item->Enabled());
    EXPECT_EQ(rec.kinds(), std::vector<TTBChangeKind>{TTBChangeKind::RepaintItem});

    item->SetCaption("Mine");  // no longer linked: the action's caption stays out
    v.caption = "Other";
    v.enabled = true;
    action.Set(v);
    EXPECT_EQ(item->Caption(), "Mine");
    EXPECT_TRUE(item->Enabled());

    item->Click();
    EXPECT_EQ(action.executions, 1);
    int mine = 0;
    item->SetOnClick([&](TTBCustomItem*) { ++mine; });  // an own handler runs instead
    item->Click();
    EXPECT_EQ(mine, 1);
    EXPECT_EQ(action.executions, 1);

    item->SetCaption("x\tCtrl+Q");
    EXPECT_EQ(item->ShortcutDisplayText(), "Ctrl+Q");
    root.RemoveChangeListener(&rec);
}

TEST(ToolbarClick, ActionGoingAwayUnlinks) {
    TTBItem item(nullptr);
    {
        FakeAction action;
        action.values = selectFolder();
        item.SetAction(&action);
    }
    EXPECT_EQ(item.Action(), nullptr);
    item.Click();  // nothing to run, nothing touched
}

TEST(ToolbarClick, AutoCheckAndPopups) {
    TTBRootItem root(nullptr);
    auto* check = new TTBItem(&root);
    check->SetAutoCheck(true);
    check->Click();
    EXPECT_TRUE(check->Checked());

    for (bool split : {false, true}) {
        TTBSubmenuItem sub(nullptr);
        sub.SetDropdownCombo(split);
        std::vector<std::string> calls;
        sub.OnPopup = [&](TTBCustomItem*, bool fromLink) { calls.push_back(fromLink ? "popup-link" : "popup"); };
        sub.SetOnClick([&](TTBCustomItem*) { calls.push_back("click"); });
        sub.FirePopup(&sub, false);
        std::vector<std::string> expected = {"popup"};
        if (!split) expected.push_back("click");
        EXPECT_EQ(calls, expected);
    }
}

TEST(ToolbarClick, DeferredClickWaitsAndChecksAgain) {
    HandlerScope handler;
    FakeAction action;
    action.values = selectFolder();
    struct Case {
        const char* name;
        std::function<void(std::unique_ptr<TTBItem>&)> meanwhile;
        int clicks;
    } cases[] = {
        {"plain", [](auto&) {}, 1},
        {"item freed", [](auto& item) { item.reset(); }, 0},
        {"action disabled", [&](auto&) {
             TActionValues v = action.values;
             v.enabled = false;
             action.Set(v);
         }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        action.Set(selectFolder());
        action.executions = 0;
        auto item = std::make_unique<TTBItem>(nullptr);
        item->SetAction(&action);
        TTBLoopResult r;
        r.kind = TTBLoopResult::Kind::ClickItem;
        r.item = item.get();
        PerformLoopResult(r);
        EXPECT_EQ(action.executions, 0);  // never from inside the loop
        c.meanwhile(item);
        EXPECT_EQ(RunPostedClicks(), 1);
        EXPECT_EQ(action.executions, c.clicks);
    }
    // A click that throws reaches the handler, not the event loop.
    TTBItem thrower(nullptr);
    thrower.SetOnClick([](TTBCustomItem*) { throw std::runtime_error("click failed"); });
    PostClick(&thrower);
    RunPostedClicks();
    EXPECT_EQ(handler.errors, std::vector<std::string>{"click failed"});
}

TEST(ToolbarClick, LoopResultServices) {
    std::vector<std::string> calls;
    TLoopServices s;
    s.soundEnabled = [&](std::string_view name) { return name == "MenuCommand"; };
    s.playSound = [&](std::string_view name) { calls.push_back("sound " + std::string(name)); };
    s.systemMenu = [&](void*, int key) { calls.push_back("sysmenu " + std::to_string(key)); };
    s.help = [&](int context) { calls.push_back("help " + std::to_string(context)); };
    SetLoopServices(s);
    TTBItem item(nullptr);
    int clicks = 0;
    item.SetOnClick([&](TTBCustomItem*) { ++clicks; });
    PerformLoopResult({TTBLoopResult::Kind::ClickItem, &item, nullptr, 0, true, 0});
    PerformLoopResult({TTBLoopResult::Kind::SystemMenu, nullptr, nullptr, 0, false, ' '});
    PerformLoopResult({TTBLoopResult::Kind::Help, nullptr, nullptr, 650, false, 0});
    PerformLoopResult({});
    RunPostedClicks();
    EXPECT_EQ(calls, (std::vector<std::string>{"sound MenuCommand", "sysmenu 32", "help 650"}));
    EXPECT_EQ(clicks, 1);
    SetLoopServices({});
}

namespace {

// root > File (submenu) > Recent (submenu) > Select Folder (Ctrl+D)
struct Menu {
    TTBRootItem root{nullptr};
    TTBSubmenuItem* file = new TTBSubmenuItem(&root);
    TTBSubmenuItem* recent = new TTBSubmenuItem(&root);
    TTBItem* select = new TTBItem(&root);
    std::vector<std::string> log;
    Menu() {
        root.Add(file);
        file->Add(recent);
        recent->Add(select);
        select->SetShortCut(scCtrl | 'D');
        for (auto [item, name] : {std::pair<TTBCustomItem*, const char*>{file, "File"}, {recent, "Recent"}}) {
            std::string n = name;
            item->OnPopup = [this, n](TTBCustomItem*, bool) { log.push_back("popup " + n); };
        }
        select->SetOnClick([this](TTBCustomItem*) { log.push_back("click"); });
    }
};

}  // namespace

TEST(ToolbarShortcut, RoutedThroughEveryLevel) {
    HandlerScope handler;
    Menu m;
    EXPECT_TRUE(m.root.RouteShortcut(16452));
    EXPECT_EQ(m.log, (std::vector<std::string>{"popup File", "popup Recent", "click"}));

    m.log.clear();
    m.file->OnPopup = [&](TTBCustomItem*, bool) { throw std::runtime_error("popup failed"); };
    EXPECT_TRUE(m.root.RouteShortcut(16452));  // a failing handler does not stop the dispatch
    EXPECT_EQ(handler.errors, std::vector<std::string>{"popup failed"});

    m.recent->SetEnabled(false);
    EXPECT_FALSE(m.root.RouteShortcut(16452));
    m.recent->SetEnabled(true);
    m.select->SetEnabled(false);
    EXPECT_FALSE(m.root.RouteShortcut(16452));
    EXPECT_FALSE(m.root.RouteShortcut(scCtrl | 'Q'));
    EXPECT_FALSE(m.root.RouteShortcut(0));
}

TEST(ToolbarShortcut, PopupHandlersMayRebuildTheLevels) {
    // Opening either submenu moves the target under the other one: each time the search
    // below the opened level finds nothing and the dispatch starts over from the root,
    // until it gives up after 25 fresh starts.
    TTBRootItem root(nullptr);
    auto* a = new TTBSubmenuItem(&root);
    auto* b = new TTBSubmenuItem(&root);
    auto* target = new TTBItem(&root);
    root.Add(a);
    root.Add(b);
    a->Add(target);
    target->SetShortCut(16452);
    int popups = 0;
    auto moveAway = [&](TTBCustomItem* sender, bool) {
        ++popups;
        sender->Remove(target);
        (sender == a ? b : a)->Add(target);
    };
    a->OnPopup = moveAway;
    b->OnPopup = moveAway;
    EXPECT_FALSE(root.RouteShortcut(16452));
    EXPECT_EQ(popups, 1 + kMaxRouteRestarts);
}

TEST(ToolbarShortcut, LinkChainsEndAfter25Hops) {
    for (int hops : {25, 26}) {
        TTBRootItem root(nullptr);
        std::vector<std::unique_ptr<TTBRootItem>> targets;
        TTBCustomItem* level = &root;
        for (int i = 0; i < hops; ++i) {
            auto* sub = new TTBSubmenuItem(&root);
            level->Add(sub);
            targets.push_back(std::make_unique<TTBRootItem>(nullptr));
            sub->SetLinkSubitems(targets.back().get());
            level = targets.back().get();
        }
        auto* item = new TTBItem(&root);
        level->Add(item);
        item->SetShortCut(16452);
        int clicks = 0;
        item->SetOnClick([&](TTBCustomItem*) { ++clicks; });
        EXPECT_EQ(root.RouteShortcut(16452), hops == 25) << hops;
        EXPECT_EQ(clicks, hops == 25 ? 1 : 0);
        // A link cycle ends the same way.
        auto* loop = new TTBSubmenuItem(&root);
        targets.front()->Add(loop);
        loop->SetLinkSubitems(targets.front().get());
        EXPECT_FALSE(root.RouteShortcut(scCtrl | 'Z'));
        targets.clear();
    }
}
