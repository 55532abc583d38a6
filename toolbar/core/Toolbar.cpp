#include "toolbar/core/Toolbar.h"

#include <cctype>
#include <memory>

#include "toolbar/core/ItemRuntime.h"

namespace tb {

namespace {

bool docked(TTBDockType t) { return t == TTBDockType::TopBottom || t == TTBDockType::LeftRight; }

}  // namespace

TTBToolbarCore::TTBToolbarCore(Services services, bool designing)
    : TComponent(nullptr), services_(std::move(services)), designing_(designing), items_(new TTBRootItem(this)) {}

TTBToolbarCore::~TTBToolbarCore() {
    if (hookRegistered_) Hooks().UnregisterHookProc(&MdiAltKeyHook);
    ShortcutRouter().Leave(this);
}

bool TTBToolbarCore::MdiAltKeyHook(THookCode, void*, std::uintptr_t, std::intptr_t) { return false; }

void TTBToolbarCore::SetMenuBar(bool value) {
    if (value == menuBar_) return;
    menuBar_ = value;
    if (services_.menuBarChanged) services_.menuBarChanged(value);
    // Streamed settings win over the defaults of the mode.
    if (!Loading()) {
        if (services_.setFullSize) services_.setFullSize(value);
        SetShrinkMode(value ? TTBShrinkMode::tbsmWrap : TTBShrinkMode::tbsmChevron);
        if (services_.setCloseButton) services_.setCloseButton(!value);
        SetProcessShortCuts(value);
    }
    if (value != hookRegistered_) {
        if (value) Hooks().RegisterHookProc(&MdiAltKeyHook, HookCodeBit(THookCode::GetMessage), designing_);
        else Hooks().UnregisterHookProc(&MdiAltKeyHook);
        hookRegistered_ = value;
    }
    UpdateShortcutRegistration();
}

void TTBToolbarCore::SetShrinkMode(TTBShrinkMode value) {
    if (value == shrinkMode_) return;
    shrinkMode_ = value;
    const TTBDockType where = services_.dockType ? services_.dockType() : TTBDockType::NotDocked;
    if (docked(where)) {
        if (services_.relayoutDock) services_.relayoutDock();
    } else if (where != TTBDockType::Floating && services_.relayout) {
        services_.relayout();
    }
}

void TTBToolbarCore::SetProcessShortCuts(bool value) {
    if (value == processShortCuts_) return;
    processShortCuts_ = value;
    UpdateShortcutRegistration();
}

void TTBToolbarCore::SetFloatingWidth(int value) {
    if (value == floatingWidth_) return;
    floatingWidth_ = value;
    if (services_.dockType && services_.dockType() == TTBDockType::Floating && services_.relayout) services_.relayout();
}

void TTBToolbarCore::SetSystemFont(bool value) {
    if (value == systemFont_) return;
    systemFont_ = value;
    if (services_.relayout) services_.relayout();
}

void TTBToolbarCore::UpdateShortcutRegistration() {
    if ((processShortCuts_ || menuBar_) && !designing_) ShortcutRouter().Join(this);
    else ShortcutRouter().Leave(this);
}

bool TTBToolbarCore::EnabledAndShowing() const {
    return services_.enabledAndShowing ? services_.enabledAndShowing() : true;
}

bool TTBToolbarCore::KeyboardCues() const { return services_.keyboardCues && services_.keyboardCues(); }

void TTBToolbarCore::EnterLoop(TTBLoopOptions options) {
    if (services_.enterLoop) services_.enterLoop(options);
}

bool OpenViewByAccelerator(TTBView& view, char32_t key, bool primaryOnly, bool menuBar, bool cues,
                           const std::function<void(TTBLoopOptions)>& enterLoop) {
    // Back to the normal look however this ends (a click or the loop may raise, or free
    // the toolbar with its view).
    struct AccelRestore {
        TTBView& view;
        std::weak_ptr<const bool> alive;
        bool cues;
        ~AccelRestore() {
            if (!alive.expired()) view.ShowAccelerators(false, cues);
        }
    } restore{view, view.Alive(), cues};
    view.ShowAccelerators(true, cues);
    view.ValidatePositions();  // the search sees only viewers laid out as shown
    if (key == 0) {
        TTBItemViewer* first = view.FirstChoosable();
        if (!first) return false;
        view.ChooseCell(first);
        enterLoop(tbloPickFirst);
        return true;
    }
    bool onlyOne = false;
    TTBItemViewer* found = view.FindByKey(view.Selection(), key, onlyOne, primaryOnly);
    if (!found || !found->Item()->Enabled()) return false;
    const bool submenu = (found->Item()->ItemStyle() & tbstSubmenu) != 0;
    if (onlyOne && !submenu) {
        found->Item()->Click();
    } else if (onlyOne) {
        view.ChooseCell(found);
        enterLoop(tbloPopupMode | tbloPickFirst);
    } else if (menuBar) {
        // A shared accelerator: the first one is selected and the user goes on from there.
        view.ChooseCell(found);
        enterLoop(tbloPickFirst);
    }
    return true;
}

bool TTBToolbarCore::OpenByAccelerator(char32_t key, bool primaryOnly) {
    if (!view_) return false;
    return OpenViewByAccelerator(*view_, key, primaryOnly, menuBar_, KeyboardCues(),
                                 [this](TTBLoopOptions options) { EnterLoop(options); });
}

bool TTBToolbarCore::KeyMenu(char32_t key) {
    if (!menuBar_ || !EnabledAndShowing() || key == ' ') return false;
    if (services_.mouseCaptured && services_.mouseCaptured()) return false;
    if (OpenByAccelerator(key, false)) return true;
    // Alt+- with nothing to open belongs to the window's own menu.
    if (key == '-') return false;
    if (services_.beep) services_.beep();
    return true;
}

bool TTBToolbarCore::DialogChar(char32_t c) {
    if (menuBar_ || c == 0 || !EnabledAndShowing()) return false;
    return OpenByAccelerator(c, true);
}

void TTBToolbarCore::DialogKey(int virtualKey) {
    if (virtualKey == kAltVirtualKey && menuBar_ && view_) view_->ShowAccelerators(true, KeyboardCues());
}

TTBControlItem* TTBToolbarCore::FindControlItem(const TItemControl* control) const {
    for (int i = 0; i < items_->Count(); ++i)
        if (auto* c = dynamic_cast<TTBControlItem*>(items_->Items(i)); c && c->Control() == control) return c;
    return nullptr;
}

TTBControlItem* TTBToolbarCore::CreateControlItemFor(int index, TItemControl* control) {
    auto item = std::make_unique<TTBControlItem>(this, control);
    if (designing_) {
        // A designer shows the item under a name of its own: the first free number.
        auto taken = [this](const std::string& name) {
            for (const TComponent* c : Components())
                if (c->Name() == name) return true;
            return false;
        };
        int n = 1;
        while (taken("TBControlItem" + std::to_string(n))) ++n;
        item->SetName("TBControlItem" + std::to_string(n));
    }
    try {
        items_->Insert(index, item.get());
    } catch (...) {
        item->SetKeepControl(true);  // the caller still has its control
        throw;
    }
    return item.release();
}

void TTBToolbarCore::WrapChildControls(const std::vector<TItemControl*>& children) {
    for (TItemControl* c : children)
        if (c && !FindControlItem(c)) CreateControlItemFor(items_->Count(), c);
}

void TTBToolbarCore::ControlInserted(TItemControl* control) {
    if (!Loading() && control && !FindControlItem(control)) CreateControlItemFor(items_->Count(), control);
}

void TTBToolbarCore::ControlRemoved(TItemControl* control) {
    while (TTBControlItem* item = control ? FindControlItem(control) : nullptr) {
        item->SetKeepControl(true);
        delete item;
    }
}

const void* TTBToolbarCore::ShortcutForm() const { return services_.form ? services_.form() : nullptr; }

bool TTBToolbarCore::ShortcutFormEnabled() const { return services_.formEnabled ? services_.formEnabled() : true; }

bool TTBToolbarCore::DispatchShortcut(TShortCut key) {
    bool handled = false;
    if (OnShortCut) OnShortCut(key, handled);
    return handled || items_->RouteShortcut(key);
}

}  // namespace tb
