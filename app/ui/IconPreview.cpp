#include "app/ui/IconPreview.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <vector>

#include "app/core/IconDef.h"
#include "app/ui/RasterImage.h"
#include "framework/core/Exceptions.h"
#include "iconlib/IconPicture.h"

namespace gs {

namespace {

constexpr int kPictureColumn = 60;
constexpr int kLineMargin = 2;

// Image lines: the picture at its own size centred in its column, the text beside it.
class TPreviewLineDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        if (picture.isNull()) return QStyledItemDelegate::sizeHint(option, index);
        return {kPictureColumn + option.fontMetrics.horizontalAdvance(index.data().toString()) + kLineMargin,
                picture.height() + 2 * kLineMargin};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        if (picture.isNull()) return QStyledItemDelegate::paint(painter, option, index);
        const QRect r = option.rect;
        painter->fillRect(r, option.palette.base());
        painter->drawPixmap(r.left() + (kPictureColumn - picture.width()) / 2, r.top() + kLineMargin, picture);
        const int textHeight = option.fontMetrics.height();
        painter->setPen(option.palette.color(QPalette::Text));
        painter->drawText(QPoint(r.left() + kPictureColumn,
                                 r.top() + kLineMargin + (picture.height() - textHeight) / 2 + option.fontMetrics.ascent()),
                          index.data().toString());
    }
};

QString imageInfoText(const TQBIconImage& image) {
    return QString("%1x%2x%3").arg(image.Width()).arg(image.Height()).arg(image.GetColorClass());
}

}  // namespace

TIconPreviewList::TIconPreviewList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new TPreviewLineDelegate(this));
    setSelectionMode(QAbstractItemView::NoSelection);
    setUniformItemSizes(false);
    addItem(kMsgNoIconSelected);
}

void TIconPreviewList::ShowIcon(TIconDef* selected, int count) {
    clear();
    if (count >= 2) {
        addItem(kMsgMultipleIconsSelected);
        return;
    }
    if (!selected) {
        addItem(kMsgNoIconSelected);
        return;
    }
    try {
        const TQBIcon& icon = selected->GetIcon();
        std::vector<const TQBIconImage*> images;
        for (std::uint16_t i = 0; i < icon.Images().Count(); ++i) images.push_back(icon.Images().GetImage(i));
        std::stable_sort(images.begin(), images.end(), [](const TQBIconImage* a, const TQBIconImage* b) {
            if (a->Width() != b->Width()) return a->Width() < b->Width();
            return a->BitCount() < b->BitCount();
        });
        for (const TQBIconImage* image : images) {
            std::shared_ptr<const IconPicture> picture = image->GetHandle();
            auto* line = new QListWidgetItem(imageInfoText(*image));
            if (picture) line->setData(Qt::DecorationRole, QPixmap::fromImage(ToQImage(*picture)));
            addItem(line);
        }
    } catch (const std::exception& e) {
        clear();
        addItem(kMsgNoIconSelected);
        throw EQBException(kMsgUnablePreview, e.what(), TQBSeverity::Warning);
    }
}

}  // namespace gs
