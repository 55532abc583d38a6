#pragma once
// The keyboard's way into the toolbars of a form: one application event filter, present
// while any toolbar exists, that stands for the desktop's key menu, the dialog keys and
// characters and the application's key-down of the other system:
// - Alt pressed shows a menu bar's accelerators; Alt tapped alone, or F10, enters the
//   menu bar with its first item selected (key 0); Alt that went with any other key (one
//   a Qt shortcut or the window manager took included), a mouse press or a switch to
//   another window is no tap; Alt+key opens by accelerator (or beeps); Alt+Space stays
//   with the window manager;
// - a character no widget took opens by accelerator on the form's other toolbars;
// - a key no widget and no Qt shortcut took is offered to the shortcut routing.
// Keys are looked at only once the form itself has left them unaccepted: a window's own
// shortcuts and widgets always come first, so no command runs twice.
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <vector>

class QKeyEvent;
class QWidget;

namespace tb {

class TTBCustomToolbar;

class TTBKeyMenuRouter : public QObject {
public:
    // Toolbars join when made and leave when freed; the filter is installed while any is listed.
    void Attach(TTBCustomToolbar* toolbar);
    void Detach(TTBCustomToolbar* toolbar);
    // The application's main form: keys its other windows leave are offered to its
    // toolbars' shortcuts too.
    void SetMainForm(QWidget* form) { mainForm_ = form; }
    QWidget* MainForm() const { return mainForm_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<TTBCustomToolbar*> ToolbarsOf(const QWidget* form, bool menuBars) const;
    void AltPressed(QWidget* form);
    void AltReleased(QWidget* form, std::uint32_t time);
    bool AltKey(QWidget* form, const QKeyEvent& key);
    bool Unhandled(QWidget* form, const QKeyEvent& key);
    bool KeyMenu(QWidget* form, char32_t key);

    std::vector<TTBCustomToolbar*> toolbars_;
    std::vector<const QEvent*> resending_;  // keys being given to their form first
    QPointer<QWidget> mainForm_;
    bool altAlone_ = false;  // Alt is down and nothing else happened since
    QPointer<QWidget> altForm_;  // the form Alt went down on
    std::uint32_t altTime_ = 0;  // the server time Alt went down at
    bool installed_ = false;
};

TTBKeyMenuRouter& KeyMenuRouter();

// The form a widget belongs to: its window, or for a floating toolbar's window the form
// that owns it.
QWidget* FormOf(QWidget* widget);

// A modal window is open that this form is not, nor owns: the form is out of reach as the
// desktop's disabled owner of a modal box would be, though Qt leaves it enabled. None of
// its commands may run from a key, a menu or a toolbar meanwhile.
bool BlockedByModal(const QWidget* form);

// The sound of an Alt+key nothing answers (QApplication::beep unless set; tests count it).
void SetKeyMenuBeep(std::function<void()> beep);
void KeyMenuBeep();

}  // namespace tb
