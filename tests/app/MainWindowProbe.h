#pragma once
// The tests' way into the main window: what the window keeps to itself (its listing, order,
// recent lists, command states, panels, preview and menus) and the dialogs a test scripts,
// reached as the window's friend rather than through methods the program never calls.
#include <QLabel>
#include <QListWidget>
#include <QPixmap>

#include "app/ui/FavoritesDlgs.h"
#include "app/ui/IconPreview.h"
#include "app/ui/MainWindow.h"

namespace gs {

class TMainWindowProbe {
public:
    explicit TMainWindowProbe(const TKAVUMain& w) : w_(const_cast<TKAVUMain&>(w)) {}

    TIconListing& Listing() const { return w_.listing_; }
    int SortColumn() const { return w_.order_.Column; }
    bool SortAscending() const { return w_.order_.Ascending; }
    // True until the first show has listed the command line's file or folder.
    bool FirstShowPending() const { return w_.firstShow_; }
    const TActionStates& ActionStates() const { return w_.states_; }
    IRecentList& MRUFolders() const { return w_.recent_.Folders; }
    IRecentList& MRUFiles() const { return w_.recent_.Files; }
    TMainBars& Bars() const { return *w_.bars_; }
    // What a status bar panel shows (0 hints and busy texts, 1 count, 2 filter, 3 selection).
    QString PanelText(int panel) const { return w_.panels_[std::size_t(panel)]->text(); }
    QStringList PreviewLines() const {
        QStringList lines;
        for (int i = 0; i < w_.lbIconPreview->count(); ++i) lines << w_.lbIconPreview->item(i)->text();
        return lines;
    }
    int PreviewLineHeight(int line) const {
        QListWidgetItem* item = w_.lbIconPreview->item(line);
        return item ? w_.lbIconPreview->visualItemRect(item).height() : -1;
    }
    // Whether a preview line draws a picture (the window's picture role, Qt::UserRole + 1).
    bool PreviewLineHasPicture(int line) const {
        QListWidgetItem* item = w_.lbIconPreview->item(line);
        return item && !item->data(Qt::UserRole + 1).value<QPixmap>().isNull();
    }
    tb::TTBSubmenuItem* FavoritesMenu() const { return w_.mnuFavorites; }
    void SetListDialogs(IListDialogs& dialogs) const { w_.listDialogs_ = &dialogs; }
    // Scripted favourites dialogs; null restores the real ones.
    void SetFavoritesDialogs(IFavoritesDialogs* dialogs) const {
        w_.favDialogs_ = dialogs ? dialogs : w_.favoritesDialogs_.get();
    }

private:
    TKAVUMain& w_;
};

}  // namespace gs
