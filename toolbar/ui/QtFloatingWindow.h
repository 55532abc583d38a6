#pragma once
// TTBFloatingWindowParent: the small tool window a floating dockable window lives in. It
// is a frameless Qt::Tool window of the form that never takes the focus; its border,
// caption and close button are its contents margins, hit-tested and painted by itself.
#include <QWidget>

namespace tb {

class TTBCustomDockableWindow;

class TTBFloatingWindowParent : public QWidget {
    Q_OBJECT
public:
    // What a point of the window is.
    enum THit { htNowhere, htClient, htLeft, htRight, htTop, htBottom, htCaption, htCloseButton };

    TTBFloatingWindowParent(QWidget* form, TTBCustomDockableWindow* window);
    ~TTBFloatingWindowParent() override;

    QWidget* Form() const { return parentWidget(); }
    TTBCustomDockableWindow* DockableWindow() const { return window_; }

    int CaptionHeight() const;
    // Border on every side, and the caption on top when the window shows one.
    QMargins NonClient() const;
    QRect CaptionRect() const;  // without the close button
    QRect CloseButtonRect() const;
    THit HitTest(QPoint point) const;

    // Sizes itself around a client of `client` size.
    void FitClient(QSize client);
    // Shown only while the window wants it (set by the dockable window's visibility).
    void SetShouldShow(bool value);
    void SetInactiveCaption(bool value);
    // Its window is going: it forgets it and goes too, once the event being handled is over.
    void Orphan();
    // Stays on top of every window (fmOnTopOfAllForms) or of its form only.
    void ApplyFloatingMode();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    TTBCustomDockableWindow* window_;
    bool shouldShow_ = false;
    bool inactiveCaption_ = false;
    bool closePushed_ = false;
    bool mapping_ = false;  // shown, not painted yet: the window manager is placing it
};

// The frame a floating window puts around `window`: its border on every side, and the small
// caption on top when it shows one.
int SmallCaptionHeight(const QWidget& widget);
QMargins FloatingNonClient(const TTBCustomDockableWindow& window);

// Moves the window into a floating window of its form (made when it has none), or back
// onto its form. EInvalidOperation when the window belongs to no form.
void SetFloating(TTBCustomDockableWindow& window, bool value);
// Floats the window again at a place stored earlier (its floating window's top-left), wholly
// inside the available area of the screen nearest to it: a drop may leave a floating window
// partly off the screen, and the screens may have changed since.
void FloatAtStoredPlace(TTBCustomDockableWindow& window, QPoint place);

}  // namespace tb
