// The main window's Favorites menu and commands: the menu is rebuilt from the favourites
// tree when it opens after a change, a favourite opens its folder or file, and the run-time
// entries close while the window is busy.
#include "app/core/AppContext.h"
#include "app/core/Favorites.h"
#include "app/ui/FavoritesDlgs.h"
#include "app/ui/IconListView.h"
#include "app/ui/MainBars.h"
#include "app/ui/MainWindow.h"
#include "framework/core/FileUtils.h"

namespace gs {

namespace {

// The two fixed commands come first; then a separator and the run-time entries.
constexpr int kFixedFavoritesEntries = 2;

}  // namespace

void TKAVUMain::createFavorites() {
    mnuFavorites = &bars_->Favorites();
    favoritesDialogs_ = std::make_unique<TFavoritesDialogs>(context_, services_, handler_);
    favDialogs_ = favoritesDialogs_.get();
    // The head's command runs as its menu opens.
    on(TMainAction::actFavorites, [this] { actFavoritesExecute(); });
    on(TMainAction::actFavoritesAdd, [this] { actFavoritesAddExecute(); });
    on(TMainAction::actFavoritesOrganize, [this] { favDialogs_->ShowOrganizeDlg(this); });
}

void TKAVUMain::actFavoritesExecute() {
    if (!context_.FavoritesModified) return;
    // Each entry is owned by its parent item: freeing one frees its submenu's entries.
    for (int i = mnuFavorites->Count() - 1; i >= kFixedFavoritesEntries; --i) delete mnuFavorites->Items(i);
    const TFavoritesFolder& root = context_.Favorites;
    if (root.Empty()) return;  // the flag stays: the next opening looks again
    mnuFavorites->Add(new tb::TTBSeparatorItem(mnuFavorites));
    AddFavoritesFolderItems(*mnuFavorites, FavoritesMenuEntries(root, Idle()));
    context_.FavoritesModified = false;
}

void TKAVUMain::AddFavoritesFolderItems(tb::TTBCustomItem& submenu, const std::vector<TFavoritesMenuEntry>& entries) {
    for (const TFavoritesMenuEntry& e : entries) {
        tb::TTBCustomItem* entry = nullptr;
        if (e.IsFolder) {
            entry = new tb::TTBSubmenuItem(&submenu);
            AddFavoritesFolderItems(*entry, e.Children);
        } else {
            entry = new tb::TTBItem(&submenu);
            const std::string target = e.Hint;
            entry->SetOnClick([this, target](tb::TTBCustomItem*) { Guard([&] { OpenFavorite(target); }); });
        }
        entry->SetCaption(e.Caption);
        entry->SetHint(e.Hint);
        entry->SetImageIndex(e.ImageIndex);
        entry->SetEnabled(e.Enabled);
        submenu.Add(entry);
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
    if (!mnuFavorites) return;
    for (int i = kFixedFavoritesEntries + 1; i < mnuFavorites->Count(); ++i) {
        tb::TTBCustomItem* entry = mnuFavorites->Items(i);
        const bool folder = dynamic_cast<tb::TTBSubmenuItem*>(entry) != nullptr;
        entry->SetEnabled(FavoritesEntryEnabled(enabled, folder, entry->Count() > 0));
    }
}

void TKAVUMain::actFavoritesAddExecute() {
    // One icon selected: its own file; else the selected folder, or the selected file.
    if (lvIcons->SelectedCount() == 1 && lvIcons->FirstSelected())
        favDialogs_->AddToFavorites(this, false, lvIcons->FirstSelected()->FileName.string());
    else if (!listing_.SelectedFolder().empty())
        favDialogs_->AddToFavorites(this, true, listing_.SelectedFolder());
    else if (!listing_.SelectedFile().empty())
        favDialogs_->AddToFavorites(this, false, listing_.SelectedFile());
}

}  // namespace gs
