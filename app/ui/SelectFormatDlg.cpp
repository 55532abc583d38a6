#include "app/ui/SelectFormatDlg.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/core/Options.h"
#include "framework/ui/DialogFrame.h"

namespace gs {

namespace {
const QSize kClientSize(264, 185);
}  // namespace

TSelectFormatDlg::TSelectFormatDlg(QWidget* parent, std::function<void()> help, bool highColour)
    : QDialog(parent, kDialogWindowFlags), help_(std::move(help)) {
    setObjectName("SelectFormatDlg");
    setWindowTitle(kSelectFormatCaption);
    resize(kClientSize);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Please select the image format.", this), 1, Qt::AlignTop);
    imgPicture = new QLabel(this);
    imgPicture->setObjectName("imgPicture");
    imgPicture->setPixmap(DialogPicture(TDialogPicture::ImageFormat, highColour));
    top->addWidget(imgPicture, 0, Qt::AlignTop);
    layout->addLayout(top);
    auto radio = [&](TBatchFormat format) {
        const TImageFormat& row = ImageFormatOf(format);
        auto* r = new QRadioButton(row.ChoiceCaption, this);
        r->setObjectName(QString("rad") + row.Word);
        layout->addWidget(r);
        return r;
    };
    radGIF = radio(TBatchFormat::bfGIF);
    radJPG = radio(TBatchFormat::bfJPG);
    radWMF = radio(TBatchFormat::bfWMF);
    radTIF = radio(TBatchFormat::bfTIF);
    radGIF->setChecked(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    auto* cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setObjectName("cmdCancel");
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addStretch();
    layout->addLayout(buttons);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // Centred on the window that asks.
    if (parent) move(parent->geometry().center() - rect().center());
}

TBatchFormat TSelectFormatDlg::Format() const {
    if (radGIF->isChecked()) return TBatchFormat::bfGIF;
    if (radJPG->isChecked()) return TBatchFormat::bfJPG;
    if (radWMF->isChecked()) return TBatchFormat::bfWMF;
    return TBatchFormat::bfTIF;
}

void TSelectFormatDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && help_) {
        help_();
        return;
    }
    QDialog::keyPressEvent(event);
}

std::optional<TBatchFormat> SelectImageFormat(const TKAVUOptions& options,
                                              const std::function<std::optional<TBatchFormat>()>& ask) {
    if (!options.PromptForImageFormat) return ImageFormatIndexToCode(options.DefaultImageFormat);
    return ask();
}

}  // namespace gs
