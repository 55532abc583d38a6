#include "framework/ui/QBMsgFrm.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>

namespace gs {

namespace {
constexpr int kClientWidth = 410;
constexpr int kClientHeight = 83;
constexpr int kBottomHeight = 35;
constexpr int kButtonTop = 5;
constexpr int kLeftWidth = 49;
constexpr int kMessageTop = 7;  // the spacer above the message
constexpr int kMessageWidth = kClientWidth - kLeftWidth;
constexpr int kMessageHeight = kClientHeight - kBottomHeight - kMessageTop;
}  // namespace

TQBMessage::TQBMessage(QWidget* parent)
    : QDialog(parent, kQBBoxWindowFlags) {
    setObjectName(QStringLiteral("QBMessage"));
    buildWidgets();
    setFixedSize(kClientWidth, kClientHeight);
}

void TQBMessage::buildWidgets() {
    pBottom_ = new QWidget(this);
    pBottom_->setObjectName(QStringLiteral("pBottom"));
    for (int i = 0; i < kQBMaxButtons; ++i) {
        auto* button = new QPushButton(pBottom_);
        button->setObjectName(QStringLiteral("cmdBtn%1").arg(i + 1, 2, 10, QLatin1Char('0')));
        button->setAutoDefault(true);
        button->hide();
        connect(button, &QPushButton::clicked, this, [this, i] { buttonClicked(i + 1); });
        buttons_[i] = button;
    }
    pLeft_ = new QWidget(this);
    pLeft_->setObjectName(QStringLiteral("pLeft"));
    pictures_ = {MakeBoxPicture(pLeft_, "imgError", QStyle::SP_MessageBoxCritical),
                 MakeBoxPicture(pLeft_, "imgWarning", QStyle::SP_MessageBoxWarning),
                 MakeBoxPicture(pLeft_, "imgInformation", QStyle::SP_MessageBoxInformation),
                 MakeBoxPicture(pLeft_, "imgQuestion", QStyle::SP_MessageBoxQuestion)};
    message_ = MakeWrappedText(this, "sbMessage", "lblMessage");
}

void TQBMessage::Setup(const std::string& msg, const std::string& caption, std::uint8_t messageType,
                       std::uint8_t buttonSet, std::uint16_t defaultButton, std::uint8_t languageId,
                       const std::string& fontName) {
    const TQBMessageArgs args = CheckMessageArgs(messageType, buttonSet, languageId);
    for (QLabel* picture : pictures_) picture->hide();
    for (QPushButton* button : buttons_) button->hide();
    setFont(BoxFont(fontName));
    SetBoxCaption(this, caption);
    SetWrappedText(message_, msg);
    showPicture(args.Type);
    layout_ = ButtonLayoutFor(args.ButtonSet, args.Language);
    placeButtons();
    defaultButton_ = EffectiveDefaultButton(defaultButton, layout_.Count);
    focusDefaultButton();
    fitToMessage();
    pressed_ = 0;
}

void TQBMessage::showPicture(TQBMessageType type) { ShowBoxPicture(this, pictures_[static_cast<std::size_t>(type)]); }

void TQBMessage::placeButtons() {
    for (int i = 0; i < layout_.Count; ++i) {
        QPushButton* button = buttons_[i];
        button->setText(QString::fromUtf8(layout_.Buttons[i].Caption.data(),
                                          static_cast<qsizetype>(layout_.Buttons[i].Caption.size())));
        button->setGeometry(layout_.Buttons[i].Left, kButtonTop, kQBButtonWidth, kQBButtonHeight);
        button->show();
    }
}

void TQBMessage::focusDefaultButton() {
    std::array<QPushButton*, kQBMaxButtons> order = buttons_;
    std::sort(order.begin(), order.end(), [this](QPushButton* a, QPushButton* b) {
        const auto position = [this](QPushButton* button) {
            const auto index = std::find(buttons_.begin(), buttons_.end(), button) - buttons_.begin();
            return TabPositionFor(static_cast<int>(index) + 1, defaultButton_);
        };
        return position(a) < position(b);
    });
    for (std::size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
    QPushButton* chosen = buttons_[defaultButton_ - 1];
    for (QPushButton* button : buttons_) button->setDefault(button == chosen);
    chosen->setFocus();
}

// The box keeps its width and grows downwards until the whole message shows.
void TQBMessage::fitToMessage() {
    const int extra = ExtraTextHeight(message_, kMessageWidth, kMessageHeight, MaxExtraHeight(kClientHeight));
    const int height = kClientHeight + extra;
    setFixedSize(kClientWidth, height);
    pBottom_->setGeometry(0, height - kBottomHeight, kClientWidth, kBottomHeight);
    pLeft_->setGeometry(0, 0, kLeftWidth, height - kBottomHeight);
    message_.Area->setGeometry(kLeftWidth, kMessageTop, kMessageWidth, kMessageHeight + extra);
}

void TQBMessage::buttonClicked(int number) {
    pressed_ = number;
    accept();
}

}  // namespace gs
