#include "framework/ui/QBMsgDetailsFrm.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>

namespace gs {

namespace {
constexpr int kClientWidth = 409;
constexpr int kClientHeight = 185;
// The window heights of the two states include the frame; the client is what Qt sizes.
constexpr int kFoldedWindowHeight = 102;
constexpr int kUnfoldedWindowHeight = 212;
constexpr int kFoldedClientHeight = kFoldedWindowHeight - kQBFrameHeight;
constexpr int kUnfoldedClientHeight = kUnfoldedWindowHeight - kQBFrameHeight;
static_assert(kUnfoldedClientHeight == kClientHeight);
constexpr QRect kMessageRect{48, 8, 257, 65};
constexpr QPoint kOKPlace{326, 8};
constexpr QPoint kDetailsPlace{326, 40};
constexpr QRect kDetailsTextRect{8, 80, 393, 100};

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

TQBMessageDetails::TQBMessageDetails(QWidget* parent)
    : QDialog(parent, kQBBoxWindowFlags) {
    setObjectName(QStringLiteral("QBMessageDetails"));
    buildWidgets();
    fitToMessage();
    showFolded(true);
}

void TQBMessageDetails::buildWidgets() {
    pictures_ = {MakeBoxPicture(this, "imgCritical", QStyle::SP_MessageBoxCritical),
                 MakeBoxPicture(this, "imgWarning", QStyle::SP_MessageBoxWarning),
                 MakeBoxPicture(this, "imgInformation", QStyle::SP_MessageBoxInformation)};
    message_ = MakeWrappedText(this, "sbErrorMsg", "lblErrorMsg");
    cmdOK_ = new QPushButton(this);
    cmdOK_->setObjectName(QStringLiteral("cmdOK"));
    cmdOK_->setGeometry(QRect(kOKPlace, QSize(kQBButtonWidth, kQBButtonHeight)));
    cmdOK_->setDefault(true);
    connect(cmdOK_, &QPushButton::clicked, this, &QDialog::accept);
    cmdDetails_ = new QPushButton(this);
    cmdDetails_->setObjectName(QStringLiteral("cmdDetails"));
    cmdDetails_->setGeometry(QRect(kDetailsPlace, QSize(kQBButtonWidth, kQBButtonHeight)));
    connect(cmdDetails_, &QPushButton::clicked, this, &TQBMessageDetails::cmdDetailsClick);
    txtErrorDetails_ = new QPlainTextEdit(this);
    txtErrorDetails_->setObjectName(QStringLiteral("txtErrorDetails"));
    txtErrorDetails_->setReadOnly(true);
    setTabOrder(cmdOK_, cmdDetails_);
    setTabOrder(cmdDetails_, txtErrorDetails_);
}

void TQBMessageDetails::Setup(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) {
    const TQBDetailsArgs args = CheckDetailsArgs(messageType, languageId);
    for (QLabel* picture : pictures_) picture->hide();
    setFont(BoxFont(fontName));
    const TQBCaptions& captions = CaptionsFor(args.Language);
    okCaption_ = fromView(captions.OK);
    foldedCaption_ = fromView(captions.DetailsFolded);
    unfoldedCaption_ = fromView(captions.DetailsUnfolded);
    SetBoxCaption(this, caption);
    SetWrappedText(message_, NormalizeLineBreaks(msg));
    txtErrorDetails_->setPlainText(QString::fromUtf8(DisplayLineBreaks(NormalizeLineBreaks(details))));
    fitToMessage();
    showFolded(true);
    ShowBoxPicture(this, pictures_[static_cast<std::size_t>(args.Type)]);
    cmdOK_->setText(okCaption_);
    cmdDetails_->setText(foldedCaption_);
    cmdDetails_->setVisible(!details.empty());
    if (expand && !details.empty()) cmdDetailsClick();
    cmdOK_->setFocus();
    QApplication::beep();
}

int TQBMessageDetails::FoldedHeight() const { return kFoldedClientHeight + extraHeight_; }
int TQBMessageDetails::UnfoldedHeight() const { return kUnfoldedClientHeight + extraHeight_; }

// A long message pushes the details text down and makes both states taller.
void TQBMessageDetails::fitToMessage() {
    extraHeight_ = ExtraTextHeight(message_, kMessageRect.width(), kMessageRect.height(),
                                   MaxExtraHeight(kUnfoldedClientHeight));
    message_.Area->setGeometry(kMessageRect.adjusted(0, 0, 0, extraHeight_));
    txtErrorDetails_->setGeometry(kDetailsTextRect.translated(0, extraHeight_));
}

void TQBMessageDetails::cmdDetailsClick() { showFolded(detailsShown_); }

void TQBMessageDetails::showFolded(bool folded) {
    detailsShown_ = !folded;
    cmdDetails_->setText(folded ? foldedCaption_ : unfoldedCaption_);
    // Hidden while folded, so Tab never lands on text nobody can see.
    txtErrorDetails_->setVisible(!folded);
    setFixedSize(kClientWidth, folded ? FoldedHeight() : UnfoldedHeight());
}

}  // namespace gs
