#pragma once
// The icon list of the main window: one item model over the listed definitions (caption and
// original file; the large or small picture), one sort proxy, one selection model, shown by
// a list view for the icon styles and a tree view for the report style. Rows come in
// batches: Append queues an entry, and the queue goes into the model on a short timer (or
// at Flush), so a fast listing never costs one layout per icon. An entry's picture becomes
// a pixmap only when a view asks for it, and only the most recent few thousand are kept:
// the definitions hold their pictures compact, and a listing of a system folder would
// otherwise hold two pixmaps for each of tens of thousands of entries.
#include <QAbstractTableModel>
#include <QCache>
#include <QIcon>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/core/IconListing.h"
#include "app/core/MainActions.h"

class QAbstractItemView;
class QLineEdit;
class QListView;
class QTreeView;
class QItemSelectionModel;

namespace gs {

// The icons of the entries' pictures, made on first use and kept for the entries shown
// last. Keys are the definitions: Forget one that goes, Clear when the listing goes.
class TListPixmaps {
public:
    static constexpr int kKept = 4096;  // per size: several screens of the smallest style

    TListPixmaps();
    const QIcon& Large(const TIconDef& def) const;
    const QIcon& Small(const TIconDef& def) const;
    void Forget(const TIconDef* def);
    void Clear();
    // The pixmaps held now.
    int Count() const { return int(large_.size() + small_.size()); }

private:
    mutable QCache<const TIconDef*, QIcon> large_, small_;
};

// The listing's entries as the views see them: the model follows the core listing it
// observes, and never changes what is listed itself.
class TIconListModel : public QAbstractTableModel, public IListingObserver {
    Q_OBJECT
public:
    static constexpr int kDefRole = Qt::UserRole + 1;

    explicit TIconListModel(TListPixmaps& pixmaps, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;

    // Queues an entry for the definition (not owned).
    void Append(TIconDef* def);
    void Append(const std::vector<TIconDef*>& defs);
    // Moves the queued entries into the model at once.
    void Flush();
    void Clear();
    int Count() const { return int(rows_.size() + pending_.size()); }
    void SetLargePictures(bool large);
    TIconDef* Def(int row) const { return rows_[std::size_t(row)].def; }

    // Captions are edited in place: the window's handler decides, and may change the text.
    std::function<bool(TIconDef* def, QString& text)> OnEdited;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Drops the entry of this very definition (listed or queued); false when it has none.
    bool RemoveDef(const TIconDef* def);

    // What the observed listing tells.
    void Reset(const std::vector<TIconDef*>& shown) override;
    void RowsInserted(const std::vector<TIconDef*>& defs) override { Append(defs); }
    void RowRemoved(const TIconDef* def) override { RemoveDef(def); }
    void RowChanged(const TIconDef* def) override;

signals:
    void Flushed();

private:
    struct Row {
        TIconDef* def;
    };
    TListPixmaps& pixmaps_;
    std::vector<Row> rows_;
    std::vector<Row> pending_;
    QTimer flushTimer_;
    bool largePictures_ = true;
    QString headers_[2];
    const TIconDef* editing_ = nullptr;  // the caption setData is handing to OnEdited
};

// Sorts by caption (column 0) or original file (column 1) with the locale's comparison.
class TIconSortProxy : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

class TIconListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit TIconListView(QWidget* parent = nullptr);

    TIconListModel& Model() { return *model_; }
    TListPixmaps& Pixmaps() { return pixmaps_; }
    QItemSelectionModel& Selection() { return *selection_; }
    QListView* IconView() const { return iconView_; }
    QTreeView* ReportView() const { return reportView_; }
    QAbstractItemView* CurrentView() const;

    TViewStyle ViewStyle() const { return style_; }
    void SetViewStyle(TViewStyle style);
    void Sort(int column, bool ascending);
    void SetColumnCaptions(const QString& first, const QString& second);

    int ItemCount() const { return model_->Count(); }
    int SelectedCount() const;
    // The definition of the first selected entry (in view order), or none.
    TIconDef* FirstSelected() const;
    void SelectAll();
    void Clear();
    void SetListFont(const QFont& font);
    void SetColours(const QColor& background, const QColor& text);

    // The list commands (IconListEdit.cpp). Rows count in view order.
    int RowCount() const;
    TIconDef* DefAt(int row) const;
    // Adds the row to the selection, makes it current and scrolls it fully into view.
    void SelectRow(int row);
    // The selected definitions in the order the list shows them: what every command on
    // "the selected icons" walks.
    std::vector<TIconDef*> SelectedInOrder() const;
    void InvertSelection();
    // Opens the caption editor on the first selected entry.
    void EditSelected();
    // The caption editor while it is open, else none.
    QLineEdit* Editor() const;
    // Widths of the report's two columns.
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

signals:
    void SelectionChanged();
    void ColumnClicked(int column);

private:
    TListPixmaps pixmaps_;
    TIconListModel* model_;
    TIconSortProxy* proxy_;
    QItemSelectionModel* selection_;
    QListView* iconView_;
    QTreeView* reportView_;
    TViewStyle style_ = TViewStyle::vsIcon;
};

}  // namespace gs
