// The main window's menu bar, toolbar and list popup as a user meets them: shown offscreen
// and driven through Qt's event routing (keys and presses on the window), with the menu
// loop running, the hints reaching the status bar and the commands running.
#include <gtest/gtest.h>

#include <QApplication>
#include <QItemSelectionModel>
#include <QTreeView>
#include <QWindow>
#include <QtTest/QTest>

#include "app/MainWindowProbe.h"
#include "app/FakeMainServices.h"
#include "app/core/Favorites.h"
#include "app/ui/MainBars.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtPopupWindow.h"
#include "toolbar/ui/QtToolbar.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

constexpr int kFavorites = 4;  // the menu bar's fifth head

tb::TTBPopupWindow* openPopup() { return dynamic_cast<tb::TTBPopupWindow*>(QApplication::activePopupWidget()); }

std::vector<std::string> popupCaptions() {
    std::vector<std::string> out;
    if (tb::TTBPopupWindow* popup = openPopup())
        for (const auto& cell : popup->View().Cells())
            if (cell->IsShown) out.push_back(cell->Item()->Caption());
    return out;
}

struct Shown {
    TRegistryStore store{":memory:"};
    ListWindow t{store, false};

    Shown() {
        t.w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(t.w.get()));
    }
    tb::TTBToolbarView& bar(const char* name) { return t.w->findChild<tb::TTBToolbar*>(name)->ViewWidget(); }
    QWindow* win() { return t.w->windowHandle(); }
    QPoint centre(tb::TTBToolbarView& view, int cell) {
        const tb::TRect& r = view.View().Cells()[std::size_t(cell)]->BoundsRect;
        return view.mapTo(t.w.get(), QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
    // The item selected in the innermost open level of the menu bar.
    std::string selected() {
        tb::TTBView* v = &bar("tbMenu").View();
        while (v->PopupViewOpen()) v = v->PopupViewOpen();
        return v->Selection() ? v->Selection()->Item()->Caption() : "";
    }
    void key(Qt::Key k) { QTest::keyClick(win(), k); }
    bool looping() {
        return openPopup() || (bar("tbMenu").View().ViewFlags & tb::vsMenuLoop) ||
               (bar("tbMain").View().ViewFlags & tb::vsMenuLoop);
    }
    // Runs `script` once a menu loop runs inside `start` (the input helpers may let queued
    // calls run before their event arrives), never when none starts; then the deferred click.
    void inLoop(const std::function<void()>& script, const std::function<void()>& start) {
        QTimer poll;
        poll.setInterval(0);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!looping()) return;
            poll.stop();
            script();
            // A script that leaves the loop running fails instead of hanging the test.
            QTimer::singleShot(0, [this] {
                if (!looping()) return;
                ADD_FAILURE() << "the menu loop was left running";
                for (int i = 0; i < 4 && looping(); ++i) key(Qt::Key_Escape);
            });
        });
        poll.start();
        start();
        poll.stop();
        QCoreApplication::processEvents();
    }
    // A click on a bar's cell; `script` runs with what it opened still open.
    void clicked(tb::TTBToolbarView& view, int cell, const std::function<void()>& script) {
        const QPoint at = centre(view, cell);
        inLoop(
            [&, at] {
                QTest::mouseRelease(win(), Qt::LeftButton, {}, at);  // keys wait while a button is held
                script();
            },
            [&] { QTest::mousePress(win(), Qt::LeftButton, {}, at); });
    }
};

}  // namespace

TEST(MainBars, TheMenuBarFromTheKeyboardWithTheSelectedCommandsHintInPanelZero) {
    Shown s;
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        bool down;  // then Down, which opens the selected head
        std::string selected, panel;  // panel: the hint of a command selected in an open menu
    } cases[] = {
        {Qt::Key_H, Qt::AltModifier, false, "Veltrazone Glyphscope &Help", ""},  // opens with its first command
        {Qt::Key_F, Qt::AltModifier, false, "&File", ""},  // shared with Favorites: selected only
        {Qt::Key_F, Qt::AltModifier, true, "Select F&older...", "Select folder"},
        {Qt::Key_F10, Qt::NoModifier, false, "&File", ""},  // Save As Icons is off: not its key
    };
    for (const Case& c : cases) {
        std::string selected;
        QString panel;
        s.inLoop(
            [&] {
                if (c.down) s.key(Qt::Key_Down);
                selected = s.selected();
                panel = TMainWindowProbe(*s.t.w).PanelText(0);
                const bool open = openPopup();
                s.key(Qt::Key_Escape);  // closes the menu, or leaves the bar when none is open
                if (open) s.key(Qt::Key_Escape);
            },
            [&] { QTest::keyClick(s.win(), c.key, c.mods); });
        EXPECT_EQ(selected, c.selected) << c.key;
        if (!c.panel.empty()) {
            EXPECT_EQ(panel.toStdString(), c.panel) << c.key;
        }
        EXPECT_EQ(TMainWindowProbe(*s.t.w).PanelText(0), "");  // a closed menu leaves no hint behind
    }
    EXPECT_FALSE(s.t.w->Action(A::actIconSaveIcons)->isEnabled());
}

TEST(MainBars, AltAndADigitSwitchTheListStyleAndLeaveTheMenuBarAlone) {
    // The view styles' shortcuts are the window's Qt shortcuts: the Alt that went with them
    // is no tap, so the menu bar stays out of its loop and the next Alt+digit is the list's
    // again; Alt tapped alone still enters the bar.
    Shown s;
    QApplication::setActiveWindow(s.t.w.get());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::activeWindow(), s.t.w.get(), 5000);
    const std::pair<Qt::Key, TViewStyle> steps[] = {
        {Qt::Key_2, TViewStyle::vsSmallIcon}, {Qt::Key_1, TViewStyle::vsIcon}, {Qt::Key_4, TViewStyle::vsReport},
        {Qt::Key_3, TViewStyle::vsList},      {Qt::Key_1, TViewStyle::vsIcon},
    };
    for (const auto& [key, style] : steps) {
        const Qt::Key digit = key;  // a lambda takes a copy, not the binding
        SCOPED_TRACE(digit);
        bool entered = false;
        s.inLoop(
            [&] {
                entered = true;
                s.key(Qt::Key_Escape);
            },
            [&] {
                QTest::keyPress(s.win(), Qt::Key_Alt);
                QTest::keyClick(s.win(), digit, Qt::AltModifier);
                QTest::keyRelease(s.win(), Qt::Key_Alt, Qt::AltModifier);
            });
        EXPECT_FALSE(entered);
        EXPECT_EQ(s.t.w->ListView().ViewStyle(), style);
        EXPECT_FALSE(s.looping());
    }
    std::string selected;
    s.inLoop(
        [&] {
            selected = s.selected();
            s.key(Qt::Key_Escape);
        },
        [&] {
            QTest::keyPress(s.win(), Qt::Key_Alt);
            QTest::keyRelease(s.win(), Qt::Key_Alt, Qt::AltModifier);
        });
    EXPECT_EQ(selected, "&File");
    EXPECT_FALSE(s.looping());
}

TEST(MainBars, FavoritesIsRebuiltAsItOpensAfterAChangeOnly) {
    Shown s;
    TFavoritesFolder& root = s.t.context.Favorites;
    AddFavorite(AddFolder(root, "Tools"), "gimp", "/usr/bin/gimp");
    AddFavorite(root, "icons", "/usr/share/icons");
    s.t.context.FavoritesModified = true;
    auto opened = [&] {
        std::vector<std::string> captions;
        s.clicked(s.bar("tbMenu"), kFavorites, [&] {
            captions = popupCaptions();
            s.key(Qt::Key_Escape);
            s.key(Qt::Key_Escape);
        });
        return captions;
    };
    const std::vector<std::string> built = {"&Add To Favorites...", "&Organize Favorites...", "", "Tools", "icons"};
    EXPECT_EQ(opened(), built);
    EXPECT_FALSE(s.t.context.FavoritesModified);
    const tb::TTBCustomItem& tools = *TMainWindowProbe(*s.t.w).FavoritesMenu()->Items(3);
    ASSERT_EQ(tools.Count(), 1);
    EXPECT_EQ(tools.Items(0)->Hint(), "/usr/bin/gimp");
    EXPECT_EQ(tools.Items(0)->ImageIndex(), kFavoriteImage);
    AddFavorite(root, "quiet", "/q");  // no change flagged: the menu stays as built
    EXPECT_EQ(opened(), built);
    // A rebuild frees the entries it takes out, submenus with their entries.
    struct Watcher : tb::TObserver {
        int freed = 0;
        void NotifierFreed(tb::TNotifier*) override { ++freed; }
        void watch(tb::TNotifier* n) { Watch(n); }
    } watcher;
    watcher.watch(TMainWindowProbe(*s.t.w).FavoritesMenu()->Items(3));
    watcher.watch(TMainWindowProbe(*s.t.w).FavoritesMenu()->Items(3)->Items(0));
    watcher.watch(TMainWindowProbe(*s.t.w).FavoritesMenu()->Items(4));
    s.t.context.FavoritesModified = true;
    EXPECT_EQ(opened().back(), "quiet");
    EXPECT_EQ(watcher.freed, 3);
}

TEST(MainBars, RecentFoldersShowsNumberedPathsWithinTheLimitAndAVanishedOneGoesWithAWarning) {
    Shown s;
    Tree dir;
    const std::string kept = dir.dir("kept").string(), gone = (dir.path / "gone").string();
    TMainWindowProbe(*s.t.w).MRUFolders().SetItems({gone, kept, "/c", "/d", "/e"});
    s.t.context.Options.MRULimit = 3;
    s.t.w->ApplyOptions();
    EXPECT_EQ(TMainWindowProbe(*s.t.w).MRUFolders().Items().size(), 3u);
    std::vector<std::string> captions;
    std::string selected;
    QString panel;
    s.inLoop(
        [&] {
            s.key(Qt::Key_Down);
            s.key(Qt::Key_R);  // "&Recent Folders" opens with its first entry
            captions = popupCaptions();
            selected = s.selected();
            panel = TMainWindowProbe(*s.t.w).PanelText(0);
            s.key(Qt::Key_Return);
        },
        [&] { QTest::keyClick(s.win(), Qt::Key_F, Qt::AltModifier); });
    EXPECT_EQ(captions, (std::vector<std::string>{"&1 " + gone, "&2 " + kept, "&3 /c"}));
    EXPECT_EQ(selected, "&1 " + gone);
    EXPECT_EQ(panel.toStdString(), gone);
    ASSERT_EQ(s.t.services.boxes.size(), 1u);
    EXPECT_EQ(s.t.services.boxes[0].msg, "Folder '" + gone + "' not found.");
    EXPECT_EQ(TMainWindowProbe(*s.t.w).MRUFolders().Items(), (std::vector<std::string>{kept, "/c"}));
}

TEST(MainBars, TheToolbarsDropDownAndTheListPopupRunTheirCommands) {
    Shown s;
    Tree dir;
    dir.put("a.dll", peWithGroups(3));
    s.t.list(dir.path.string());
    tb::TTBToolbarView& main = s.bar("tbMain");
    int viewCell = -1;
    for (std::size_t i = 0; i < main.View().Cells().size(); ++i)
        if (main.View().Cells()[i]->Item()->Caption() == "&View") viewCell = int(i);
    ASSERT_GE(viewCell, 0);
    std::vector<std::string> styles;
    s.clicked(main, viewCell, [&] {
        styles = popupCaptions();
        s.key(Qt::Key_D);  // "&Details"
    });
    EXPECT_EQ(styles, (std::vector<std::string>{"&Large Icons", "&Small Icons", "L&ist", "&Details"}));
    EXPECT_EQ(s.t.w->ListView().ViewStyle(), TViewStyle::vsReport);
    EXPECT_TRUE(s.t.w->Action(A::actViewReport)->isChecked());

    QWidget* list = s.t.w->ListView().ReportView();
    s.inLoop([&] { QTest::keyClick(openPopup()->windowHandle(), Qt::Key_L); },  // "Select A&ll"
             [&] { emit list->customContextMenuRequested(QPoint(5, 5)); });
    EXPECT_EQ(s.t.w->ListView().SelectedCount(), 3);
}
