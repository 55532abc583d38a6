#pragma once
// The splash window of the start-up: no border, 500 x 400, on top of everything, in the
// middle of the desktop; the picture fills it and the version, copyright, special version
// and the decoder's warning are written over it.
#include <QColor>
#include <QImage>
#include <QWidget>

class QLabel;

namespace gs {

class TQBApplication;

class TSplashForm : public QWidget {
    Q_OBJECT
public:
    TSplashForm(const TQBApplication& app, const QImage& bitmap, const QColor& textColor);

    QLabel* ImgSplash;
    QLabel* lblApplicationVersion;
    QLabel* lblCopyright;
    QLabel* lblWarning;
    QLabel* lblSpecialVersion;
};

// Shows the one splash window and returns at once (painted already). A null picture
// leaves the window without one.
void ShowSplashForm(const TQBApplication& app, const QImage& bitmap, const QColor& textColor);
// Closes and releases it; nothing when none is shown.
void CloseSplashForm();
// The splash window shown, or null.
TSplashForm* SplashForm();

}  // namespace gs
