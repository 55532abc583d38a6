// The main window's list commands: the preview lines of the selected icon, renaming in
// place, removing entries, the selection commands, sorting by column click, finding and
// filtering the listing.
#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QSplitter>
#include <QStyledItemDelegate>

#include "app/core/AppContext.h"
#include "app/core/Filters.h"
#include "app/core/FindRecord.h"
#include "app/core/ListWork.h"
#include "app/ui/IconListView.h"
#include "app/ui/ListDialogs.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "app/ui/IconPreview.h"
#include "codecs/ui/QtRaster.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/SysUtils.h"
#include "framework/ui/QtBridge.h"
#include "iconlib/IconPicture.h"

namespace gs {

namespace {

using A = TMainAction;

constexpr int kPictureRole = Qt::UserRole + 1;  // the picture; null past the preview's pixels
constexpr int kPictureSizeRole = Qt::UserRole + 2;  // the room an image line takes, drawn or not
constexpr int kLineTop = 2;
constexpr int kPreviewWidthWhenEmpty = 150;
// The preview's tag: image lines drawn by the window, or one plain line.
constexpr int kTagImages = 0;
constexpr int kTagPlain = 1;


// Image lines: the picture centred in a 60-pixel column (from the left edge when wider),
// the text after it, centred on the picture's height.
class TPreviewDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QVariant picture = index.data(kPictureRole);
        if (!picture.isValid()) return QStyledItemDelegate::sizeHint(option, index);
        const QSize room = index.data(kPictureSizeRole).toSize();
        const int textWidth = option.fontMetrics.horizontalAdvance(index.data().toString());
        return {textColumn(room) + textWidth, room.height() + kPreviewLineExtra};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& whole, const QModelIndex& index) const override {
        // A line wider than the pane is elided at the pane's edge, not cut there.
        QStyleOptionViewItem option(whole);
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(option.widget))
            option.rect.setRight(std::min(option.rect.right(), area->viewport()->rect().right()));
        const QVariant picture = index.data(kPictureRole);
        if (!picture.isValid()) return QStyledItemDelegate::paint(painter, option, index);
        const QPixmap pixmap = picture.value<QPixmap>();
        const QSize room = index.data(kPictureSizeRole).toSize();
        const QRect r = option.rect;
        painter->fillRect(r, option.palette.base());
        if (!pixmap.isNull())
            painter->drawPixmap(r.left() + std::max(0, (kPreviewPictureColumn - room.width()) / 2), r.top() + kLineTop,
                                pixmap);
        const int textHeight = option.fontMetrics.height();
        const int y = r.top() + kLineTop + std::max(0, (room.height() - textHeight) / 2);
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect text(r.left() + textColumn(room), y, std::max(0, r.width() - textColumn(room)), textHeight);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignTop,
                          option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    }

private:
    static int textColumn(QSize room) { return std::max(kPreviewPictureColumn, room.width() + 4); }
};

// A line's picture, or none where the preview's pixels ran out or the image cannot be
// decoded: its room is kept, and nothing the size of the image is made for it.
QPixmap linePixmap(const TPreviewLine& line) {
    return line.Picture ? QPixmap::fromImage(ToQImage(*line.Picture)) : QPixmap();
}

}  // namespace

void TKAVUMain::setupListWork() {
    TDialogHooks hooks;
    hooks.OnError = [this](std::exception_ptr error) { handler_.Handle(error); };
    hooks.Help = [this](int context) { ShowHelp(services_, application(), context); };
    realDialogs_ = std::make_unique<TListDialogs>(std::move(hooks));
    listDialogs_ = realDialogs_.get();
    lbIconPreview->setItemDelegate(new TPreviewDelegate(lbIconPreview));
    lbIconPreview->setUniformItemSizes(false);
    lvIcons->Model().OnEdited = [this](TIconDef* def, QString& text) { return lvIconsEdited(def, text); };
    connect(lvIcons, &TIconListView::ColumnClicked, this, [this](int column) { Guard([&] { lvIconsColumnClick(column); }); });

    on(A::actEditRename, [this] { lvIcons->EditSelected(); });
    on(A::actEditRemove, [this] { removeIcons(); });
    on(A::actEditFind, [this] {
        if (!listDialogs_->ShowFindDlg(this, context_)) return;
        findNext();
    });
    on(A::actEditFindNext, [this] { findNext(); });
    on(A::actViewFilter, [this] {
        if (!listDialogs_->ShowFilterDlg(this, listing_.Filters())) return;
        RefreshFilteredList();
    });
    on(A::actViewRemoveFilter, [this] {
        listing_.Filters().reset();
        RefreshFilteredList();
    });
}

void TKAVUMain::UpdatePreview(bool hasSelection) {
    try {
        lbIconPreview->clear();
        auto plainLine = [this](const char* text) {
            lbIconPreview->setProperty("tag", kTagPlain);
            lbIconPreview->addItem(text);
        };
        if (!hasSelection || !lastPreviewItem_) return plainLine(kMsgNoIconSelected);
        if (lastSelCount_ >= 2) return plainLine(kMsgMultipleIconsSelected);
        lbIconPreview->setProperty("tag", kTagImages);
        const TQBIcon& icon = lastPreviewItem_->GetIcon();
        lbIconPreview->setUpdatesEnabled(false);
        for (const TPreviewLine& preview : PreviewLines(icon)) {
            auto* line = new QListWidgetItem(qs(preview.Text));
            line->setData(kPictureRole, linePixmap(preview));
            line->setData(kPictureSizeRole, QSize(preview.Image->Width(), preview.Image->Height()));
            lbIconPreview->addItem(line);
        }
        lbIconPreview->setUpdatesEnabled(true);
    } catch (const std::exception& e) {
        lbIconPreview->setUpdatesEnabled(true);
        throw EQBException(kMsgUnablePreview, e.what(), TQBSeverity::Warning);
    }
}

void TKAVUMain::togglePreview() {
    if (!pPreview->isHidden()) {
        pPreview->hide();
    } else {
        pPreview->show();
        QList<int> sizes = splIcons->sizes();
        if (sizes.size() == 2 && sizes[1] == 0) {
            sizes[0] = std::max(0, sizes[0] - kPreviewWidthWhenEmpty);
            sizes[1] = kPreviewWidthWhenEmpty;
            splIcons->setSizes(sizes);
        }
    }
    forgetPreview();
}

void TKAVUMain::forgetPreview() {
    lastPreviewItem_ = nullptr;
    lastSelCount_ = -1;
}

void TKAVUMain::showCount() { setPanel(1, qs(FormatOne(kMsgIconsCount, std::to_string(listing_.IconCount())))); }

std::vector<TIconDef*> TKAVUMain::SelectedInListOrder() const { return lvIcons->SelectedInOrder(); }

void TKAVUMain::selectionCommand(bool invert) {
    if (invert) lvIcons->InvertSelection();
    else lvIcons->SelectAll();
    if (lvIcons->isVisible()) lvIcons->CurrentView()->setFocus();
}

bool TKAVUMain::lvIconsEdited(TIconDef* def, QString& text) {
    // A caption editor left open when a save began keeps the old name: the save's worker
    // reads the names meanwhile.
    if (!Idle()) return false;
    bool renamed = false;
    Guard([&] {
        const std::string name = CheckedIconName(text.toStdString(), def->Name, listing_.Icons());
        if (name == def->Name) return;
        listing_.Rename(def, name);
        text = qs(name);
        renamed = true;
    });
    return renamed;
}

void TKAVUMain::removeIcons() {
    if (QLineEdit* editor = lvIcons->Editor()) {
        // The command deletes in the caption editor while it is open.
        if (!editor->hasSelectedText()) editor->cursorForward(true, 1);
        editor->del();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (listing_.ActiveFilters() || lvIcons->SelectedCount() != lvIcons->ItemCount()) RemoveSelectedIcons();
    else RemoveAllIcons();
    QApplication::restoreOverrideCursor();
}

void TKAVUMain::RemoveAllIcons() {
    try {
        listing_.RemoveAll();
        showCount();
    } catch (const std::exception&) {
        // What was removed stays removed.
    }
    forgetPreview();
}

void TKAVUMain::RemoveSelectedIcons() {
    try {
        // By identity: another definition of the same name and file stays.
        for (TIconDef* def : lvIcons->SelectedInOrder()) listing_.Remove(def);
    } catch (const std::exception&) {
        // What was removed stays removed.
    }
    showCount();
    forgetPreview();
}

void TKAVUMain::lvIconsColumnClick(int column) { Execute(column == 0 ? A::actArrangeByName : A::actArrangeByFile); }

void TKAVUMain::findNext() {
    // A hit joins the entries the user had selected; a miss raises before the selection is
    // touched, so it stays as it was.
    const int row = FindNext(
        lvIcons->RowCount(),
        [this](int i) {
            const TIconDef* def = lvIcons->DefAt(i);
            return std::pair<std::string, std::string>(def->Name, def->FileName.string());
        },
        context_.FindInfo);
    lvIcons->SelectRow(row);
    lvIcons->CurrentView()->setFocus();
}

void TKAVUMain::RefreshFilteredList() {
    listing_.Refilter();
    setPanel(2, listing_.FilterActive() ? kMsgFiltered : "");
    showCount();
    forgetPreview();
}

}  // namespace gs
