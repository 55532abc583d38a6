// The icon list's side of the list commands: in-place editing of captions, removal of one
// definition's entry, rows in view order for the search, selection helpers and the report's
// column widths.
#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>
#include <algorithm>

#include "app/ui/IconListView.h"

namespace gs {

Qt::ItemFlags TIconListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == 0) f |= Qt::ItemIsEditable;
    return f;
}

bool TIconListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != 0 || std::size_t(index.row()) >= rows_.size())
        return false;
    QString text = value.toString();
    TIconDef* def = rows_[std::size_t(index.row())].def;
    editing_ = def;
    const bool edited = OnEdited && OnEdited(def, text);
    editing_ = nullptr;
    if (!edited) return false;
    emit dataChanged(index, index.siblingAtColumn(1));
    return true;
}

bool TIconListModel::RemoveDef(const TIconDef* def) {
    pixmaps_.Forget(def);
    for (auto it = pending_.begin(); it != pending_.end(); ++it)
        if (it->def == def) {
            pending_.erase(it);
            return true;
        }
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].def == def) {
            beginRemoveRows({}, int(i), int(i));
            rows_.erase(rows_.begin() + std::ptrdiff_t(i));
            endRemoveRows();
            return true;
        }
    return false;
}

int TIconListView::RowCount() const {
    model_->Flush();
    return proxy_->rowCount();
}

TIconDef* TIconListView::DefAt(int row) const {
    return static_cast<TIconDef*>(proxy_->index(row, 0).data(TIconListModel::kDefRole).value<void*>());
}

void TIconListView::SelectRow(int row) {
    const QModelIndex index = proxy_->index(row, 0);
    if (!index.isValid()) return;
    selection_->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection_->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    CurrentView()->scrollTo(index, QAbstractItemView::EnsureVisible);
}

std::vector<TIconDef*> TIconListView::SelectedInOrder() const {
    // From the selection, not a walk over every row: a selection of a few in a long listing
    // costs what it holds.
    std::vector<int> rows;
    for (const QModelIndex& i : selection_->selectedIndexes())
        if (i.column() == 0) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<TIconDef*> defs;
    defs.reserve(rows.size());
    for (int row : rows) defs.push_back(DefAt(row));
    return defs;
}

void TIconListView::InvertSelection() {
    if (proxy_->rowCount() == 0) return;
    selection_->select(QItemSelection(proxy_->index(0, 0), proxy_->index(proxy_->rowCount() - 1, 1)),
                       QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
}

void TIconListView::EditSelected() {
    for (int row = 0; row < proxy_->rowCount(); ++row)
        if (selection_->isRowSelected(row, {})) {
            const QModelIndex index = proxy_->index(row, 0);
            selection_->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            CurrentView()->setFocus();
            CurrentView()->edit(index);
            return;
        }
}

QLineEdit* TIconListView::Editor() const {
    // An open editor is a visible line edit on the view; a closed one is hidden or gone.
    for (QLineEdit* editor : CurrentView()->viewport()->findChildren<QLineEdit*>())
        if (!editor->isHidden()) return editor;
    return nullptr;
}

int TIconListView::ColumnWidth(int column) const { return reportView_->columnWidth(column); }

void TIconListView::SetColumnWidth(int column, int width) {
    if (width > 0) reportView_->setColumnWidth(column, width);
}

}  // namespace gs
