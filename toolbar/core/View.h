#pragma once
// A view: the viewers one window shows for one item level (a toolbar line set, a menu
// bar, one popup menu level). It listens to the item tree, keeps one viewer per shown item,
// lays them out, keeps the selection and the chain of popups opened from it. Drawing and
// windows belong to the host (the ui layer); the view itself has no window.
#include <memory>
#include <optional>
#include <vector>

#include "toolbar/core/Layout.h"

namespace tb {

class TTBView;
struct TTBLoopState;

// The pointer a viewer asks for while the mouse is over it in a menu loop.
enum class TTBCursor { Arrow, IBeam, PointingHand, Cross, SizeHorizontal, SizeVertical };

// The button at the end of a shortened toolbar: its submenu lists the items the chevron
// hid (the popup's view filters its source view's items, see ChevronSourceView).
class TTBChevronItem : public TTBCustomItem {
public:
    static constexpr int kChevronLength = 12;
    explicit TTBChevronItem(TComponent* owner);
    TTBView* SourceView = nullptr;  // the toolbar view whose hidden items the popup shows
};

// One item as one view shows it. Items with a look or behaviour of their own answer a
// subclass from ViewerClass; the ui paints those derived from its TTBPaintedItemViewer
// through their own Paint.
class TTBItemViewer {
public:
    TTBItemViewer(TTBView& view, TTBCustomItem* item) : view_(view), item_(item) {}
    virtual ~TTBItemViewer() = default;
    TTBView& View() const { return view_; }
    TTBCustomItem* Item() const { return item_; }

    TRect BoundsRect;  // in the host's client coordinates
    bool IsShown = false;
    bool HiddenByChevron = false;
    bool OutsideScroll = false;
    bool LineBreak = false;

    // The cell's size; `place` rather than the view's own, since a toolbar sizes itself for
    // orientations it is not in yet.
    virtual TPoint MeasureSize(const TViewerPlace& place, const TTextMetrics& metrics,
                               std::optional<TImageSize> images) const;
    virtual void SelectionEntered();
    virtual void SelectionLeft();
    // X and Y relative to the viewer's top-left.
    virtual bool InButtonPart(int x, int y) const;
    // A key reaches the selected viewer before its view; setting it to 0 keeps it from the view.
    virtual void KeyDown(int& key, bool shift);
    // The menu loop's mouse, X and Y relative to the viewer's top-left; a point that is not
    // over the view's window comes as kNowhere. The base press and release are the
    // buttons' and menu rows' own (they live with the loop, MenuLoop.cpp).
    static constexpr int kNowhere = -0x40000000;
    virtual void MouseDown(bool doubleClick, int x, int y, TTBLoopState& loop);
    virtual void MouseMove(int x, int y);
    virtual void MouseUp(int x, int y, TTBLoopState& loop);
    virtual void MouseWheel(int delta, int x, int y);
    // The pointer over (x, y) while selected; the base keeps the arrow.
    virtual TTBCursor CursorFor(int x, int y) const;
    // Asks the view to paint this viewer again.
    virtual void Repaint();

private:
    TTBView& view_;
    TTBCustomItem* item_;
};

class TTBSeparatorItemViewer : public TTBItemViewer {
public:
    using TTBItemViewer::TTBItemViewer;
    TPoint MeasureSize(const TViewerPlace& place, const TTextMetrics& metrics,
                       std::optional<TImageSize> images) const override;
};

template <class V>
std::unique_ptr<TTBItemViewer> MakeViewer(TTBView& view, TTBCustomItem* item) {
    return std::make_unique<V>(view, item);
}

// An open popup window; freeing it closes the window (and its view).
class ITBPopupHandle {
public:
    virtual ~ITBPopupHandle() = default;
    virtual TTBView& PopupView() = 0;
};

// What a view needs from the window showing it.
class ITBViewHost {
public:
    virtual ~ITBViewHost() = default;
    virtual TTextMetrics Metrics() const = 0;
    // The image size of the list a viewer's item draws from, when it has one.
    virtual std::optional<TImageSize> ImageSizeFor(const TTBItemViewer& viewer) const = 0;
    virtual void RepaintRect(const TRect& rect) = 0;
    virtual void RepaintAll() = 0;
    virtual void FitHost(TPoint clientSize) = 0;
    // Opens the popup of `opener`'s submenu item beside it; nullptr when nothing opened.
    virtual std::unique_ptr<ITBPopupHandle> OpenPopup(TTBView& view, TTBItemViewer& opener, bool pickFirst) = 0;
    // Whether the window is on the screen. A view not shown yet (its program still building
    // its windows) leaves its items' actions alone: their handlers may need what is not
    // built yet, and the program's own update comes before the window shows.
    virtual bool Showing() const { return true; }
};

// ViewFlags bits.
enum : std::uint8_t {
    vsMenuLoop = 0x01,
    vsMouseInWindow = 0x02,
    vsDrawInOrder = 0x04,
    vsOppositePopup = 0x08,
    vsIgnoreFirstMouseUp = 0x10,
    vsShowAccels = 0x20,
    vsDropDownMenus = 0x40,
    vsNoAnimation = 0x80,
};
// ViewOptions bits.
enum : std::uint8_t { tbvoHideAccelsUntilKeyboard = 0x01, tbvoAlwaysShowHints = 0x02 };

class TTBView : public ITBItemChangeListener, public TObserver {
public:
    TTBView(ITBViewHost& host, TTBCustomItem* baseItem, TTBView* openerView, bool forToolbar, bool trackRecentUse = false);
    ~TTBView() override;
    TTBView(const TTBView&) = delete;
    TTBView& operator=(const TTBView&) = delete;

    ITBViewHost& Host() const { return host_; }
    TTBCustomItem* BaseItem() const { return baseItem_; }
    TTBCustomItem* ShownItem() const { return shownItem_; }
    bool ForToolbar() const { return forToolbar_; }
    bool ForPopup() const { return !forToolbar_; }
    TTBView* OpenerView() const { return openerView_; }
    // Expires when the view goes: the menu loop and the hosts check it after handlers ran.
    std::weak_ptr<const bool> Alive() const { return alive_; }
    TTBView* PopupViewOpen() const { return popup_ ? &popup_->PopupView() : nullptr; }
    TTBItemViewer* PopupOpener() const { return popupOpener_; }
    const std::vector<std::unique_ptr<TTBItemViewer>>& Cells() const { return cells_; }
    // The viewers by recent use, most recent first (empty unless the view tracks it).
    const std::vector<TTBItemViewer*>& RecentUse() const { return recentUse_; }
    int IndexOf(const TTBItemViewer* viewer) const;
    TTBItemViewer* Find(const TTBCustomItem* item) const;

    // Layout settings; a change takes effect at the next validation.
    TTBViewOrientation Orientation = TTBViewOrientation::Horizontal;
    int WrapLength = 0;
    int HeightLimit = 0;
    TRect ScreenArea;  // a popup's: the monitor area it and its submenus stay in
    int ScrollPos = 0;
    int ChevronLimit = 0;
    std::uint8_t ViewFlags = 0;
    std::uint8_t ViewOptions = 0;
    // A press on a toolbar-style button is followed until its release; PointerOnSelection:
    // the mouse is over the pressed button part (the button paints pushed).
    bool PressTracked = false;
    bool PointerOnSelection = false;
    // A chevron popup's toolbar view: only the viewers it hid by chevron show here.
    TTBView* ChevronSourceView = nullptr;
    // The toolbar's chevron, shown after the items when they do not fit ChevronLimit.
    void SetChevronItem(TTBChevronItem* chevron);
    TTBChevronItem* ChevronItem() const { return chevron_; }
    const TLayoutResult& LastLayout() const { return layout_; }

    void InvalidatePositions() { positionsValid_ = false; }
    void ForgetLayout();
    void ValidatePositions();
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    void RebuildCells();
    void RepaintCell(TTBItemViewer* viewer);

    TTBItemViewer* Selection() const { return selection_; }
    void ChooseCell(TTBItemViewer* viewer);
    TTBItemViewer* FirstChoosable();
    TTBItemViewer* NextChoosable(TTBItemViewer* from, bool forward);
    TTBItemViewer* CellAt(TPoint clientPoint) const;
    void MarkRecentlyUsed(TTBItemViewer* viewer);

    // Opens the selection's popup (closing another first); true when a popup is open.
    bool OpenSubmenu(bool pickFirst);
    void CloseSubmenus();
    void ShowAccelerators(bool wanted, bool systemCues);
    bool AcceleratorsShown() const { return (ViewFlags & vsShowAccels) != 0; }

    // Type-ahead: the next viewer whose accelerator (first pass) or first letter (second
    // pass, not with primaryOnly) is `c`; `isOnlyOne` when typing it again would find the same one.
    TTBItemViewer* FindByKey(TTBItemViewer* start, char32_t c, bool& isOnlyOne, bool primaryOnly = false);
    // Popups taller than their limit: scrolls by one item, or to show the selection.
    void ScrollByOneItem(bool down);
    void ScrollSelectionIntoView();

    TTBView* RootView();
    TTBView* RootToolbarView();
    bool IsAncestorOf(const TTBView* view) const;

    void ItemNotification(TTBCustomItem* sender, bool relayed, TTBChangeKind kind, TTBCustomItem* item,
                          int index) override;
    void NotifierFreed(TNotifier* source) override;

private:
    void SetShownItem();
    void SyncCells(const TTBCustomItem* leaving);
    std::unique_ptr<TTBItemViewer> NewViewer(TTBCustomItem* item);
    void RemoveViewer(TTBItemViewer* viewer);
    TTBItemViewer* Choosable(TTBItemViewer* from, bool forward, bool skipDontSelectFirst);
    void AppendChevronViewer();

    ITBViewHost& host_;
    TTBCustomItem* baseItem_;
    TTBCustomItem* shownItem_ = nullptr;
    TTBView* openerView_;
    bool forToolbar_;
    bool trackRecentUse_;
    std::vector<std::unique_ptr<TTBItemViewer>> cells_;
    std::vector<TTBItemViewer*> recentUse_;  // most recent first
    TTBItemViewer* selection_ = nullptr;
    TTBItemViewer* popupOpener_ = nullptr;
    std::unique_ptr<ITBPopupHandle> popup_;
    TLayoutResult layout_;
    int updateCount_ = 0;
    bool positionsValid_ = false;
    TTBChevronItem* chevron_ = nullptr;
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

}  // namespace tb
