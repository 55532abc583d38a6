#include "toolbar/core/ShortcutRouter.h"

#include <algorithm>

#include "toolbar/core/ItemRuntime.h"

namespace tb {

TTBShortcutRouter::TTBShortcutRouter(Installer install, Uninstaller uninstall)
    : install_(std::move(install)), uninstall_(std::move(uninstall)) {}

TTBShortcutRouter::~TTBShortcutRouter() {
    if (installed_ && uninstall_) uninstall_();
}

bool TTBShortcutRouter::Listed(const ITBShortcutClient* client) const {
    return std::find(clients_.begin(), clients_.end(), client) != clients_.end();
}

void TTBShortcutRouter::Join(ITBShortcutClient* client) {
    if (!client || Listed(client)) return;
    clients_.push_back(client);
    if (!installed_) {
        installed_ = true;
        if (install_) install_();
    }
}

void TTBShortcutRouter::Leave(ITBShortcutClient* client) {
    auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it == clients_.end()) return;
    clients_.erase(it);
    if (clients_.empty() && installed_) {
        installed_ = false;
        if (uninstall_) uninstall_();
    }
}

bool TTBShortcutRouter::AskForm(TShortCut key, const void* form) {
    // A handler may free toolbars or add new ones: walk a copy and skip the departed.
    const std::vector<ITBShortcutClient*> snapshot = clients_;
    for (ITBShortcutClient* c : snapshot) {
        if (!Listed(c) || !c->AnswersShortcuts() || c->ShortcutForm() != form || !c->ShortcutFormEnabled()) continue;
        bool handled = false;
        if (!Guarded([&] { handled = c->DispatchShortcut(key); })) return true;
        if (handled) return true;
    }
    return false;
}

bool TTBShortcutRouter::KeyDown(TShortCut key, const void* activeForm, const void* mainForm) {
    if (key == 0) return false;
    if (activeForm && AskForm(key, activeForm)) return true;
    return mainForm && mainForm != activeForm && AskForm(key, mainForm);
}

namespace {
TTBShortcutRouter::Installer gInstall;
TTBShortcutRouter::Uninstaller gUninstall;
}  // namespace

TTBShortcutRouter& ShortcutRouter() {
    // Never destroyed: at exit the ui that installed the hook may be gone already.
    static TTBShortcutRouter* router =
        new TTBShortcutRouter([] { if (gInstall) gInstall(); }, [] { if (gUninstall) gUninstall(); });
    return *router;
}

void SetShortcutHookInstaller(TTBShortcutRouter::Installer install, TTBShortcutRouter::Uninstaller uninstall) {
    gInstall = std::move(install);
    gUninstall = std::move(uninstall);
}

}  // namespace tb
