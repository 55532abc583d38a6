#include "toolbar/ui/QtKeyMenu.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QKeyEvent>
#include <QWindow>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>

#include "toolbar/core/ItemRuntime.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtCommon.h"
#include "toolbar/ui/QtFloatingWindow.h"
#include "toolbar/ui/QtToolbar.h"

namespace tb {

namespace {

std::function<void()> gBeep;

constexpr Qt::KeyboardModifiers kModifierMask =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool isModifierKey(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_unknown;
}

// The character a key types, lower case; 0 for none. Alt may take the text away: the key
// code says it then (for a letter beyond ASCII too: Qt's key codes are its upper case).
char32_t charOf(const QKeyEvent& key) {
    const QList<uint> text = key.text().toUcs4();
    if (text.size() == 1 && text[0] > ' ' && text[0] != 0x7F && (text[0] < 0x80 || text[0] >= 0xA0))
        return FoldCase(char32_t(text[0]));
    const int k = key.key();
    if (k == Qt::Key_Space) return ' ';
    if ((k > ' ' && k < 0x7F) || (k >= 0xA0 && k < Qt::Key_Escape)) return FoldCase(char32_t(k));
    return 0;
}

// Alt (with or without Shift) and a character: the key menu's.
bool isAltChar(const QKeyEvent& key) {
    return (key.modifiers() & kModifierMask & ~Qt::ShiftModifier) == Qt::AltModifier && charOf(key) != 0;
}

QWidget* widgetOf(QWindow* window) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowHandle() == window) return w;
    return nullptr;
}

// Every toolbar guarded before the first handler runs: one may free the others.
std::vector<QPointer<TTBCustomToolbar>> Guard(const std::vector<TTBCustomToolbar*>& toolbars) {
    return {toolbars.begin(), toolbars.end()};
}

// Under X the window manager takes Alt with a mouse button (openbox moves and raises the
// window with it) through a pointer grab: Qt makes no mouse press of it, yet the server
// tells the program of the press and of the pointer leaving for the grab. Either means Alt
// went with the mouse. Read from the wire format itself (the X protocol's and the input
// extension's event layouts), so the library needs no X headers. Gives the server time of
// such an event.
std::optional<std::uint32_t> XMouseWithAltTime(const QByteArray& type, const void* message) {
    if (type != "xcb_generic_event_t" || !message) return std::nullopt;
    const auto* bytes = static_cast<const std::uint8_t*>(message);
    const auto timeAt = [bytes](std::size_t offset) {
        std::uint32_t time = 0;
        std::memcpy(&time, bytes + offset, sizeof time);
        return time;
    };
    constexpr std::uint8_t kButtonPress = 4, kLeaveNotify = 8, kGenericEvent = 35;
    constexpr std::uint8_t kModeGrab = 1;
    switch (bytes[0] & 0x7F) {
    case kButtonPress:
        return timeAt(4);
    case kLeaveNotify:
        if (bytes[30] == kModeGrab) return timeAt(4);  // the mode of a leave: the pointer went to a grab
        return std::nullopt;
    case kGenericEvent: {
        // The input extension's events (the only extension events the program selects):
        // a button press, or a leave whose mode is a grab (active or passive).
        std::uint16_t evtype = 0;
        std::memcpy(&evtype, bytes + 8, sizeof evtype);
        constexpr std::uint16_t kXIButtonPress = 4, kXILeave = 8;
        constexpr std::uint8_t kXIModeGrab = 1, kXIModePassiveGrab = 4;
        if (evtype == kXIButtonPress ||
            (evtype == kXILeave && (bytes[18] == kXIModeGrab || bytes[18] == kXIModePassiveGrab)))
            return timeAt(12);
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

// The native events come in whole batches before Qt delivers the key events made of the
// same batch: when the program falls behind (a loaded machine), it reads Alt's press, the
// click and Alt's release at once and sees the click here before Alt's press reaches the
// router. So the click is kept by its server time, and Alt's release asks whether a click
// came between its own press and release.
struct TNativeMouseWatch : QAbstractNativeEventFilter {
    std::optional<std::uint32_t> last;  // server time of the last mouse with Alt
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (auto time = XMouseWithAltTime(type, message)) last = time;
        return false;
    }
    // Server times wrap after 49 days: compared as distances.
    bool Between(std::uint32_t from, std::uint32_t to) const {
        return last && static_cast<std::int32_t>(*last - from) >= 0 && static_cast<std::int32_t>(to - *last) >= 0;
    }
};

TNativeMouseWatch& NativeWatch() {
    static TNativeMouseWatch* watch = new TNativeMouseWatch;  // outlives every toolbar, as the router does
    return *watch;
}

}  // namespace

void SetKeyMenuBeep(std::function<void()> beep) { gBeep = std::move(beep); }

void KeyMenuBeep() {
    if (gBeep) gBeep();
    else QApplication::beep();
}

QWidget* FormOf(QWidget* widget) {
    QWidget* window = widget ? widget->window() : nullptr;
    if (auto* floating = qobject_cast<TTBFloatingWindowParent*>(window)) return floating->Form();
    return window;
}

bool BlockedByModal(const QWidget* form) {
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !form) return false;
    // The modal window's own windows (those it owns) stay in reach.
    for (const QWidget* w = form->window(); w; w = w->parentWidget())
        if (w == modal) return false;
    return true;
}

TTBKeyMenuRouter& KeyMenuRouter() {
    static TTBKeyMenuRouter* router = new TTBKeyMenuRouter;  // outlives every toolbar
    return *router;
}

void TTBKeyMenuRouter::Attach(TTBCustomToolbar* toolbar) {
    if (std::find(toolbars_.begin(), toolbars_.end(), toolbar) == toolbars_.end()) toolbars_.push_back(toolbar);
    if (!installed_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(&NativeWatch());
        installed_ = true;
    }
}

void TTBKeyMenuRouter::Detach(TTBCustomToolbar* toolbar) {
    toolbars_.erase(std::remove(toolbars_.begin(), toolbars_.end(), toolbar), toolbars_.end());
    if (toolbars_.empty() && installed_) {
        if (QCoreApplication::instance()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QCoreApplication::instance()->removeNativeEventFilter(&NativeWatch());
        }
        installed_ = false;
        altAlone_ = false;
    }
}

std::vector<TTBCustomToolbar*> TTBKeyMenuRouter::ToolbarsOf(const QWidget* form, bool menuBars) const {
    std::vector<TTBCustomToolbar*> found;
    for (TTBCustomToolbar* t : toolbars_)
        if (t->MenuBar() == menuBars && t->OwnerForm() == form) found.push_back(t);
    return found;
}

void TTBKeyMenuRouter::AltPressed(QWidget* form) {
    for (TTBCustomToolbar* t : ToolbarsOf(form, true)) t->DialogKey(kAltVirtualKey);
}

void TTBKeyMenuRouter::AltReleased(QWidget* form, std::uint32_t time) {
    // A tap is pressed and released on the one form, and that form still has the keyboard.
    const bool tapped = altAlone_ && !NativeWatch().Between(altTime_, time) && form && altForm_ == form && !BlockedByModal(form) &&
                        QApplication::activeWindow() && FormOf(QApplication::activeWindow()) == form;
    altAlone_ = false;
    altForm_ = nullptr;
    if (tapped) {
        KeyMenu(form, 0);
        return;
    }
    // Alt went with another key: the accelerators shown for it go again.
    for (TTBCustomToolbar* t : ToolbarsOf(form, true))
        if (!(t->View().ViewFlags & vsMenuLoop)) t->View().ShowAccelerators(false, KeyboardCuesOn());
}

bool TTBKeyMenuRouter::KeyMenu(QWidget* form, char32_t key) {
    // The first menu bar that answers; a handler may free toolbars meanwhile.
    for (const QPointer<TTBCustomToolbar>& t : Guard(ToolbarsOf(form, true))) {
        bool handled = false;
        if (t) Guarded([&] { handled = t->KeyMenu(key); });
        if (handled) return true;
    }
    return false;
}

bool TTBKeyMenuRouter::AltKey(QWidget* form, const QKeyEvent& key) {
    // A focused widget that wants the key as input says so, as it does to Qt's shortcuts.
    if (QWidget* focus = QApplication::focusWidget(); focus && FormOf(focus) == form) {
        QKeyEvent claim(QEvent::ShortcutOverride, key.key(), key.modifiers(), key.text());
        claim.ignore();
        QCoreApplication::sendEvent(focus, &claim);
        if (claim.isAccepted()) return false;
    }
    const TShortCut shortCut = FromQKeyCombination(key.keyCombination());
    if (shortCut && ShortcutRouter().KeyDown(shortCut, form, mainForm_.data())) return true;
    return KeyMenu(form, charOf(key));
}

bool TTBKeyMenuRouter::Unhandled(QWidget* form, const QKeyEvent& key) {
    if (isModifierKey(key.key()) || isAltChar(key)) return false;  // Alt+keys had their turn
    const Qt::KeyboardModifiers mods = key.modifiers() & kModifierMask;
    const TShortCut shortCut = FromQKeyCombination(key.keyCombination());
    if (shortCut && ShortcutRouter().KeyDown(shortCut, form, mainForm_.data())) return true;
    if (key.key() == Qt::Key_F10 && mods == Qt::NoModifier) return KeyMenu(form, 0);
    if (mods & ~Qt::ShiftModifier) return false;
    const char32_t c = charOf(key);
    if (c == 0 || c == ' ') return false;
    for (const QPointer<TTBCustomToolbar>& t : Guard(ToolbarsOf(form, false))) {
        bool handled = false;
        if (t) Guarded([&] { handled = t->DialogChar(c); });
        if (handled) return true;
    }
    return false;
}

bool TTBKeyMenuRouter::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ApplicationStateChange:
    case QEvent::WindowDeactivate:
    case QEvent::FocusOut:
        // Alt went with the mouse, or the window lost the keyboard (the window manager's
        // Alt+Tab): its release is no tap.
        altAlone_ = false;
        return false;
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
        // Qt offers every key press to its shortcuts before the window sees it, and a
        // shortcut that takes it (Alt+1 on a QAction) leaves no key press here: this is the
        // one sign that Alt went with another key.
        if (event->type() == QEvent::Shortcut ||
            !isModifierKey(static_cast<QKeyEvent*>(event)->key()))
            altAlone_ = false;
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        break;
    default:
        return false;
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched->isWindowType()) {
        // Each key reaches its window once: Alt's own presses and releases are followed here.
        const bool alt = key->key() == Qt::Key_Alt && !(key->modifiers() & kModifierMask & ~Qt::AltModifier);
        QWidget* widget = widgetOf(static_cast<QWindow*>(watched));
        if (widget && widget->windowType() == Qt::Popup) return false;  // an open menu has the keys
        QWidget* form = FormOf(widget);
        if (event->type() == QEvent::KeyPress) {
            if (!key->isAutoRepeat()) {
                altAlone_ = alt;
                altForm_ = alt ? form : nullptr;
                altTime_ = static_cast<std::uint32_t>(key->timestamp());
            }
            // Alt+key is the key menu's before any widget's (the form's Qt shortcuts had it already).
            if (form && isAltChar(*key)) return AltKey(form, *key);
            if (alt && !key->isAutoRepeat()) AltPressed(form);
        } else if (alt && !key->isAutoRepeat()) {
            AltReleased(form, static_cast<std::uint32_t>(key->timestamp()));
        }
        return false;
    }
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* window = static_cast<QWidget*>(watched);
    if (!window->isWindow() || window->windowType() == Qt::Popup ||
        std::find(resending_.begin(), resending_.end(), event) != resending_.end())
        return false;
    // Every widget on the way left the key: the form has it first, then the toolbars.
    resending_.push_back(event);
    struct Pop {
        std::vector<const QEvent*>& list;
        ~Pop() { list.pop_back(); }
    } pop{resending_};
    QPointer<QWidget> alive(window);
    QCoreApplication::sendEvent(window, event);
    if (!event->isAccepted() && alive && Unhandled(FormOf(window), *key)) event->accept();
    return true;
}

}  // namespace tb
