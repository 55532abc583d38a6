#pragma once
// The windowless half of a toolbar, which with MenuBar on is also the window's menu bar:
// its item tree, its published settings and their defaults, menu-bar mode, keyboard
// access by accelerator, the Alt+key and typed-character decisions, and its place in the
// shortcut routing. The ui's toolbar widget owns one, hosts the view over Items(), and
// supplies what needs a window through Services.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolbar/core/Hooks.h"
#include "toolbar/core/Item.h"
#include "toolbar/core/ShortcutRouter.h"
#include "toolbar/core/ToolbarSizing.h"
#include "toolbar/core/View.h"

namespace tb {

// The menu loop's start options.
using TTBLoopOptions = std::uint8_t;
constexpr TTBLoopOptions tbloStartedByMouse = 0x01, tbloPopupMode = 0x02, tbloPickFirst = 0x04;

// Opens the item of a toolbar's `view` with accelerator `key` (0: the first choosable item):
// a unique item without a submenu is clicked, a unique submenu opens with its first item, and
// a shared accelerator selects the first match on a menu bar only. False when nothing (or a
// disabled item) matches. `enterLoop` runs the view's menu loop with the options given.
bool OpenViewByAccelerator(TTBView& view, char32_t key, bool primaryOnly, bool menuBar, bool cues,
                           const std::function<void(TTBLoopOptions)>& enterLoop);

inline constexpr const char* kDefaultChevronHint = "More Buttons|";
// The position-data value that keeps FloatingWidth (read with default 0).
inline constexpr const char* kFloatingWidthValue = "FloatRightX";
constexpr int kAltVirtualKey = 0x12;

// Asked first for every shortcut routed to a toolbar; setting `handled` ends the routing.
using TShortCutEvent = std::function<void(TShortCut key, bool& handled)>;

class TTBToolbarCore : public TComponent, public ITBShortcutClient {
public:
    struct Services {
        std::function<TTBDockType()> dockType;  // where the toolbar is now
        std::function<void()> relayout;         // the toolbar's own layout
        std::function<void()> relayoutDock;     // the layout of the dock holding it
        std::function<void(bool)> setFullSize;
        std::function<void(bool)> setCloseButton;
        // Menu-bar mode switched: the widget's menu-events mark and the view's menu-bar look.
        std::function<void(bool)> menuBarChanged;
        // Runs the view's menu loop to its end and performs its result.
        std::function<void(TTBLoopOptions)> enterLoop;
        std::function<bool()> keyboardCues;       // the desktop always underlines accelerators
        std::function<bool()> enabledAndShowing;  // the widget is enabled and on screen
        std::function<bool()> mouseCaptured;      // some window holds the mouse
        std::function<void()> beep;
        std::function<const void*()> form;        // the form holding it (or its floating window)
        std::function<bool()> formEnabled;
    };

    // `designing`: a toolbar being edited in a designer; it answers no shortcuts and only
    // counts its hook registration.
    explicit TTBToolbarCore(Services services, bool designing = false);
    ~TTBToolbarCore() override;

    TTBRootItem& Items() { return *items_; }
    // The view showing Items(); set by the widget once it made it (nullptr before). The
    // widget frees its view before this core.
    void SetView(TTBView* view) { view_ = view; }
    TTBView* View() const { return view_; }

    // The root item's settings, under the toolbar's names.
    IImageSource* Images() const { return items_->SubMenuImages(); }
    void SetImages(IImageSource* value) { items_->SetSubMenuImages(value); }
    TTBItemOptions Options() const { return items_->Options(); }
    void SetOptions(TTBItemOptions value) { items_->SetOptions(value); }
    TTBCustomItem* LinkSubitems() const { return items_->LinkSubitems(); }
    void SetLinkSubitems(TTBCustomItem* value) { items_->SetLinkSubitems(value); }

    bool MenuBar() const { return menuBar_; }
    // Outside loading, also sets FullSize, ShrinkMode (wrap for a menu bar), CloseButton
    // and ProcessShortCuts to what a menu bar, resp. a toolbar, wants.
    void SetMenuBar(bool value);
    TTBShrinkMode ShrinkMode() const { return shrinkMode_; }
    void SetShrinkMode(TTBShrinkMode value);
    bool ProcessShortCuts() const { return processShortCuts_; }
    void SetProcessShortCuts(bool value);
    int FloatingWidth() const { return floatingWidth_; }
    void SetFloatingWidth(int value);
    bool SystemFont() const { return systemFont_; }
    void SetSystemFont(bool value);
    bool UpdateActions() const { return updateActions_; }
    void SetUpdateActions(bool value) { updateActions_ = value; }
    const std::string& ChevronHint() const { return chevronHint_; }
    void SetChevronHint(const std::string& value) { chevronHint_ = value; }
    // Whether form storage writes ChevronHint (only when it is not the default).
    bool ChevronHintStored() const { return chevronHint_ != kDefaultChevronHint; }
    TShortCutEvent OnShortCut;

    // One control item per child control of the toolbar's widget. The ui calls
    // WrapChildControls once loaded, ControlInserted and ControlRemoved as children come
    // and go.
    TTBControlItem* FindControlItem(const TItemControl* control) const;
    TTBControlItem* CreateControlItemFor(int index, TItemControl* control);
    void WrapChildControls(const std::vector<TItemControl*>& children);
    void ControlInserted(TItemControl* control);
    // The control stays: only the items that wrapped it go.
    void ControlRemoved(TItemControl* control);

    bool HookRegistered() const { return hookRegistered_; }
    bool ShortcutsRegistered() const { return ShortcutRouter().Listed(this); }

    // Opens the item whose accelerator is `key` (0: the first selectable item) through the
    // view's menu loop; PrimaryOnly: only accelerators count, not first letters. False
    // when nothing (enabled) answers. The accelerators go back to their normal look on
    // every way out, exceptions too.
    bool OpenByAccelerator(char32_t key, bool primaryOnly);
    // Alt+key (the system's key menu; key 0 for Alt alone or F10): true when the key was
    // handled, so nothing else may act on it.
    bool KeyMenu(char32_t key);
    // A character no control used, for a toolbar that is not the menu bar.
    bool DialogChar(char32_t c);
    // A dialog key on its way: the menu bar underlines its accelerators while Alt is down.
    void DialogKey(int virtualKey);

    // The shortcut routing's questions.
    const void* ShortcutForm() const override;
    bool ShortcutFormEnabled() const override;
    bool AnswersShortcuts() const override { return processShortCuts_; }
    bool DispatchShortcut(TShortCut key) override;

    // What a menu bar registers for its form's Alt+key hook. There are no multiple-document
    // child windows here, so it consumes nothing.
    static bool MdiAltKeyHook(THookCode code, void* window, std::uintptr_t wParam, std::intptr_t lParam);

private:
    void UpdateShortcutRegistration();
    bool EnabledAndShowing() const;
    bool KeyboardCues() const;
    void EnterLoop(TTBLoopOptions options);

    Services services_;
    bool designing_;
    TTBRootItem* items_;  // owned through Component
    TTBView* view_ = nullptr;
    bool menuBar_ = false;
    TTBShrinkMode shrinkMode_ = TTBShrinkMode::tbsmChevron;
    bool processShortCuts_ = false;
    int floatingWidth_ = 0;
    bool systemFont_ = true;
    bool updateActions_ = true;
    std::string chevronHint_ = kDefaultChevronHint;
    bool hookRegistered_ = false;
};

}  // namespace tb
