#include "app/ui/FavoritesDlgs.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

#include "app/core/AppContext.h"
#include "app/core/HelpContexts.h"
#include "app/core/Favorites.h"
#include "app/ui/ExceptionGuard.h"
#include "app/ui/FavoritesImages.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "controls/ui/ComboEdits.h"
#include "framework/ui/DialogFrame.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/QtBridge.h"

namespace gs {

namespace {

constexpr int kFolderRole = Qt::UserRole;
constexpr int kFavoriteRole = Qt::UserRole + 1;
constexpr int kAddTreeShownHeight = 255;
constexpr int kAddTreeHiddenHeight = kAddTreeShownHeight - (282 - 145);
constexpr int kPictureSize = 32;

// A file-name edit's dialogs as the program's desktop services open them.
class TServicesComboDialogs final : public IComboEditDialogs {
public:
    explicit TServicesComboDialogs(IMainServices& services) : services_(services) {}
    std::optional<QStringList> ChooseFiles(QWidget* owner, const TFileDialogRequest& r) override {
        const TOpenDialogSpec spec{r.Title.toStdString(), r.DefaultExt.toStdString(), r.Filter.toStdString(),
                                   r.InitialDir.toStdString(), r.HelpContext};
        const std::optional<std::string> file = services_.OpenFileName(owner, spec);
        if (!file) return std::nullopt;
        return QStringList{QString::fromStdString(*file)};
    }
    std::optional<QString> ChooseFolder(QWidget* owner, const TFolderDialogRequest& r) override {
        const std::optional<std::string> folder =
            services_.BrowseForFolder(owner, r.Text.toStdString(), r.Start.toStdString(), r.HelpContext);
        if (!folder) return std::nullopt;
        return QString::fromStdString(*folder);
    }

private:
    IMainServices& services_;
};

// The picture beside a dialog's fields.
QHBoxLayout* besidePicture(QLabel* picture, QLayout* fields) {
    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addLayout(fields, 1);
    return row;
}

std::string ss(const QString& s) { return s.toStdString(); }

// A picture for a node and another while it is selected.
QIcon nodeIcon(TFavoritesPicture normal, TFavoritesPicture selected, bool hi) {
    QIcon icon;
    icon.addPixmap(FavoritesPicture(normal, hi).pixmap(16), QIcon::Normal);
    icon.addPixmap(FavoritesPicture(selected, hi).pixmap(16), QIcon::Selected);
    return icon;
}

QTreeWidgetItem* newNode(const std::string& text, TFavoritesFolder* folder, TFavorite* favorite, const QIcon& icon) {
    auto* node = new QTreeWidgetItem(QStringList(qs(text)));
    node->setData(0, kFolderRole, QVariant::fromValue(quintptr(folder)));
    node->setData(0, kFavoriteRole, QVariant::fromValue(quintptr(favorite)));
    node->setIcon(0, icon);
    return node;
}

void fillTree(QTreeWidget* tree, TFavoritesFolder& root, bool withFavorites, bool hi) {
    tree->setUpdatesEnabled(false);
    tree->clear();
    std::vector<QTreeWidgetItem*> levels;
    const QIcon favoriteIcon = FavoritesPicture(TFavoritesPicture::Favorite, hi);
    WalkFavorites(root, withFavorites, [&](const TFavoritesNode& n) {
        QTreeWidgetItem* node = nullptr;
        if (n.NodeKind == TFavoritesNode::nkRoot) {
            node = newNode(kFavoritesRootName, n.Folder, nullptr, FavoritesPicture(TFavoritesPicture::Root, hi));
            node->setFlags(node->flags() & ~Qt::ItemIsEditable & ~Qt::ItemIsDragEnabled);
            tree->addTopLevelItem(node);
        } else {
            node = n.NodeKind == TFavoritesNode::nkFolder
                       ? newNode(n.Folder->Name, n.Folder, nullptr,
                                 nodeIcon(TFavoritesPicture::Folder, TFavoritesPicture::OpenFolder, hi))
                       : newNode(n.Item->Name, nullptr, n.Item, favoriteIcon);
            levels[std::size_t(n.Depth - 1)]->addChild(node);
        }
        levels.resize(std::size_t(n.Depth));
        levels.push_back(node);
    });
    tree->setUpdatesEnabled(true);
    QTreeWidgetItem* top = tree->topLevelItem(0);
    tree->setCurrentItem(top);
    tree->setFocus();
    top->setExpanded(true);
    tree->scrollToItem(top);
}

QLineEdit* nameEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(kFavoritesNameLength);
    edit->installEventFilter(new TNameKeyFilter(edit));
    return edit;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    return b;
}

QLabel* label(QWidget* parent, const char* caption, QWidget* buddy = nullptr) {
    auto* l = new QLabel(caption, parent);
    if (buddy) l->setBuddy(buddy);
    return l;
}

}  // namespace

bool TNameKeyFilter::eventFilter(QObject*, QEvent* e) {
    if (e->type() != QEvent::KeyPress) return false;
    const QString text = static_cast<QKeyEvent*>(e)->text();
    if (text.size() != 1 || !text[0].isPrint()) return false;  // editing keys pass
    return text[0].unicode() > 0x7F || FilterNameChar(char(text[0].unicode())) == 0;
}

TFavoritesFolder* NodeFolder(const QTreeWidgetItem* node) {
    return node ? reinterpret_cast<TFavoritesFolder*>(node->data(0, kFolderRole).value<quintptr>()) : nullptr;
}

TFavorite* NodeFavorite(const QTreeWidgetItem* node) {
    return node ? reinterpret_cast<TFavorite*>(node->data(0, kFavoriteRole).value<quintptr>()) : nullptr;
}

void FillFolderTree(QTreeWidget* tree, TFavoritesFolder& root, bool hi) { fillTree(tree, root, false, hi); }

void FillFavoritesTree(QTreeWidget* tree, TFavoritesFolder& root, bool hi) { fillTree(tree, root, true, hi); }

QTreeWidgetItem* AddFolderNode(QTreeWidgetItem* parent, TFavoritesFolder& folder, bool hi) {
    QTreeWidgetItem* node =
        newNode(folder.Name, &folder, nullptr, nodeIcon(TFavoritesPicture::Folder, TFavoritesPicture::OpenFolder, hi));
    parent->addChild(node);
    return node;
}

// ---- the opening routines

bool TFavoritesDialogs::AddToFavorites(QWidget* owner, bool isFolder, const std::string& path) {
    TAddFavoritesDlg dlg(owner, *this, isFolder, path);
    return dlg.exec() == QDialog::Accepted;
}

void TFavoritesDialogs::ShowOrganizeDlg(QWidget* owner) {
    TOrganizeDlg dlg(owner, *this);
    dlg.exec();
}

std::string TFavoritesDialogs::GetFolderName(QWidget* owner, TFavoritesFolder& parent) {
    TFolderNameDlg dlg(owner, *this, parent);
    return dlg.exec() == QDialog::Accepted ? ss(dlg.Name()->text()) : std::string();
}

bool TFavoritesDialogs::ShowFavPropsDlg(QWidget* owner, TFavorite& favorite) {
    TFavPropsDlg dlg(owner, *this, favorite);
    return dlg.exec() == QDialog::Accepted;
}

// ---- the common part

TFavoritesDlgBase::TFavoritesDlgBase(QWidget* owner, TFavoritesDialogs& env, const char* name, const char* caption,
                                     QSize client)
    : QDialog(owner, kDialogWindowFlags), env_(env) {
    setObjectName(name);
    setWindowTitle(caption);
    resize(client);
}

void TFavoritesDlgBase::guard(const std::function<void()>& body) { env_.Handler.Guard(body); }

void TFavoritesDlgBase::changed() { env_.Context.FavoritesModified = true; }

QLabel* TFavoritesDlgBase::picture(int which) {
    auto* l = new QLabel(this);
    l->setObjectName("imgPicture");
    l->setPixmap(FavoritesPicture(TFavoritesPicture(which), env_.HighColour).pixmap(kPictureSize));
    l->setAlignment(Qt::AlignTop);
    return l;
}

void TFavoritesDlgBase::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        guard([this] { ShowHelp(env_.Services, application(), kFavoritesHelpContext); });
        return;
    }
    QDialog::keyPressEvent(e);  // Esc rejects
}

void TFavoritesDlgBase::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (QWidget* owner = parentWidget()) move(owner->geometry().center() - rect().center());
}

// ---- folder name

TFolderNameDlg::TFolderNameDlg(QWidget* owner, TFavoritesDialogs& env, TFavoritesFolder& parent)
    : TFavoritesDlgBase(owner, env, "FolderNameDlg", "Select Folder Name...", {372, 116}), parent_(parent) {
    txtFolderName = nameEdit(this, "txtFolderName");
    cmdOK = button(this, "cmdOK", "&OK");
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);
    QPushButton* cancel = button(this, "cmdCancel", "&Cancel");
    auto* fields = new QVBoxLayout;
    fields->addWidget(label(this, "Please select the new folder name..."));
    fields->addWidget(label(this, "&Folder name:", txtFolderName));
    fields->addWidget(txtFolderName);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(besidePicture(picture(int(TFavoritesPicture::Folder)), fields));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(txtFolderName, &QLineEdit::textChanged, this, [this](const QString& t) { cmdOK->setEnabled(!t.isEmpty()); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TFolderNameDlg::OKClick() {
    guard([this] {
        if (txtFolderName->text().isEmpty()) return;
        CheckNewFolderName(parent_, ss(txtFolderName->text()));
        accept();
    });
}

// ---- add to favorites

TAddFavoritesDlg::TAddFavoritesDlg(QWidget* owner, TFavoritesDialogs& env, bool isFolder, const std::string& path)
    : TFavoritesDlgBase(owner, env, "AddFavoritesDlg", "Add to Favorites...", {391, kAddTreeShownHeight}),
      target_(path) {
    lblDescription = label(this, isFolder ? "This folder will be added to your Favorites list."
                                          : "This file will be added to your Favorites list.");
    lblDescription->setObjectName("lblDescription");
    txtName = nameEdit(this, "txtName");
    std::string name = isFolder ? path : std::filesystem::path(path).stem().string();
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = char(name[0] - 'a' + 'A');
    txtName->setText(qs(name));
    tvFavorites = new QTreeWidget(this);
    tvFavorites->setObjectName("tvFavorites");
    tvFavorites->setHeaderHidden(true);
    tvFavorites->setRootIsDecorated(false);
    tvFavorites->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lblCreateIn = label(this, "Create &in:", tvFavorites);
    cmdCreateIn = button(this, "cmdCreateIn", "C&reate in <<");
    cmdOK = button(this, "cmdOK", "&OK");
    cmdOK->setDefault(true);
    cmdNewFolder = button(this, "cmdNewFolder", "New &Folder");
    QPushButton* cancel = button(this, "cmdCancel", "&Cancel");

    auto* fields = new QVBoxLayout;
    fields->addWidget(lblDescription);
    fields->addWidget(label(this, "&Name:", txtName));
    fields->addWidget(txtName);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(besidePicture(picture(int(TFavoritesPicture::Root)), fields));
    layout->addWidget(lblCreateIn);
    layout->addWidget(tvFavorites, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdCreateIn);
    buttons->addWidget(cmdNewFolder);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    FillFolderTree(tvFavorites, env.Context.Favorites, env.HighColour);
    connect(txtName, &QLineEdit::textChanged, this, [this] { updateActions(); });
    connect(tvFavorites, &QTreeWidget::currentItemChanged, this, [this] { updateActions(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { actOKExecute(); });
    connect(cmdNewFolder, &QPushButton::clicked, this, [this] { actNewFolderExecute(); });
    connect(cmdCreateIn, &QPushButton::clicked, this, [this] { cmdCreateInClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    updateActions();
}

void TAddFavoritesDlg::updateActions() {
    const bool folder = NodeFolder(tvFavorites->currentItem()) != nullptr;
    cmdOK->setEnabled(folder && !txtName->text().isEmpty());
    cmdNewFolder->setEnabled(folder);
}

void TAddFavoritesDlg::actOKExecute() {
    guard([this] {
        updateActions();
        if (!cmdOK->isEnabled()) return;
        AddFavorite(*NodeFolder(tvFavorites->currentItem()), ss(txtName->text()), target_);
        changed();
        accept();
    });
}

void TAddFavoritesDlg::actNewFolderExecute() {
    guard([this] {
        QTreeWidgetItem* selected = tvFavorites->currentItem();
        TFavoritesFolder* parent = NodeFolder(selected);
        if (!parent) return;
        CheckFolderNesting(env_.Context.Favorites, *parent);
        const std::string name = env_.Prompts->GetFolderName(this, *parent);
        if (name.empty()) return;
        TFavoritesFolder& folder = AddFolder(*parent, name);
        changed();
        QTreeWidgetItem* node = AddFolderNode(selected, folder, env_.HighColour);
        selected->setExpanded(true);
        tvFavorites->setCurrentItem(node);
        tvFavorites->setFocus();
        tvFavorites->scrollToItem(node);
    });
}

void TAddFavoritesDlg::cmdCreateInClick() {
    const bool show = tvFavorites->isHidden();
    tvFavorites->setVisible(show);
    lblCreateIn->setVisible(show);
    cmdCreateIn->setText(show ? "C&reate in <<" : "C&reate in >>");
    resize(width(), show ? kAddTreeShownHeight : kAddTreeHiddenHeight);
    if (show) tvFavorites->setFocus();
    else txtName->setFocus();
}

// ---- favorite properties

TFavPropsDlg::TFavPropsDlg(QWidget* owner, TFavoritesDialogs& env, TFavorite& favorite)
    : TFavoritesDlgBase(owner, env, "FavPropsDlg", "Favorite Properties", {347, 139}),
      favorite_(favorite),
      targetDialogs_(std::make_unique<TServicesComboDialogs>(env.Services)) {
    txtName = new QLineEdit(qs(favorite.Name), this);
    txtName->setObjectName("txtName");
    txtName->setReadOnly(true);
    txtTarget = new TFilenameEdit(this);
    txtTarget->setObjectName("txtTarget");
    txtTarget->ShowFileName(qs(favorite.Target));
    txtTarget->SetDialogs(*targetDialogs_);
    txtTarget->SetAcceptFiles(true);
    txtTarget->Dialog.Title = "Select target...";
    txtTarget->Dialog.Filter = QString::fromUtf8(kSelectFileFilter);
    txtTarget->SetDialogOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist);
    txtTarget->HelpContext = kFavoritesHelpContext;
    cmdOK = button(this, "cmdOK", "&OK");
    cmdOK->setDefault(true);
    QPushButton* cancel = button(this, "cmdCancel", "&Cancel");
    auto* fields = new QVBoxLayout;
    fields->addWidget(label(this, "&Name:", txtName));
    fields->addWidget(txtName);
    fields->addWidget(label(this, "&Target:", txtTarget));
    fields->addWidget(txtTarget);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(besidePicture(picture(int(TFavoritesPicture::Favorite)), fields));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    cmdOK->setEnabled(!txtTarget->text().isEmpty());
    connect(txtTarget, &QLineEdit::textChanged, this, [this](const QString& t) { cmdOK->setEnabled(!t.isEmpty()); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { OKClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TFavPropsDlg::~TFavPropsDlg() = default;

void TFavPropsDlg::BrowseClick() {
    guard([this] { txtTarget->ButtonClicked(); });
}

void TFavPropsDlg::OKClick() {
    guard([this] {
        if (txtTarget->text().isEmpty()) return;
        // A folder is a target too, blanks and all; anything else is read as a file name.
        const std::string text = ss(txtTarget->text());
        const std::string target = SafeDirectoryExists(text) ? text : ss(txtTarget->FileName());
        if (!SafeDirectoryExists(target) && !SafeFileExists(target))
            throw EQBException(FormatOne(kMsgTargetNotFound, target), "", TQBSeverity::Warning);
        favorite_.Target = target;
        accept();
    });
}

}  // namespace gs
