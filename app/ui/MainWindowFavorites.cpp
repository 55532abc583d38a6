// The main window's Favorites menu and commands: the menu is rebuilt from the favourites
// tree when it opens after a change, a favourite opens its folder or file, and the run-time
// entries close while the window is busy.
#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/core/AppContext.h"
#include "app/core/Favorites.h"
#include "app/ui/FavoritesDlgs.h"
#include "app/ui/FavoritesImages.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainWindow.h"
#include "framework/core/FileUtils.h"

namespace gs {

namespace {

// The two fixed commands come first; then a separator and the run-time entries.
constexpr int kFixedFavoritesEntries = 2;

}  // namespace

void TKAVUMain::createFavorites() {
    mnuFavorites = tbMenu->findChild<QMenu*>("mnuFavorites");
    favoritesDialogs_ = std::make_unique<TFavoritesDialogs>(context_, services_, handler_);
    favDialogs_ = favoritesDialogs_.get();
    connect(mnuFavorites, &QMenu::aboutToShow, this, [this] { Guard([this] { actFavoritesExecute(); }); });
    on(TMainAction::actFavoritesAdd, [this] { actFavoritesAddExecute(); });
    on(TMainAction::actFavoritesOrganize, [this] { favDialogs_->ShowOrganizeDlg(this); });
}

void TKAVUMain::SetFavoritesDialogs(IFavoritesDialogs* dialogs) {
    favDialogs_ = dialogs ? dialogs : favoritesDialogs_.get();
}

void TKAVUMain::actFavoritesExecute() {
    if (!context_.FavoritesModified) return;
    const QList<QAction*> entries = mnuFavorites->actions();
    for (qsizetype i = entries.size() - 1; i >= kFixedFavoritesEntries; --i) {
        QAction* entry = entries[i];
        mnuFavorites->removeAction(entry);
        if (QMenu* submenu = entry->menu()) delete submenu;  // takes its entries along
        else delete entry;
    }
    const TFavoritesFolder& root = context_.Favorites;
    if (root.Empty()) return;  // the flag stays: the next opening looks again
    mnuFavorites->addSeparator();
    addFavoritesFolderItems(mnuFavorites, FavoritesMenuEntries(root, Idle()));
    context_.FavoritesModified = false;
}

void TKAVUMain::addFavoritesFolderItems(QMenu* submenu, const std::vector<TFavoritesMenuEntry>& entries) {
    for (const TFavoritesMenuEntry& e : entries) {
        const QString caption = QString::fromStdString(e.Caption);
        QAction* entry = nullptr;
        if (e.IsFolder) {
            QMenu* folder = submenu->addMenu(caption);
            addFavoritesFolderItems(folder, e.Children);
            entry = folder->menuAction();
        } else {
            entry = submenu->addAction(caption);
            const std::string target = e.Hint;
            connect(entry, &QAction::triggered, this, [this, target] { Guard([&] { OpenFavorite(target); }); });
        }
        entry->setStatusTip(QString::fromStdString(e.Hint));
        entry->setIcon(FavoritesMenuPicture(e.ImageIndex, favoritesDialogs_->HighColour));
        entry->setEnabled(e.Enabled);
    }
}

void TKAVUMain::OpenFavorite(const std::string& target) {
    // An entry opened while a listing runs would clear the list under it.
    if (!Idle()) return;
    if (SafeDirectoryExists(target)) SelectFolder(target);
    else SelectFile(target);
}

void TKAVUMain::SetFavoritesEnabled(bool enabled) {
    favoritesEnabled_ = enabled;
    const QList<QAction*> entries = mnuFavorites ? mnuFavorites->actions() : QList<QAction*>();
    for (qsizetype i = kFixedFavoritesEntries + 1; i < entries.size(); ++i) {
        QMenu* folder = entries[i]->menu();
        entries[i]->setEnabled(FavoritesEntryEnabled(enabled, folder != nullptr, folder && !folder->actions().isEmpty()));
    }
}

void TKAVUMain::actFavoritesAddExecute() {
    // One icon selected: its own file; else the selected folder, or the selected file.
    if (lvIcons->SelectedCount() == 1 && lvIcons->FirstSelected())
        favDialogs_->AddToFavorites(this, false, lvIcons->FirstSelected()->FileName.string());
    else if (!SelectedFolder.empty())
        favDialogs_->AddToFavorites(this, true, SelectedFolder);
    else if (!SelectedFile.empty())
        favDialogs_->AddToFavorites(this, false, SelectedFile);
}

}  // namespace gs
