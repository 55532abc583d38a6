#pragma once
// The process-wide list of toolbars that answer keyboard shortcuts of their form. A key
// that nothing else in the application used is offered to the toolbars of the active
// form, then to those of the main form; the first toolbar that handles it ends the
// search. While any toolbar is listed, one application-wide hook (installed by the ui)
// feeds the keys in; the first toolbar to join installs it, the last to leave removes it.
// GUI thread only.
#include <functional>
#include <vector>

#include "toolbar/core/ShortCut.h"

namespace tb {

class ITBShortcutClient {
public:
    virtual ~ITBShortcutClient() = default;
    // The form that holds the toolbar, or owns its floating window; opaque here.
    virtual const void* ShortcutForm() const = 0;
    virtual bool ShortcutFormEnabled() const = 0;
    // Listed toolbars are asked only while this holds (a menu bar may be listed without).
    virtual bool AnswersShortcuts() const = 0;
    // True when the toolbar used the key.
    virtual bool DispatchShortcut(TShortCut key) = 0;
};

class TTBShortcutRouter {
public:
    using Installer = std::function<void()>;
    using Uninstaller = std::function<void()>;
    TTBShortcutRouter(Installer install, Uninstaller uninstall);
    ~TTBShortcutRouter();
    TTBShortcutRouter(const TTBShortcutRouter&) = delete;
    TTBShortcutRouter& operator=(const TTBShortcutRouter&) = delete;

    // Joining twice, or leaving unlisted, changes nothing.
    void Join(ITBShortcutClient* client);
    void Leave(ITBShortcutClient* client);
    bool Listed(const ITBShortcutClient* client) const;
    int UseCount() const { return int(clients_.size()); }
    bool HookInstalled() const { return installed_; }

    // A key-down nobody took: true when a toolbar of `activeForm` (then of `mainForm`)
    // handled it. A toolbar that leaves while the key is routed is not asked any more. An
    // exception from a toolbar goes to the library's handler and counts as handled, so
    // the key never runs a second command.
    bool KeyDown(TShortCut key, const void* activeForm, const void* mainForm);

private:
    bool AskForm(TShortCut key, const void* form);

    Installer install_;
    Uninstaller uninstall_;
    std::vector<ITBShortcutClient*> clients_;
    bool installed_ = false;
};

// The GUI thread's router; the ui gives it the hook's installer before the first toolbar.
TTBShortcutRouter& ShortcutRouter();
void SetShortcutHookInstaller(TTBShortcutRouter::Installer install, TTBShortcutRouter::Uninstaller uninstall);

}  // namespace tb
