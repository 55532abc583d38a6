#pragma once
// The four favourites dialogs: Add to Favorites, the folder-name prompt, Organize
// Favorites and Favorite Properties. They change the program's favourites tree through
// the core's checked edits and set the favourites-changed flag; refusals are EQBExceptions
// shown by the main window's handler while the dialog stays open. Each opening routine is
// reached through IFavoritesDialogs, so windows can be tested with scripted answers.
#include <QDialog>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace gs {

class IComboEditDialogs;
class IMainServices;
class TAppContext;
class TFilenameEdit;
class TAppExceptionHandler;
class TFavoritesFolder;
struct TFavorite;

inline constexpr const char* kMsgTargetNotFound = "Target '%s' not found.";
inline constexpr int kFavoritesNameLength = 100;

class IFavoritesDialogs {
public:
    virtual ~IFavoritesDialogs() = default;
    // True when a favourite was added.
    virtual bool AddToFavorites(QWidget* owner, bool isFolder, const std::string& path) = 0;
    virtual void ShowOrganizeDlg(QWidget* owner) = 0;
    // The new folder's name, empty when cancelled.
    virtual std::string GetFolderName(QWidget* owner, TFavoritesFolder& parent) = 0;
    // True when the favourite's target was changed.
    virtual bool ShowFavPropsDlg(QWidget* owner, TFavorite& favorite) = 0;
};

// The modal dialogs over the program's state and desktop.
class TFavoritesDialogs : public IFavoritesDialogs {
public:
    TFavoritesDialogs(TAppContext& context, IMainServices& services, TAppExceptionHandler& handler, bool highColour = true)
        : Context(context), Services(services), Handler(handler), HighColour(highColour) {}

    bool AddToFavorites(QWidget* owner, bool isFolder, const std::string& path) override;
    void ShowOrganizeDlg(QWidget* owner) override;
    std::string GetFolderName(QWidget* owner, TFavoritesFolder& parent) override;
    bool ShowFavPropsDlg(QWidget* owner, TFavorite& favorite) override;

    TAppContext& Context;
    IMainServices& Services;
    TAppExceptionHandler& Handler;
    bool HighColour;
    // The dialogs' own nested prompts go through this (tests script them).
    IFavoritesDialogs* Prompts = this;
};

// What all four share: Esc closes, F1 opens the help, centred on the owner, and every
// action runs through the main window's handler.
class TFavoritesDlgBase : public QDialog {
    Q_OBJECT
public:
    TFavoritesDlgBase(QWidget* owner, TFavoritesDialogs& env, const char* name, const char* caption, QSize client);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void guard(const std::function<void()>& body);
    void changed();
    // The dialog's picture, in the colours the screen can show.
    QLabel* picture(int which);

    TFavoritesDialogs& env_;
};

// Drops the keys a name may not hold as they are typed (the name fields of Add and of the
// folder prompt).
class TNameKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// Tree nodes carry their folder or favourite.
TFavoritesFolder* NodeFolder(const QTreeWidgetItem* node);
TFavorite* NodeFavorite(const QTreeWidgetItem* node);
// The root and its folders (below each folder its sub-folders, then, with `favorites`,
// its favourites), the root selected and expanded one level.
void FillFolderTree(QTreeWidget* tree, TFavoritesFolder& root, bool highColour);
void FillFavoritesTree(QTreeWidget* tree, TFavoritesFolder& root, bool highColour);
QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, TFavoritesFolder& folder, bool highColour);

class TFolderNameDlg : public TFavoritesDlgBase {
    Q_OBJECT
public:
    TFolderNameDlg(QWidget* owner, TFavoritesDialogs& env, TFavoritesFolder& parent);
    QLineEdit* Name() const { return txtFolderName; }
    void OKClick();

private:
    TFavoritesFolder& parent_;
    QLineEdit* txtFolderName;
    QPushButton* cmdOK;
};

class TAddFavoritesDlg : public TFavoritesDlgBase {
    Q_OBJECT
public:
    TAddFavoritesDlg(QWidget* owner, TFavoritesDialogs& env, bool isFolder, const std::string& path);
    QLineEdit* Name() const { return txtName; }
    QTreeWidget* Tree() const { return tvFavorites; }
    void actOKExecute();
    void actNewFolderExecute();
    void cmdCreateInClick();

private:
    void updateActions();

    std::string target_;
    QLabel* lblDescription;
    QLineEdit* txtName;
    QLabel* lblCreateIn;
    QTreeWidget* tvFavorites;
    QPushButton* cmdCreateIn;
    QPushButton* cmdOK;
    QPushButton* cmdNewFolder;
};

class TOrganizeDlg;

// The organise tree: in-place renaming and moving by drag and drop.
class TFavoritesTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TFavoritesTree(TOrganizeDlg& dlg);

protected:
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    TOrganizeDlg& dlg_;
};

class TOrganizeDlg : public TFavoritesDlgBase {
    Q_OBJECT
public:
    TOrganizeDlg(QWidget* owner, TFavoritesDialogs& env);
    QTreeWidget* Tree() const { return tvFavorites; }
    void actCreateFolderExecute();
    void actRenameExecute();
    void actDeleteExecute();
    void actPropertiesExecute();
    // Whether `dragged` may be dropped on `target`, and the drop itself.
    bool CanDropOn(const QTreeWidgetItem* dragged, const QTreeWidgetItem* target) const;
    void DropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target);
    // The end of an in-place edit of `node` with `text`.
    void NodeEdited(QTreeWidgetItem* node);
    void updateActions();

private:
    void select(QTreeWidgetItem* node);
    void setNodeText(QTreeWidgetItem* node, const std::string& text);

    bool settingText_ = false;
    TFavoritesTree* tvFavorites;
    QPushButton* cmdClose;
    QPushButton* cmdCreateFolder;
    QPushButton* cmdRename;
    QPushButton* cmdDelete;
    QPushButton* cmdProperties;
};

class TFavPropsDlg : public TFavoritesDlgBase {
    Q_OBJECT
public:
    TFavPropsDlg(QWidget* owner, TFavoritesDialogs& env, TFavorite& favorite);
    ~TFavPropsDlg() override;
    TFilenameEdit* Target() const { return txtTarget; }
    void OKClick();
    // The target's button: the file dialog of the program's services.
    void BrowseClick();

private:
    TFavorite& favorite_;
    std::unique_ptr<IComboEditDialogs> targetDialogs_;
    QLineEdit* txtName;
    TFilenameEdit* txtTarget;
    QPushButton* cmdOK;
};

}  // namespace gs
