#include "framework/ui/BoxParts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <algorithm>

#include "framework/core/Application.h"
#include "framework/core/MessageBoxRules.h"

namespace gs {

namespace {
constexpr int kBoxFontPoints = 8;
}  // namespace

QFont BoxFont(const std::string& fontName) {
    QFont font(QString::fromLatin1(kFontName), kBoxFontPoints);
    const QString wanted = QString::fromUtf8(fontName);
    if (!wanted.isEmpty() && QFontDatabase::families().contains(wanted, Qt::CaseInsensitive))
        font.setFamily(wanted);
    return font;
}

QLabel* MakeBoxPicture(QWidget* parent, const char* name, QStyle::StandardPixmap which) {
    auto* picture = new QLabel(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(kQBPictureOffset, kQBPictureOffset, kQBPictureSize, kQBPictureSize);
    picture->setPixmap(parent->style()->standardIcon(which, nullptr, parent).pixmap(kQBPictureSize, kQBPictureSize));
    picture->hide();
    return picture;
}

TQBWrappedText MakeWrappedText(QWidget* parent, const char* areaName, const char* labelName) {
    TQBWrappedText text;
    text.Area = new QScrollArea(parent);
    text.Area->setObjectName(QString::fromLatin1(areaName));
    text.Area->setFrameShape(QFrame::NoFrame);
    text.Area->setFocusPolicy(Qt::NoFocus);
    text.Area->setWidgetResizable(true);
    text.Area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text.Label = new QLabel;
    text.Label->setObjectName(QString::fromLatin1(labelName));
    // Messages carry file names and other untrusted text: never read it as markup.
    text.Label->setTextFormat(Qt::PlainText);
    text.Label->setWordWrap(true);
    text.Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text.Area->setWidget(text.Label);
    text.Area->viewport()->setAutoFillBackground(false);
    text.Label->setAutoFillBackground(false);
    return text;
}

void SetWrappedText(const TQBWrappedText& text, const std::string& bytes) {
    text.Label->setText(QString::fromUtf8(DisplayLineBreaks(bytes)));
}

int ExtraTextHeight(const TQBWrappedText& text, int width, int baseHeight, int maxExtra) {
    const int needed = text.Label->heightForWidth(width);
    return std::clamp(needed - baseHeight, 0, std::max(0, maxExtra));
}

int MaxExtraHeight(int baseClientHeight) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 0;
    return std::max(0, screen->availableGeometry().height() - kQBFrameHeight - baseClientHeight);
}

void SetBoxCaption(QWidget* box, const std::string& caption) {
    const std::string shown = BoxCaption(caption);
    box->setWindowTitle(shown.empty() ? QGuiApplication::applicationDisplayName() : QString::fromUtf8(shown));
}

void CenterOnScreen(QWidget* box) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    box->move(area.center() - QPoint(box->width() / 2, (box->height() + kQBFrameHeight) / 2));
}

}  // namespace gs
