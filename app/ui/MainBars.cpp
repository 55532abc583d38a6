#include "app/ui/MainBars.h"

#include "app/core/Favorites.h"
#include "app/core/HelpContexts.h"
#include "app/ui/FavoritesImages.h"
#include "app/ui/MenuImages.h"
#include "toolbar/ui/QtActions.h"

namespace gs {

namespace {

using A = TMainAction;
constexpr A kSeparator = A::Count;

// The command pictures in their indexes, with the Favorites menu's folder and favourite
// at theirs.
std::unique_ptr<tb::TTBCustomImageList> makeImages(bool highColour) {
    auto list = std::make_unique<tb::TTBCustomImageList>(kMenuImageSize, kMenuImageSize);
    const std::vector<QIcon> images = MakeMenuImages(highColour);
    const int count = std::max<int>(int(images.size()), kFavoriteImage + 1);
    for (int i = 0; i < count; ++i) {
        QIcon icon = i == kFavoritesFolderImage || i == kFavoriteImage ? FavoritesMenuPicture(i, highColour)
                     : std::size_t(i) < images.size()                 ? images[std::size_t(i)]
                                                                       : QIcon();
        QPixmap picture = icon.pixmap(kMenuImageSize, kMenuImageSize);
        if (picture.isNull()) {  // an index without a picture still keeps the ones after it in place
            picture = QPixmap(kMenuImageSize, kMenuImageSize);
            picture.fill(Qt::transparent);
        }
        list->Add(picture);
    }
    return list;
}

}  // namespace

// A command as the menu bar shows it: the action's values under the menu bar's own caption.
class TMainBars::MenuCaption : public tb::IActionSource, public tb::TObserver {
public:
    MenuCaption(tb::IActionSource* action, std::string caption) : action_(action), caption_(std::move(caption)) {
        Watch(action_);
    }
    ~MenuCaption() override { NotifyObserversFreed(); }

    tb::TActionValues Values() const override {
        tb::TActionValues v = action_ ? action_->Values() : tb::TActionValues{};
        v.caption = caption_;
        return v;
    }
    void Update() override {
        if (action_) action_->Update();
    }
    bool Execute(tb::TComponent* component) override { return action_ && action_->Execute(component); }
    bool DoHint(std::string& hint) override { return !action_ || action_->DoHint(hint); }
    void NotifierChanged(tb::TNotifier*) override { Changed(); }
    void NotifierFreed(tb::TNotifier*) override { action_ = nullptr; }

private:
    tb::IActionSource* action_;
    std::string caption_;
};

TMainBars::TMainBars(ActionOf action, tb::TTBMRUList& recentFolders, tb::TTBMRUList& recentFiles)
    : action_(std::move(action)),
      images16K_(makeImages(true)),
      images256_(makeImages(false)),
      menu_(std::make_unique<tb::TTBRootItem>(nullptr)),
      main_(std::make_unique<tb::TTBRootItem>(nullptr)) {
    buildMenu(recentFolders, recentFiles);
    buildMain();
}

TMainBars::~TMainBars() {
    main_.reset();
    menu_.reset();
}

tb::TTBCustomItem* TMainBars::command(tb::TTBCustomItem& parent, A id, bool menuBar) {
    tb::IActionSource* source = tb::TQtActionSource::For(action_(id));
    if (const char* caption = ActionInfo(id).MenuCaption; menuBar && caption) {
        menuCaptions_.push_back(std::make_unique<MenuCaption>(source, caption));
        source = menuCaptions_.back().get();
    }
    auto* item = new tb::TTBItem(&parent);
    item->SetAction(source);
    parent.Add(item);
    return item;
}

namespace {

// The manual's section for F1 on the commands of a menu (none: the menu has no section).
int MenuHelpContext(A id) {
    switch (id) {
    case A::actFile: return kFileMenuHelpContext;
    case A::actEdit:
    case A::actEditCopyToClipboard: return kEditMenuHelpContext;
    case A::actView:
    case A::actViewView: return kViewMenuHelpContext;
    case A::actIcon:
    case A::actIconSave: return kIconMenuHelpContext;
    case A::actFavorites: return kFavoritesMenuHelpContext;
    case A::actHelp: return kHelpMenuHelpContext;
    default: return 0;
    }
}

}  // namespace

tb::TTBSubmenuItem* TMainBars::submenu(tb::TTBCustomItem& parent, A id) {
    auto* item = new tb::TTBSubmenuItem(&parent);
    item->SetAction(tb::TQtActionSource::For(action_(id)));
    item->SetName(std::string(ActionInfo(id).Name).replace(0, 3, "mnu"));
    item->SetHelpContext(MenuHelpContext(id));
    parent.Add(item);
    return item;
}

void TMainBars::commands(tb::TTBCustomItem& parent, std::initializer_list<A> ids, bool menuBar) {
    for (A id : ids) {
        if (id == kSeparator) parent.Add(new tb::TTBSeparatorItem(&parent));
        else command(parent, id, menuBar);
    }
}

void TMainBars::buildMenu(tb::TTBMRUList& recentFolders, tb::TTBMRUList& recentFiles) {
    tb::TTBRootItem& bar = *menu_;
    auto recent = [&](tb::TTBCustomItem& parent, A id, tb::TTBMRUList& list, const char* name) {
        tb::TTBSubmenuItem* holder = submenu(parent, id);
        auto* shown = new tb::TTBMRUListItem(holder);
        shown->SetName(name);
        shown->SetMRUList(&list);
        holder->Add(shown);
    };
    tb::TTBSubmenuItem& file = *submenu(bar, A::actFile);
    commands(file, {A::actFileSelectDir, A::actFileSelectFile, kSeparator}, true);
    recent(file, A::actFileRecentFolders, recentFolders, "mnuFileRecentFoldersList");
    recent(file, A::actFileRecentFiles, recentFiles, "mnuFileRecentFilesList");
    commands(file, {kSeparator, A::actFileExtractIcons, kSeparator, A::actFilePreferences, kSeparator, A::actFileExit},
             true);

    commands(*submenu(bar, A::actEdit),
             {A::actEditCopyToClipboard, kSeparator, A::actEditCopy48x48ToClipboard, A::actEditCopy32x32ToClipboard,
              A::actEditCopy16x16ToClipboard, kSeparator, A::actEditSelectAll, A::actEditInvert, kSeparator,
              A::actEditRename, A::actEditRemove, kSeparator, A::actEditFind, A::actEditFindNext},
             true);

    tb::TTBSubmenuItem& view = *submenu(bar, A::actView);
    commands(view, {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport, kSeparator}, true);
    commands(*submenu(view, A::actViewArrange), {A::actArrangeByName, A::actArrangeByFile}, true);
    commands(view, {kSeparator, A::actViewFilter, A::actViewRemoveFilter, kSeparator, A::actViewPreview,
                    A::actViewToolbar, A::actViewStatusBar},
             true);

    commands(*submenu(bar, A::actIcon),
             {A::actIconEditIcon, kSeparator, A::actIconSaveIcons, kSeparator, A::actIconSaveBitmaps, kSeparator,
              A::actIconSaveImages, kSeparator, A::actIconAddToNewICL, A::actIconAddToExistingICL, kSeparator,
              A::actIconSendTo, kSeparator, A::actIconFileProperties},
             true);
    favorites_ = submenu(bar, A::actFavorites);
    commands(*favorites_, {A::actFavoritesAdd, A::actFavoritesOrganize}, true);
    commands(*submenu(bar, A::actHelp), {A::actHelpContents, A::actHelpTipOfTheDay, kSeparator, A::actHelpOnTheWeb,
                                         A::actHelpSendEmail, kSeparator, A::actHelpAbout},
             true);
}

void TMainBars::buildMain() {
    tb::TTBRootItem& bar = *main_;
    commands(bar, {A::actFileSelectDir, A::actFileSelectFile, kSeparator, A::actFileExtractIcons, kSeparator,
                   A::actIconEditIcon, kSeparator, A::actIconFileProperties, kSeparator});
    // Copy: the button copies, its arrow offers the sized copies.
    tb::TTBSubmenuItem& copy = *submenu(bar, A::actEditCopyToClipboard);
    copy.SetDropdownCombo(true);
    commands(copy, {A::actEditCopy48x48ToClipboard, A::actEditCopy32x32ToClipboard, A::actEditCopy16x16ToClipboard});
    commands(bar, {kSeparator, A::actEditFind, kSeparator, A::actIconSaveIcons, A::actIconSaveBitmaps,
                   A::actIconSaveImages, kSeparator, A::actIconSendTo, kSeparator});
    // View: the whole button drops the four styles down.
    tb::TTBSubmenuItem& view = *submenu(bar, A::actViewView);
    view.SetOptions(view.Options() | tb::tboDropdownArrow);
    commands(view, {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport});
    commands(bar, {kSeparator, A::actViewFilter, kSeparator, A::actHelpContents});
}

void TMainBars::FillPopup(tb::TTBCustomItem& root) {
    commands(root, {A::actFileSelectDir, A::actFileSelectFile, kSeparator, A::actFileExtractIcons, kSeparator,
                    A::actEditCopyToClipboard, kSeparator, A::actIconEditIcon, kSeparator});
    commands(*submenu(root, A::actIconSave),
             {A::actIconSaveIcons, A::actIconSave48x48Icons, A::actIconSave32x32Icons, A::actIconSave16x16Icons,
              kSeparator, A::actIconSaveBitmaps, A::actIconSave48x48Bitmaps, A::actIconSave32x32Bitmaps,
              A::actIconSave16x16Bitmaps, kSeparator, A::actIconSaveImages, A::actIconSave48x48Images,
              A::actIconSave32x32Images, A::actIconSave16x16Images});
    commands(root, {kSeparator, A::actIconAddToNewICL, A::actIconAddToExistingICL, kSeparator, A::actIconSendTo,
                    kSeparator});
    commands(*submenu(root, A::actViewView), {A::actViewLargeIcon, A::actViewSmallIcon, A::actViewList, A::actViewReport});
    commands(root, {kSeparator, A::actViewFilter, A::actViewRemoveFilter, kSeparator, A::actEditSelectAll,
                    A::actEditInvert, kSeparator, A::actEditRename, A::actEditRemove});
}

}  // namespace gs
