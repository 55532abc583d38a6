#include "framework/ui/SplashForm.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>

#include "framework/core/Application.h"
#include "framework/core/HiddenStrings.h"
#include "framework/ui/FormTexts.h"
#include "framework/ui/QtBridge.h"

namespace gs {

namespace {

constexpr int kSplashWidth = 500;
constexpr int kSplashHeight = 400;

QPointer<TSplashForm>& theSplash() {
    static QPointer<TSplashForm> splash;
    return splash;
}

QLabel* text(QWidget* parent, const char* name, const QString& value, const QColor& color, QRect where) {
    auto* l = new QLabel(value, parent);
    l->setObjectName(name);
    l->setGeometry(where);
    l->setTextFormat(Qt::PlainText);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, color);
    l->setPalette(p);
    return l;
}

}  // namespace

TSplashForm::TSplashForm(const TQBApplication& app, const QImage& bitmap, const QColor& textColor)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("SplashForm");
    setFixedSize(kSplashWidth, kSplashHeight);
    ImgSplash = new QLabel(this);
    ImgSplash->setObjectName("ImgSplash");
    ImgSplash->setGeometry(0, 0, kSplashWidth, kSplashHeight);
    if (!bitmap.isNull()) ImgSplash->setPixmap(QPixmap::fromImage(bitmap));

    // The version is written in the window's own text colour, as the picture is made for it.
    lblApplicationVersion =
        text(this, "lblApplicationVersion", VersionLine(app), textColor, {24, 268, 452, 18});
    lblSpecialVersion = text(this, "lblSpecialVersion", qs(app.SpecialVersionText), textColor,
                             {24, 288, 452, 18});
    lblCopyright = text(this, "lblCopyright", qs(app.Copyright), textColor, {24, 310, 452, 18});
    lblWarning = text(this, "lblWarning", DecoderText(kTextSplashWarning), textColor, {24, 334, 452, 54});
    lblWarning->setWordWrap(true);
    lblWarning->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QFont small = lblWarning->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    lblWarning->setFont(small);
}

void ShowSplashForm(const TQBApplication& app, const QImage& bitmap, const QColor& textColor) {
    CloseSplashForm();
    auto* splash = new TSplashForm(app, bitmap, textColor);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        splash->move(area.center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
    }
    theSplash() = splash;
    splash->show();
    splash->repaint();
}

void CloseSplashForm() {
    QPointer<TSplashForm> splash = theSplash();
    if (!splash) return;
    theSplash() = nullptr;
    splash->close();
    delete splash.data();
    QApplication::processEvents();
}

TSplashForm* SplashForm() { return theSplash(); }

}  // namespace gs
