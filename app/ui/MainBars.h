#pragma once
// The item trees of the main window's menu bar (tbMenu), main toolbar (tbMain) and list
// popup (popIcons), made from the command table. Every command item links to its
// command's QAction, so its enabled and checked state, caption, shortcut, hint and image
// follow the action, and clicking it runs the action. The trees know nothing of the
// widgets that show them: any host over MenuItems() or MainItems() shows the bar.
#include <QAction>
#include <functional>
#include <memory>
#include <vector>

#include "app/core/MainActions.h"
#include "toolbar/core/Item.h"
#include "toolbar/core/MRUList.h"
#include "toolbar/ui/QtImageList.h"

namespace gs {

class TMainBars {
public:
    using ActionOf = std::function<QAction*(TMainAction)>;
    // `action` gives each command's action (it must outlive these trees); the two recent
    // lists are shown inside File's Recent Folders and Recent Files.
    TMainBars(ActionOf action, tb::TTBMRUList& recentFolders, tb::TTBMRUList& recentFiles);
    ~TMainBars();
    TMainBars(const TMainBars&) = delete;
    TMainBars& operator=(const TMainBars&) = delete;

    tb::TTBRootItem& MenuItems() const { return *menu_; }
    tb::TTBRootItem& MainItems() const { return *main_; }
    // Puts popIcons' entries below `root`.
    void FillPopup(tb::TTBCustomItem& root);
    // The Favorites head: its two commands, then the entries built at run time.
    tb::TTBSubmenuItem& Favorites() const { return *favorites_; }
    // The command pictures for a screen of many colours, or for one of 256.
    tb::TTBCustomImageList& Images(bool highColour) const { return highColour ? *images16K_ : *images256_; }

private:
    class MenuCaption;
    tb::TTBCustomItem* command(tb::TTBCustomItem& parent, TMainAction id, bool menuBar = false);
    tb::TTBSubmenuItem* submenu(tb::TTBCustomItem& parent, TMainAction id);
    void commands(tb::TTBCustomItem& parent, std::initializer_list<TMainAction> ids, bool menuBar = false);
    void buildMenu(tb::TTBMRUList& recentFolders, tb::TTBMRUList& recentFiles);
    void buildMain();

    ActionOf action_;
    // Declared before the roots: the items that use them go first.
    std::unique_ptr<tb::TTBCustomImageList> images16K_, images256_;
    std::vector<std::unique_ptr<MenuCaption>> menuCaptions_;
    std::unique_ptr<tb::TTBRootItem> menu_, main_;
    tb::TTBSubmenuItem* favorites_ = nullptr;
};

}  // namespace gs
