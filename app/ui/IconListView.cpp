#include "app/ui/IconListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QIconEngine>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>

#include "app/core/IconDef.h"
#include "app/ui/ListPictureImage.h"

namespace gs {

namespace {

constexpr int kFlushIntervalMs = 40;  // rows appear in batches while a listing runs
constexpr int kLayoutBatch = 500;
constexpr int kColumnIconWidth = 150;
constexpr int kColumnFileWidth = 350;
constexpr int kLargePicture = 32;
constexpr int kSmallPicture = 16;
const QSize kLargeGrid(96, 72);
const QSize kSmallGrid(160, 20);

// Entries are selected by their first column in the list view and whole in the report.
QModelIndexList selectedEntries(const QItemSelectionModel& selection) {
    QModelIndexList entries;
    for (const QModelIndex& i : selection.selectedIndexes())
        if (i.column() == 0) entries.push_back(i);
    return entries;
}

// Small icons and list entries take one cell of the view's grid (so their equal sizes are
// not measured on one entry's text); large icons keep a margin above them in their cell.
// The margin is part of the entry's size, never painted beyond it: the view repaints an
// entry within its own rectangle only, so whatever a delegate draws outside it stays on the
// screen as a stale, offset highlight when the selection moves on.
class TIconCellDelegate : public QStyledItemDelegate {
public:
    explicit TIconCellDelegate(QListView* view) : QStyledItemDelegate(view), view_(view) {}
    static constexpr int kTopMargin = 6;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize grid = view_->gridSize();
        if (option.decorationPosition != QStyleOptionViewItem::Top)
            return grid.isValid() ? grid : QStyledItemDelegate::sizeHint(option, index);
        QSize hint = QStyledItemDelegate::sizeHint(option, index) + QSize(0, kTopMargin);
        return grid.isValid() ? hint.boundedTo(grid) : hint;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        if (option.decorationPosition != QStyleOptionViewItem::Top)
            return QStyledItemDelegate::paint(painter, option, index);
        QStyleOptionViewItem below(option);
        below.rect.setTop(option.rect.top() + std::min(kTopMargin, option.rect.height()));
        QStyledItemDelegate::paint(painter, below, index);
    }

private:
    QListView* view_;
};

// What the icon view is set to for an icon style.
struct TStyleLayout {
    QListView::ViewMode Mode;
    QListView::Flow Flow;
    bool Wrapping;
    int Picture;  // square picture size
    QSize Grid;
    bool WordWrap;
    bool UniformSizes;
};

const TStyleLayout& layoutOf(TViewStyle style) {
    // Every property the styles differ in is set for each one: a property set once for one
    // style would otherwise outlive a switch to another (the list view keeps what it was
    // told over its mode's defaults), so Large Icons after List would flow in List's columns.
    static const TStyleLayout large{QListView::IconMode, QListView::LeftToRight, true, kLargePicture, kLargeGrid,
                                    true, false};
    static const TStyleLayout small{QListView::ListMode, QListView::LeftToRight, true, kSmallPicture, kSmallGrid,
                                    false, true};
    static const TStyleLayout list{QListView::ListMode, QListView::TopToBottom, true, kSmallPicture, kSmallGrid,
                                   false, true};
    switch (style) {
        case TViewStyle::vsSmallIcon: return small;
        case TViewStyle::vsList: return list;
        default: return large;  // the report keeps the icon view as Large Icons behind it
    }
}

const QIcon& nullIcon() {
    static const QIcon none;
    return none;
}

// An entry's picture as the views draw it: at its own size, centred, without the copies and
// the pixmap cache entries a general icon makes on every paint. Selected and disabled
// entries are drawn in the style's own way, as any icon is.
class TListIconEngine final : public QIconEngine {
public:
    explicit TListIconEngine(QPixmap pixmap) : pixmap_(std::move(pixmap)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const QPixmap shown = pixmap(rect.size(), mode, state);
        painter->drawPixmap(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, shown.size(), rect), shown);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        return pixmap_.size().scaled(pixmap_.size().boundedTo(size), Qt::KeepAspectRatio);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap shown = pixmap_;
        const QSize fits = actualSize(size, mode, state);
        if (fits != pixmap_.size()) shown = pixmap_.scaled(fits, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (mode == QIcon::Normal || mode == QIcon::Active) return shown;
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        return QApplication::style()->generatedIconPixmap(mode, shown, &option);
    }
    QIconEngine* clone() const override { return new TListIconEngine(pixmap_); }
    bool isNull() override { return pixmap_.isNull(); }

private:
    QPixmap pixmap_;
};

// The cached icon of the picture, made now when it is not kept.
const QIcon& iconOf(QCache<const TIconDef*, QIcon>& cache, const TIconDef& def, const TListPicture& picture) {
    if (picture.Empty()) return nullIcon();
    if (const QIcon* kept = cache.object(&def)) return *kept;
    auto* made = new QIcon(new TListIconEngine(QPixmap::fromImage(ToPremultipliedQImage(picture))));
    if (!cache.insert(&def, made)) return nullIcon();
    return *made;
}

// A cursor key selects the entry it lands on even when the cursor was there already, as a
// list control does: after a listing the first entry has the focus but no selection, and
// Home or Up must select it. Qt's views select only when the cursor moves. A key held with
// Ctrl moves the focus alone, and Shift extends the selection: both stay Qt's.
template <class View>
class TCursorSelectingView : public View {
public:
    using View::View;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        View::keyPressEvent(event);
        if (!isCursorKey(event->key()) || event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)) return;
        const QModelIndex current = this->currentIndex();
        QItemSelectionModel* selection = this->selectionModel();
        if (current.isValid() && selection && !selection->isSelected(current))
            selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

private:
    static bool isCursorKey(int key) {
        for (int k : {Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_Down,
                      Qt::Key_Left, Qt::Key_Right})
            if (key == k) return true;
        return false;
    }
};

}  // namespace

TListPixmaps::TListPixmaps() {
    large_.setMaxCost(kKept);
    small_.setMaxCost(kKept);
}

const QIcon& TListPixmaps::Large(const TIconDef& def) const { return iconOf(large_, def, def.Icon32); }

const QIcon& TListPixmaps::Small(const TIconDef& def) const { return iconOf(small_, def, def.Icon16); }

void TListPixmaps::Forget(const TIconDef* def) {
    large_.remove(def);
    small_.remove(def);
}

void TListPixmaps::Clear() {
    large_.clear();
    small_.clear();
}

TIconListModel::TIconListModel(TListPixmaps& pixmaps, QObject* parent)
    : QAbstractTableModel(parent), pixmaps_(pixmaps), headers_{QStringLiteral("Icon"), QStringLiteral("Original File")} {
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(kFlushIntervalMs);
    connect(&flushTimer_, &QTimer::timeout, this, &TIconListModel::Flush);
}

int TIconListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int TIconListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant TIconListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || std::size_t(index.row()) >= rows_.size()) return {};
    const Row& row = rows_[std::size_t(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            if (index.column() == 0) return QString::fromStdString(row.def->Name);
            return QString::fromStdString(row.def->FileName.string());
        case Qt::DecorationRole:
            if (index.column() != 0) return {};
            return largePictures_ ? pixmaps_.Large(*row.def) : pixmaps_.Small(*row.def);
        case kDefRole:
            return QVariant::fromValue(static_cast<void*>(row.def));
        default:
            return {};
    }
}

QVariant TIconListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 2) return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool TIconListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 1) return false;
    headers_[section] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}

void TIconListModel::Append(TIconDef* def) {
    pending_.push_back({def});
    if (!flushTimer_.isActive()) flushTimer_.start();
}

void TIconListModel::Append(const std::vector<TIconDef*>& defs) {
    for (TIconDef* def : defs) pending_.push_back({def});
    if (!pending_.empty() && !flushTimer_.isActive()) flushTimer_.start();
}

void TIconListModel::Flush() {
    flushTimer_.stop();
    if (pending_.empty()) return;
    const int first = int(rows_.size());
    beginInsertRows({}, first, first + int(pending_.size()) - 1);
    rows_.insert(rows_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    endInsertRows();
    emit Flushed();
}

void TIconListModel::Clear() { Reset({}); }

void TIconListModel::Reset(const std::vector<TIconDef*>& shown) {
    flushTimer_.stop();
    beginResetModel();
    rows_.clear();
    for (TIconDef* def : shown) rows_.push_back({def});
    pending_.clear();
    pixmaps_.Clear();
    endResetModel();
    if (!rows_.empty()) emit Flushed();
}

void TIconListModel::RowChanged(const TIconDef* def) {
    if (def == editing_) return;  // setData tells the views itself
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].def == def) emit dataChanged(index(int(i), 0), index(int(i), 1));
}

void TIconListModel::SetLargePictures(bool large) {
    if (large == largePictures_) return;
    largePictures_ = large;
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, 0), {Qt::DecorationRole});
}

bool TIconSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    return QString::localeAwareCompare(left.data().toString(), right.data().toString()) < 0;
}

TIconListView::TIconListView(QWidget* parent)
    : QStackedWidget(parent),
      model_(new TIconListModel(pixmaps_, this)),
      proxy_(new TIconSortProxy(this)),
      iconView_(new TCursorSelectingView<QListView>(this)),
      reportView_(new TCursorSelectingView<QTreeView>(this)) {
    setObjectName("lvIcons");
    proxy_->setSourceModel(model_);
    proxy_->setDynamicSortFilter(true);
    selection_ = new QItemSelectionModel(proxy_, this);
    // A reset drops the selection with the rows, and says so.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, selection_, &QItemSelectionModel::clear);

    iconView_->setObjectName("lvIconsIcons");
    reportView_->setObjectName("lvIconsReport");
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(reportView_)}) {
        view->setModel(proxy_);
        view->setSelectionModel(selection_);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
    }
    iconView_->setItemDelegate(new TIconCellDelegate(iconView_));
    reportView_->setRootIsDecorated(false);
    reportView_->setUniformRowHeights(true);
    reportView_->setItemsExpandable(false);
    reportView_->setAllColumnsShowFocus(true);
    reportView_->setIconSize(QSize(kSmallPicture, kSmallPicture));
    reportView_->header()->setSectionsClickable(true);
    reportView_->header()->setSortIndicatorShown(false);
    reportView_->setColumnWidth(0, kColumnIconWidth);
    reportView_->setColumnWidth(1, kColumnFileWidth);
    addWidget(iconView_);
    addWidget(reportView_);
    connect(selection_, &QItemSelectionModel::selectionChanged, this, &TIconListView::SelectionChanged);
    connect(reportView_->header(), &QHeaderView::sectionClicked, this, &TIconListView::ColumnClicked);
    // Large Icons centre an entry in its cell only when they lay it out: a caption that changed
    // its width (a rename) would otherwise keep the old one's left edge until the next layout.
    connect(proxy_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (style_ == TViewStyle::vsIcon && (roles.isEmpty() || roles.contains(Qt::DisplayRole)))
                    iconView_->doItemsLayout();
            });
    style_ = TViewStyle::vsSmallIcon;  // so the first call below lays out
    SetViewStyle(TViewStyle::vsIcon);
    Sort(0, true);
}

QAbstractItemView* TIconListView::CurrentView() const {
    return style_ == TViewStyle::vsReport ? static_cast<QAbstractItemView*>(reportView_) : iconView_;
}

void TIconListView::SetViewStyle(TViewStyle style) {
    if (style == style_) return;
    style_ = style;
    model_->SetLargePictures(style == TViewStyle::vsIcon);
    if (style != TViewStyle::vsReport) {
        const TStyleLayout& layout = layoutOf(style);
        iconView_->setViewMode(layout.Mode);
        iconView_->setFlow(layout.Flow);
        iconView_->setWrapping(layout.Wrapping);
        iconView_->setIconSize(QSize(layout.Picture, layout.Picture));
        iconView_->setGridSize(layout.Grid);
        iconView_->setSpacing(0);
        iconView_->setWordWrap(layout.WordWrap);
        iconView_->setUniformItemSizes(layout.UniformSizes);
        iconView_->setTextElideMode(Qt::ElideRight);
        iconView_->setMovement(QListView::Static);
        iconView_->setResizeMode(QListView::Adjust);
        iconView_->setLayoutMode(QListView::Batched);
        iconView_->setBatchSize(kLayoutBatch);
        iconView_->setSelectionRectVisible(true);
    }
    setCurrentWidget(CurrentView());
}

void TIconListView::Sort(int column, bool ascending) {
    proxy_->sort(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void TIconListView::SetColumnCaptions(const QString& first, const QString& second) {
    model_->setHeaderData(0, Qt::Horizontal, first, Qt::DisplayRole);
    model_->setHeaderData(1, Qt::Horizontal, second, Qt::DisplayRole);
}

int TIconListView::SelectedCount() const { return int(selectedEntries(*selection_).size()); }

TIconDef* TIconListView::FirstSelected() const {
    const QModelIndexList rows = selectedEntries(*selection_);
    if (rows.isEmpty()) return nullptr;
    QModelIndex first = rows.front();
    for (const QModelIndex& i : rows)
        if (i.row() < first.row()) first = i;
    return static_cast<TIconDef*>(first.data(TIconListModel::kDefRole).value<void*>());
}

void TIconListView::SelectAll() {
    if (proxy_->rowCount() == 0) return;
    selection_->select(QItemSelection(proxy_->index(0, 0), proxy_->index(proxy_->rowCount() - 1, 1)),
                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TIconListView::Clear() { model_->Clear(); }

void TIconListView::SetListFont(const QFont& font) {
    iconView_->setFont(font);
    reportView_->setFont(font);
}

void TIconListView::SetColours(const QColor& background, const QColor& text) {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(reportView_)}) {
        QPalette pal = view->palette();
        pal.setColor(QPalette::Base, background);
        pal.setColor(QPalette::Text, text);
        view->setPalette(pal);
    }
}

}  // namespace gs
