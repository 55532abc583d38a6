#include "toolbar/core/View.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "toolbar/core/ItemCells.h"

namespace tb {

void TTBItemViewer::SelectionEntered() {
    if (item_->OnSelect) item_->OnSelect(item_, this, true);
}

void TTBItemViewer::SelectionLeft() {
    if (item_->OnSelect) item_->OnSelect(item_, this, false);
}

TTBChevronItem::TTBChevronItem(TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(ItemStyle() | tbstSubmenu | tbstNoAutoOpen);
    SetHint("More Buttons|");
}

bool TTBItemViewer::InButtonPart(int x, int) const {
    TViewerPlace place{view_.ForToolbar(), view_.Orientation};
    return tb::InButtonPart(*item_, place, BoundsRect.Width(), x, view_.Host().Metrics());
}

TPoint TTBItemViewer::MeasureSize(const TViewerPlace& place, const TTextMetrics& metrics,
                                  std::optional<TImageSize> images) const {
    return MeasureItem(*item_, place, metrics, images);
}

void TTBItemViewer::KeyDown(int&, bool) {}

void TTBItemViewer::MouseMove(int, int) {}

void TTBItemViewer::MouseWheel(int, int, int) {}

TTBCursor TTBItemViewer::CursorFor(int, int) const { return TTBCursor::Arrow; }

void TTBItemViewer::Repaint() { view_.RepaintCell(this); }

TPoint TTBSeparatorItemViewer::MeasureSize(const TViewerPlace& place, const TTextMetrics& metrics,
                                           std::optional<TImageSize>) const {
    return MeasureSeparator(*Item(), place, metrics);
}

// The items' viewer classes live here, where the viewers are complete.
TTBViewerClass TTBCustomItem::ViewerClass(const TTBView&) const { return &MakeViewer<TTBItemViewer>; }

TTBViewerClass TTBSeparatorItem::ViewerClass(const TTBView&) const { return &MakeViewer<TTBSeparatorItemViewer>; }

// An item that answers no class, or a class that makes nothing, still gets a viewer: the
// view's cells are never null.
std::unique_ptr<TTBItemViewer> TTBView::NewViewer(TTBCustomItem* item) {
    TTBViewerClass make = item->ViewerClass(*this);
    std::unique_ptr<TTBItemViewer> viewer = make ? make(*this, item) : nullptr;
    return viewer ? std::move(viewer) : std::make_unique<TTBItemViewer>(*this, item);
}

TTBView::TTBView(ITBViewHost& host, TTBCustomItem* baseItem, TTBView* openerView, bool forToolbar, bool trackRecentUse)
    : host_(host), baseItem_(baseItem), openerView_(openerView), forToolbar_(forToolbar),
      trackRecentUse_(trackRecentUse) {
    if (baseItem_) {
        baseItem_->AddChangeListener(this);
        Watch(baseItem_);
    }
    SetShownItem();
    RebuildCells();
}

TTBView::~TTBView() {
    // A popup that closed from a toolbar: the next one opens there without animating (the
    // user is moving along the bar), until the toolbar's next loop.
    if (openerView_ && openerView_->ForToolbar()) openerView_->ViewFlags |= vsNoAnimation;
    CloseSubmenus();
    if (shownItem_) shownItem_->RemoveChangeListener(this);
    if (baseItem_) baseItem_->RemoveChangeListener(this);
}

void TTBView::SetShownItem() {
    TTBCustomItem* shown = baseItem_ ? baseItem_->EffectiveLink() : nullptr;
    if (shown == shownItem_) return;
    if (shownItem_ && shownItem_ != baseItem_) shownItem_->RemoveChangeListener(this);
    shownItem_ = shown;
    if (shownItem_ && shownItem_ != baseItem_) {
        shownItem_->AddChangeListener(this);
        Watch(shownItem_);
    }
}

int TTBView::IndexOf(const TTBItemViewer* viewer) const {
    for (std::size_t i = 0; i < cells_.size(); ++i)
        if (cells_[i].get() == viewer) return int(i);
    return -1;
}

TTBItemViewer* TTBView::Find(const TTBCustomItem* item) const {
    for (const auto& c : cells_)
        if (c->Item() == item) return c.get();
    return nullptr;
}

void TTBView::RebuildCells() {
    CloseSubmenus();
    ChooseCell(nullptr);
    positionsValid_ = false;
    recentUse_.clear();
    cells_.clear();
    for (TTBCustomItem* item : CellItemsOf(shownItem_, false)) {
        cells_.push_back(NewViewer(item));
        if (trackRecentUse_) recentUse_.push_back(cells_.back().get());
    }
    AppendChevronViewer();
}

// The chevron's viewer stays last, after every item's, and never enters the priority list.
void TTBView::AppendChevronViewer() {
    if (chevron_ && shownItem_) cells_.push_back(NewViewer(chevron_));
}

void TTBView::SetChevronItem(TTBChevronItem* chevron) {
    if (chevron == chevron_) return;
    chevron_ = chevron;
    RebuildCells();
    ValidatePositions();
}

// Brings the viewers in line with the items, keeping the viewers of items that stay (so
// the selection survives an insertion); `leaving` is an item being deleted.
void TTBView::SyncCells(const TTBCustomItem* leaving) {
    positionsValid_ = false;
    std::vector<TTBCustomItem*> items = CellItemsOf(shownItem_, false);
    if (leaving) {
        std::vector<TTBCustomItem*> gone = CellItemsOf(const_cast<TTBCustomItem*>(leaving), false);
        gone.push_back(const_cast<TTBCustomItem*>(leaving));
        std::erase_if(items, [&](TTBCustomItem* i) { return std::find(gone.begin(), gone.end(), i) != gone.end(); });
    }
    if (chevron_) items.push_back(chevron_);
    std::vector<std::unique_ptr<TTBItemViewer>> old;
    old.swap(cells_);
    for (TTBCustomItem* item : items) {
        auto it = std::find_if(old.begin(), old.end(), [&](const auto& v) { return v && v->Item() == item; });
        if (it != old.end()) {
            cells_.push_back(std::move(*it));
        } else {
            cells_.push_back(NewViewer(item));
            if (trackRecentUse_ && item != chevron_) recentUse_.push_back(cells_.back().get());
        }
    }
    for (auto& v : old)
        if (v) RemoveViewer(v.get());
}

void TTBView::RemoveViewer(TTBItemViewer* viewer) {
    if (selection_ == viewer) selection_ = nullptr;
    if (popupOpener_ == viewer) CloseSubmenus();
    std::erase(recentUse_, viewer);
}

void TTBView::ForgetLayout() {
    if (!positionsValid_) return;
    positionsValid_ = false;
    host_.RepaintAll();
}

void TTBView::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) ValidatePositions();
}

void TTBView::ValidatePositions() {
    if (updateCount_ > 0 || positionsValid_ || (baseItem_ && baseItem_->Loading())) return;
    const TViewerPlace place{forToolbar_, Orientation};
    const TTextMetrics metrics = host_.Metrics();
    std::vector<TLayoutCell> cells;
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        const TTBItemViewer& v = *cells_[i];
        TLayoutCell cell = MeasureCell(v, place, metrics, host_.ImageSizeFor(v));
        auto at = std::find(recentUse_.begin(), recentUse_.end(), &v);
        cell.priority = at == recentUse_.end() ? -1 : int(at - recentUse_.begin());
        if (v.Item() == chevron_) cell.kind = TLayoutCell::Kind::Chevron;
        if (ChevronSourceView) {  // only what the toolbar hid, and the separators between
            const auto& source = ChevronSourceView->Cells();
            const bool hidden = i < source.size() && source[i]->HiddenByChevron;
            if (cell.kind == TLayoutCell::Kind::Control || (cell.kind != TLayoutCell::Kind::Separator && !hidden))
                cell.visible = false;
        }
        cells.push_back(cell);
    }
    TLayoutParams params;
    params.toolbarView = forToolbar_;
    params.orientation = Orientation;
    params.wrapLength = WrapLength;
    params.heightLimit = HeightLimit;
    params.scrollPos = ScrollPos;
    params.chevronLimit = ChevronLimit;
    params.chevronLength = chevron_ ? TTBChevronItem::kChevronLength : 0;
    params.chevronPopup = ChevronSourceView != nullptr;
    layout_ = ComputeLayout(cells, params);
    if (chevron_ && params.chevronLimit > 0) chevron_->SetEnabled(layout_.chevronEnabled);
    ScrollPos = layout_.scrollPos;
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        TTBItemViewer& v = *cells_[i];
        v.BoundsRect = cells[i].rect;
        v.IsShown = cells[i].shown;
        v.HiddenByChevron = cells[i].hiddenByChevron;
        v.OutsideScroll = cells[i].outsideScroll;
        v.LineBreak = cells[i].lineBreak;
    }
    positionsValid_ = true;
    host_.FitHost(layout_.newSize);
    host_.RepaintAll();
}

void TTBView::RepaintCell(TTBItemViewer* viewer) {
    if (positionsValid_ && viewer && viewer->IsShown && !viewer->BoundsRect.IsEmpty())
        host_.RepaintRect(viewer->BoundsRect);
}

void TTBView::ChooseCell(TTBItemViewer* viewer) {
    if (viewer == selection_) return;
    TTBItemViewer* old = selection_;
    if (old) old->SelectionLeft();
    selection_ = viewer;
    if (old && (old->Item()->ItemStyle() & tbstRedrawOnSelChange)) RepaintCell(old);
    if (viewer) {
        if (viewer->Item()->ItemStyle() & tbstRedrawOnSelChange) RepaintCell(viewer);
        viewer->SelectionEntered();
    }
}

TTBItemViewer* TTBView::Choosable(TTBItemViewer* from, bool forward, bool skipDontSelectFirst) {
    const int n = int(cells_.size());
    if (n == 0) return nullptr;
    int start = from ? IndexOf(from) : (forward ? -1 : n);
    for (int step = 1; step <= n; ++step) {
        int i = ((start + (forward ? step : -step)) % n + n) % n;
        TTBItemViewer* v = cells_[std::size_t(i)].get();
        TTBCustomItem* item = v->Item();
        if (!(v->IsShown || v->OutsideScroll) || !item->Visible() || !(item->ItemStyle() & tbstSelectable)) continue;
        if (skipDontSelectFirst && (item->ItemStyle() & tbstDontSelectFirst)) continue;
        return v;
    }
    return nullptr;
}

TTBItemViewer* TTBView::NextChoosable(TTBItemViewer* from, bool forward) {
    ValidatePositions();
    return Choosable(from, forward, false);
}

TTBItemViewer* TTBView::FirstChoosable() {
    ValidatePositions();
    TTBItemViewer* v = Choosable(nullptr, true, true);
    return v ? v : Choosable(nullptr, true, false);
}

TTBItemViewer* TTBView::CellAt(TPoint p) const {
    for (const auto& c : cells_)
        if (c->IsShown && c->BoundsRect.Contains(p)) return c.get();
    return nullptr;
}

void TTBView::MarkRecentlyUsed(TTBItemViewer* viewer) {
    if (ChevronSourceView && viewer) {  // the toolbar's own viewer of the item gains priority
        const int i = IndexOf(viewer);
        const auto& source = ChevronSourceView->Cells();
        if (i >= 0 && std::size_t(i) < source.size()) ChevronSourceView->MarkRecentlyUsed(source[std::size_t(i)].get());
        return;
    }
    if (!trackRecentUse_ || !viewer) return;
    std::erase(recentUse_, viewer);
    recentUse_.insert(recentUse_.begin(), viewer);
    if (viewer->HiddenByChevron) positionsValid_ = false;
    ValidatePositions();
    if (openerView_ && openerView_->popupOpener_) openerView_->MarkRecentlyUsed(openerView_->popupOpener_);
}

bool TTBView::OpenSubmenu(bool pickFirst) {
    if (selection_ != popupOpener_ || !popup_) {
        CloseSubmenus();
        TTBItemViewer* sel = selection_;
        if (sel && sel->Item()->Enabled() && (sel->Item()->ItemStyle() & tbstSubmenu)) {
            popup_ = host_.OpenPopup(*this, *sel, pickFirst);
            if (popup_) {
                popupOpener_ = sel;
                RepaintCell(sel);  // a toolbar button shows pushed while its menu is open
            }
        }
    }
    return popup_ != nullptr;
}

void TTBView::CloseSubmenus() {
    if (!popup_) return;
    popup_->PopupView().CloseSubmenus();
    std::unique_ptr<ITBPopupHandle> closing = std::move(popup_);
    TTBItemViewer* opener = popupOpener_;
    popupOpener_ = nullptr;
    closing.reset();
    RepaintCell(opener);
}

void TTBView::ShowAccelerators(bool wanted, bool systemCues) {
    bool shown = wanted || !(ViewOptions & tbvoHideAccelsUntilKeyboard) || systemCues;
    if (shown == AcceleratorsShown()) return;
    ViewFlags = shown ? (ViewFlags | vsShowAccels) : (ViewFlags & ~vsShowAccels);
    for (const auto& c : cells_)
        if (AcceleratorCharOf(c->Item()->Caption())) RepaintCell(c.get());
}

TTBItemViewer* TTBView::FindByKey(TTBItemViewer* start, char32_t c, bool& isOnlyOne, bool primaryOnly) {
    isOnlyOne = false;
    const int n = int(cells_.size());
    if (n == 0) return nullptr;
    const char32_t key = FoldCase(c);
    const TViewerPlace place{forToolbar_, Orientation};
    auto matches = [&](TTBItemViewer* v, bool accelPass) {
        std::string caption = DisplayCaption(*v->Item());
        char32_t accel = AcceleratorCharOf(caption);
        if (accelPass) return accel != 0 && FoldCase(accel) == key;
        std::string shown = StripAccelerators(caption);
        std::size_t at = 0;
        return accel == 0 && key != ' ' && !shown.empty() && FoldCase(NextCodePoint(shown, at)) == key;
    };
    auto search = [&](TTBItemViewer* from, bool accelPass, bool enabled) -> TTBItemViewer* {
        int s = from ? IndexOf(from) : -1;
        for (int step = 1; step <= n; ++step) {
            TTBItemViewer* v = cells_[std::size_t((s + step) % n)].get();
            TTBCustomItem* item = v->Item();
            if (!(v->IsShown || v->OutsideScroll) || !item->Visible() || !(item->ItemStyle() & tbstSelectable)) continue;
            // An accelerator counts only where its caption shows (not on an image-only button).
            if (!CaptionVisible(*item, place)) continue;
            if (item->Enabled() != enabled || !matches(v, accelPass)) continue;
            return v;
        }
        return nullptr;
    };
    for (bool accelPass : {true, false}) {
        if (!accelPass && primaryOnly) break;
        if (TTBItemViewer* v = search(start, accelPass, true)) {
            isOnlyOne = search(v, accelPass, true) == v;
            return v;
        }
        if (TTBItemViewer* v = search(start, accelPass, false)) {
            isOnlyOne = true;
            return v;
        }
    }
    return nullptr;
}

void TTBView::ScrollByOneItem(bool down) {
    ValidatePositions();
    const int band = kScrollBandHeight;
    bool found = false;
    int best = down ? INT32_MAX : INT32_MIN;
    for (const auto& c : cells_) {
        if (!c->OutsideScroll || (c->Item()->ItemStyle() & tbstSeparator)) continue;
        if (down && c->BoundsRect.bottom > HeightLimit - band) best = std::min(best, c->BoundsRect.bottom), found = true;
        if (!down && c->BoundsRect.top < band) best = std::max(best, c->BoundsRect.top), found = true;
    }
    if (!found) ScrollPos = down ? INT32_MAX / 2 : 0;  // only separators beyond the edge: to the end
    else ScrollPos += down ? best + band - HeightLimit : -(band - best);
    positionsValid_ = false;
    ValidatePositions();
}

void TTBView::ScrollSelectionIntoView() {
    ValidatePositions();
    if (!selection_ || !selection_->OutsideScroll) return;
    const TRect& r = selection_->BoundsRect;
    if (r.top < kScrollBandHeight) ScrollPos -= kScrollBandHeight - r.top;
    else if (r.bottom > HeightLimit - kScrollBandHeight) ScrollPos += r.bottom + kScrollBandHeight - HeightLimit;
    positionsValid_ = false;
    ValidatePositions();
}

TTBView* TTBView::RootView() {
    TTBView* v = this;
    while (v->openerView_) v = v->openerView_;
    return v;
}

TTBView* TTBView::RootToolbarView() {
    for (TTBView* v = this; v; v = v->openerView_)
        if (v->forToolbar_) return v;
    return nullptr;
}

bool TTBView::IsAncestorOf(const TTBView* view) const {
    for (const TTBView* v = view; v; v = v->openerView_)
        if (v == this) return true;
    return false;
}

void TTBView::ItemNotification(TTBCustomItem* sender, bool, TTBChangeKind kind, TTBCustomItem* item, int) {
    if (sender == baseItem_ && baseItem_ != shownItem_ && kind != TTBChangeKind::LinkChanged &&
        kind != TTBChangeKind::SubMenuImagesChanged)
        return;  // of the base item only its link and submenu images matter
    switch (kind) {
    case TTBChangeKind::Inserted:
        SyncCells(nullptr);
        break;
    case TTBChangeKind::Deleting:
        SyncCells(item);
        break;
    case TTBChangeKind::LinkChanged:
        if (sender == baseItem_) {
            TTBCustomItem* before = shownItem_;
            SetShownItem();
            if (shownItem_ == before && sender != shownItem_) return;  // the same items stay shown
            RebuildCells();
            // The newly shown items take their actions' present state (their idle update
            // may not have run while they were not shown).
            std::vector<TTBCustomItem*> shown;
            if (host_.Showing())
                for (const auto& c : cells_) shown.push_back(c->Item());
            for (TTBCustomItem* item : shown) item->UpdateFromAction();
        } else {
            RebuildCells();
        }
        break;
    case TTBChangeKind::BeginUpdate:
        ++updateCount_;
        return;
    case TTBChangeKind::EndUpdate:
        if (updateCount_ > 0) --updateCount_;
        break;
    case TTBChangeKind::RepaintItem:
        for (const auto& c : cells_)
            if (c->Item() == item) RepaintCell(c.get());
        return;
    case TTBChangeKind::SubMenuImagesChanged:
        // The open popups take their images from up this chain: they measure again too.
        for (TTBView* v = this; v; v = v->PopupViewOpen()) {
            v->ForgetLayout();
            v->positionsValid_ = false;
            v->ValidatePositions();
        }
        return;
    case TTBChangeKind::PositionsInvalid:
    case TTBChangeKind::RecreateViewers:
        ForgetLayout();
        positionsValid_ = false;
        break;
    case TTBChangeKind::NameChanged:
        return;
    }
    ValidatePositions();
}

void TTBView::NotifierFreed(TNotifier* source) {
    if (source == shownItem_) shownItem_ = nullptr;
    if (source == baseItem_) baseItem_ = nullptr;
    if (!shownItem_) {
        CloseSubmenus();
        selection_ = popupOpener_ = nullptr;
        recentUse_.clear();
        cells_.clear();
    }
}

}  // namespace tb
