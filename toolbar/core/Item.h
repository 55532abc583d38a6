#pragma once
// The item model: the tree of command items that toolbars, menu bars and popup menus
// show. An item owns an ordered list of children (an item with children is a submenu);
// views register as listeners and are told of every change. Items know nothing about
// drawing.
//
// Lifetime: an item is freed by its owner component (or by whoever created it without
// one); freeing an item frees its children. Delete and Remove only unlink.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolbar/core/Component.h"
#include "toolbar/core/Errors.h"
#include "toolbar/core/ItemSources.h"
#include "toolbar/core/ShortCut.h"

namespace tb {

class ETBItemError : public ETBError {
public:
    using ETBError::ETBError;
};

inline constexpr const char* kItemIndexOutOfRange = "Toolbar item index out of range";
inline constexpr const char* kItemAlreadyInserted = "Toolbar item already inserted";
inline constexpr const char* kItemInsertedIntoItself = "Toolbar item cannot be inserted into itself or its subitems";

enum class TTBChangeKind : std::uint8_t {
    Inserted = 0,
    Deleting = 1,
    LinkChanged = 2,
    BeginUpdate = 3,
    EndUpdate = 4,
    RepaintItem = 5,
    PositionsInvalid = 6,
    RecreateViewers = 7,
    NameChanged = 8,
    SubMenuImagesChanged = 9,
};

using TTBItemStyle = std::uint16_t;
constexpr TTBItemStyle tbstSubmenu = 0x0001, tbstSelectable = 0x0002, tbstSeparator = 0x0004,
                       tbstEmbedded = 0x0008, tbstNoClick = 0x0010, tbstCombo = 0x0020, tbstNoAutoOpen = 0x0040,
                       tbstSubmenuItem = 0x0080, tbstNoLineBreak = 0x0100, tbstRightAlign = 0x0200,
                       tbstDontSelectFirst = 0x0400, tbstRedrawOnSelChange = 0x0800,
                       tbstRedrawOnMouseOverChange = 0x1000;

using TTBItemOptions = std::uint16_t;
constexpr TTBItemOptions tboDefault = 0x0001, tboDropdownArrow = 0x0002, tboImageAboveCaption = 0x0004,
                         tboLongHintInMenuOnly = 0x0008, tboNoAutoHint = 0x0010, tboNoRotation = 0x0020,
                         tboSameWidth = 0x0040, tboShowHint = 0x0080, tboToolbarStyle = 0x0100,
                         tboToolbarSize = 0x0200;

enum class TTBItemDisplayMode : std::uint8_t { nbdmDefault, nbdmTextOnly, nbdmTextOnlyInMenus, nbdmImageAndText };

class TTBCustomItem;
class TTBItemViewer;  // belongs to the views
class TTBView;
// Makes an item's viewer in a view (MakeViewer<V> makes a V).
using TTBViewerClass = std::unique_ptr<TTBItemViewer> (*)(TTBView& view, TTBCustomItem* item);

// A view (or anything else) told of the changes of one item's child list.
class ITBItemChangeListener {
public:
    virtual ~ITBItemChangeListener() = default;
    // `sender` is the item that changed; `relayed` when it is not the item registered with.
    virtual void ItemNotification(TTBCustomItem* sender, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                                  int index) = 0;
};

using TNotifyEvent = std::function<void(TTBCustomItem* sender)>;
using TTBPopupEvent = std::function<void(TTBCustomItem* sender, bool fromLink)>;
using TTBSelectEvent = std::function<void(TTBCustomItem* sender, TTBItemViewer* viewer, bool selecting)>;

class TTBCustomItemActionLink;
class TTBImageChangeLink;

class TTBCustomItem : public TComponent {
public:
    explicit TTBCustomItem(TComponent* owner);
    ~TTBCustomItem() override;

    // Linked action (not owned); its values are copied in and follow its changes.
    IActionSource* Action() const;
    void SetAction(IActionSource* action);

    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& value);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    TTBItemDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TTBItemDisplayMode value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int value);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& value) { hint_ = value; }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    IImageSource* Images() const { return images_; }
    void SetImages(IImageSource* value);
    IImageSource* SubMenuImages() const { return subMenuImages_; }
    void SetSubMenuImages(IImageSource* value);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut value) { shortCut_ = value; }
    bool Visible() const { return visible_; }
    void SetVisible(bool value);

    TTBItemOptions Options() const { return options_; }
    void SetOptions(TTBItemOptions value);
    TTBItemOptions MaskOptions() const { return maskOptions_; }
    void SetMaskOptions(TTBItemOptions value);
    bool InheritOptions() const { return inheritOptions_; }
    void SetInheritOptions(bool value);
    TTBItemOptions OptionsInForce() const { return optionsInForce_; }

    // When set, a submenu of this item shows that item's children instead of its own.
    TTBCustomItem* LinkSubitems() const { return linkSubitems_; }
    void SetLinkSubitems(TTBCustomItem* value);
    TTBCustomItem* EffectiveLink() { return linkSubitems_ ? linkSubitems_ : this; }
    const std::vector<TTBCustomItem*>& LinkingItems() const { return linkingItems_; }

    TTBItemStyle ItemStyle() const { return itemStyle_; }

    // OnClick; an action's execute handler counts as assigned.
    void SetOnClick(TNotifyEvent handler);
    bool OnClickAssigned() const { return bool(onClick_) || onClickIsActions_; }
    TTBPopupEvent OnPopup;
    TTBSelectEvent OnSelect;

    // Children.
    TTBCustomItem* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TTBCustomItem* Items(int index) const;
    void Add(TTBCustomItem* item) { Insert(Count(), item); }
    void Insert(int index, TTBCustomItem* item);
    void Delete(int index);
    int IndexOf(const TTBCustomItem* item) const;
    void Remove(TTBCustomItem* item);
    void Move(int fromIndex, int toIndex);

    // Listeners, counted: registering one again raises its use count.
    void AddChangeListener(ITBItemChangeListener* listener);
    void RemoveChangeListener(ITBItemChangeListener* listener);
    void Notify(TTBCustomItem* ancestor, TTBChangeKind kind, TTBCustomItem* item, int index);

    virtual void NotifyChanged(bool needResize);
    // The submenu is about to open: OnPopup, then Click unless this is a split button.
    virtual void FirePopup(TTBCustomItem* sender, bool fromLink);
    virtual void EnabledSwitched();
    virtual void Click();
    // Lets the action recompute its state (the idle update of that action).
    virtual void UpdateFromAction();
    // The class of this item's viewers in `view` (defined with the viewers).
    virtual TTBViewerClass ViewerClass(const TTBView& view) const;

    std::string ShortcutDisplayText() const;
    std::string HintWithShortCut() const;

    // Dispatches a keyboard shortcut through this (root) item's tree: opens the levels on
    // the way as a menu would, then clicks the match. True when an enabled match clicked.
    bool RouteShortcut(TShortCut shortCut);

protected:
    void SetItemStyle(TTBItemStyle style) { itemStyle_ = style; }
    void Loaded() override;
    void NameChanged() override;
    void NotifierFreed(TNotifier* source) override;

private:
    friend class TTBCustomItemActionLink;
    struct ListenerEntry;

    void RecalcOptionsInForce();
    void TurnSiblingsOff();
    void ActionChange(IActionSource* action, bool checkDefaults);
    void ImageListChanged(TTBImageChangeLink* link, bool sizeChanged);
    void EndUpdateAfter(const std::function<void()>& body);
    void ReleaseLinkTarget();

    std::unique_ptr<TTBCustomItemActionLink> actionLink_;
    bool autoCheck_ = false;
    std::string caption_;
    bool checked_ = false;
    TTBItemDisplayMode displayMode_ = TTBItemDisplayMode::nbdmDefault;
    bool enabled_ = true;
    TTBItemOptions optionsInForce_ = 0;
    int groupIndex_ = 0;
    int helpContext_ = 0;
    std::string hint_;
    int imageIndex_ = -1;
    IImageSource* images_ = nullptr;
    std::unique_ptr<TTBImageChangeLink> imageChangeLink_;
    std::vector<TTBCustomItem*> children_;
    TTBItemStyle itemStyle_ = tbstSelectable | tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange;
    std::vector<TTBCustomItem*> linkingItems_;
    TTBItemOptions maskOptions_ = 0;
    TTBItemOptions options_ = 0;
    bool inheritOptions_ = true;
    std::vector<std::shared_ptr<ListenerEntry>> listeners_;
    TNotifyEvent onClick_;
    bool onClickIsActions_ = false;
    TTBCustomItem* parent_ = nullptr;
    TShortCut shortCut_ = 0;
    IImageSource* subMenuImages_ = nullptr;
    std::unique_ptr<TTBImageChangeLink> subMenuImageChangeLink_;
    TTBCustomItem* linkSubitems_ = nullptr;
    bool visible_ = true;
};

class TTBItem : public TTBCustomItem {
public:
    using TTBCustomItem::TTBCustomItem;
};

// Holds the items of a popup menu, toolbar or menu bar.
class TTBRootItem : public TTBCustomItem {
public:
    using TTBCustomItem::TTBCustomItem;
};

class TTBSubmenuItem : public TTBCustomItem {
public:
    explicit TTBSubmenuItem(TComponent* owner);
    // A split button: the button part clicks, the arrow opens the submenu.
    bool DropdownCombo() const { return (ItemStyle() & tbstCombo) != 0; }
    void SetDropdownCombo(bool value);
};

class TTBSeparatorItem : public TTBCustomItem {
public:
    explicit TTBSeparatorItem(TComponent* owner);
    bool Blank() const { return blank_; }
    void SetBlank(bool value);
    TTBViewerClass ViewerClass(const TTBView& view) const override;

private:
    bool blank_ = false;
};

class TTBControlItem : public TTBCustomItem {
public:
    explicit TTBControlItem(TComponent* owner);
    TTBControlItem(TComponent* owner, TItemControl* control);
    // Frees the control unless the toolbar keeps it or it comes from an ancestor form.
    ~TTBControlItem() override;

    TItemControl* Control() const { return control_; }
    void SetControl(TItemControl* value);
    void SetKeepControl(bool keep) { keepControl_ = keep; }

protected:
    void NotifierFreed(TNotifier* source) override;

private:
    TItemControl* control_ = nullptr;
    bool keepControl_ = false;
};

// GetShortHint: the part of a hint before its first bar.
std::string ShortHint(const std::string& hint);
// GetLongHint: the part after the first bar, or the whole hint when it has none.
std::string LongHint(const std::string& hint);
// Whether hints name the action's shortcut (the application's setting; default True).
void SetHintShortCuts(bool on);

// How many times RouteShortcut starts again from the root before it gives up, and how
// many LinkSubitems hops its search follows.
constexpr int kMaxRouteRestarts = 25;
constexpr int kMaxShortCutLinks = 25;

}  // namespace tb
