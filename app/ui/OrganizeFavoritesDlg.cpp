// Organize Favorites: the whole tree, with new folders, in-place renaming, deleting, the
// favourite's properties, and moving by drag and drop; every change goes through the
// core's checked edits and sets the favourites-changed flag.
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/core/AppContext.h"
#include "app/core/Favorites.h"
#include "app/ui/FavoritesDlgs.h"

namespace gs {

TFavoritesTree::TFavoritesTree(TOrganizeDlg& dlg) : QTreeWidget(&dlg), dlg_(dlg) {
    setObjectName("tvFavorites");
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragDropMode(QAbstractItemView::InternalMove);
}

void TFavoritesTree::dragMoveEvent(QDragMoveEvent* e) {
    if (e->source() == this && dlg_.CanDropOn(currentItem(), itemAt(e->position().toPoint()))) e->acceptProposedAction();
    else e->ignore();
}

void TFavoritesTree::dropEvent(QDropEvent* e) {
    QTreeWidgetItem* target = itemAt(e->position().toPoint());
    QTreeWidgetItem* dragged = currentItem();
    // The move is ours: the view must not move or remove the rows itself.
    e->setDropAction(Qt::IgnoreAction);
    e->accept();
    if (e->source() == this && dlg_.CanDropOn(dragged, target)) dlg_.DropOn(dragged, target);
}

TOrganizeDlg::TOrganizeDlg(QWidget* owner, TFavoritesDialogs& env)
    : TFavoritesDlgBase(owner, env, "OrganizeDlg", "Organize Favorites...", {383, 254}) {
    tvFavorites = new TFavoritesTree(*this);
    auto make = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        return b;
    };
    cmdClose = make("cmdClose", "&Close");
    cmdCreateFolder = make("cmdCreateFolder", "Create &Folder");
    cmdRename = make("cmdRename", "&Rename");
    cmdDelete = make("cmdDelete", "&Delete");
    cmdProperties = make("cmdProperties", "&Properties");
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(tvFavorites, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {cmdCreateFolder, cmdRename, cmdDelete, cmdProperties}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    FillFavoritesTree(tvFavorites, env.Context.Favorites, true);  // always the many-colour pictures
    connect(tvFavorites, &QTreeWidget::currentItemChanged, this, [this] { updateActions(); });
    connect(tvFavorites, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node) { NodeEdited(node); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCreateFolder, &QPushButton::clicked, this, [this] { actCreateFolderExecute(); });
    connect(cmdRename, &QPushButton::clicked, this, [this] { actRenameExecute(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { actDeleteExecute(); });
    connect(cmdProperties, &QPushButton::clicked, this, [this] { actPropertiesExecute(); });
    updateActions();
}

void TOrganizeDlg::updateActions() {
    QTreeWidgetItem* node = tvFavorites->currentItem();
    cmdCreateFolder->setEnabled(node != nullptr);
    cmdProperties->setEnabled(NodeFavorite(node) != nullptr);
    cmdRename->setEnabled(node && node->parent());
    cmdDelete->setEnabled(cmdRename->isEnabled());
}

void TOrganizeDlg::select(QTreeWidgetItem* node) {
    tvFavorites->setCurrentItem(node);
    tvFavorites->setFocus();
    tvFavorites->scrollToItem(node);
}

void TOrganizeDlg::setNodeText(QTreeWidgetItem* node, const std::string& text) {
    settingText_ = true;
    node->setText(0, QString::fromStdString(text));
    settingText_ = false;
}

void TOrganizeDlg::actCreateFolderExecute() {
    guard([this] {
        QTreeWidgetItem* node = tvFavorites->currentItem();
        if (!node) return;
        QTreeWidgetItem* parentNode = NodeFolder(node) ? node : node->parent();
        TFavoritesFolder& parent = *NodeFolder(parentNode);
        CheckFolderNesting(env_.Context.Favorites, parent);
        const std::string name = env_.Prompts->GetFolderName(this, parent);
        if (name.empty()) return;
        TFavoritesFolder& folder = AddFolder(parent, name);
        changed();
        QTreeWidgetItem* added = AddFolderNode(parentNode, folder, true);
        parentNode->setExpanded(true);
        select(added);
    });
}

void TOrganizeDlg::actRenameExecute() {
    QTreeWidgetItem* node = tvFavorites->currentItem();
    if (!node || !node->parent()) return;  // the root keeps its name
    tvFavorites->setFocus();
    tvFavorites->scrollToItem(node);
    node->setFlags(node->flags() | Qt::ItemIsEditable);
    tvFavorites->editItem(node, 0);
}

void TOrganizeDlg::NodeEdited(QTreeWidgetItem* node) {
    if (settingText_ || !node) return;
    TFavoritesFolder* parent = NodeFolder(node->parent());
    TFavoritesFolder* folder = NodeFolder(node);
    TFavorite* favorite = NodeFavorite(node);
    if (!parent) {
        setNodeText(node, kFavoritesRootName);
        return;
    }
    const std::string old = folder ? folder->Name : favorite->Name;
    const std::string text = node->text(0).left(kFavoritesNameLength).toStdString();
    if (text == old) return;
    // A refused name puts the old one back before the refusal is shown.
    setNodeText(node, old);
    guard([&] {
        if (folder ? RenameFolder(*parent, *folder, text) : RenameFavorite(*parent, *favorite, text)) {
            setNodeText(node, text);
            changed();
        }
    });
}

void TOrganizeDlg::actDeleteExecute() {
    guard([this] {
        QTreeWidgetItem* node = tvFavorites->currentItem();
        TFavoritesFolder* parent = NodeFolder(node ? node->parent() : nullptr);
        if (!parent) return;
        if (TFavoritesFolder* folder = NodeFolder(node)) parent->Folders.Remove(folder);
        else parent->Favorites.Remove(NodeFavorite(node));
        delete node;
        changed();
        updateActions();
    });
}

void TOrganizeDlg::actPropertiesExecute() {
    guard([this] {
        TFavorite* favorite = NodeFavorite(tvFavorites->currentItem());
        if (favorite && env_.Prompts->ShowFavPropsDlg(this, *favorite)) changed();
    });
}

bool TOrganizeDlg::CanDropOn(const QTreeWidgetItem* dragged, const QTreeWidgetItem* target) const {
    if (!dragged || !target || !dragged->parent() || dragged == target) return false;
    const TFavoritesFolder* from = NodeFolder(dragged->parent());
    const TFavoritesFolder* to = NodeFolder(target);
    if (!from || !to) return false;
    if (const TFavoritesFolder* folder = NodeFolder(dragged)) return CanMoveFolder(*from, *folder, *to);
    return CanMoveFavorite(*from, *to);
}

void TOrganizeDlg::DropOn(QTreeWidgetItem* dragged, QTreeWidgetItem* target) {
    guard([&] {
        if (!CanDropOn(dragged, target)) return;
        QTreeWidgetItem* fromNode = dragged->parent();
        TFavoritesFolder& from = *NodeFolder(fromNode);
        TFavoritesFolder& to = *NodeFolder(target);
        if (TFavoritesFolder* folder = NodeFolder(dragged)) {
            CheckFolderNesting(env_.Context.Favorites, to, folder);
            MoveFolder(from, *folder, to);
        }
        else MoveFavorite(from, *NodeFavorite(dragged), to);
        changed();
        fromNode->removeChild(dragged);
        target->addChild(dragged);
        select(dragged);
    });
}

}  // namespace gs
