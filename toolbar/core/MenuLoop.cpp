#include "toolbar/core/MenuLoop.h"

#include <algorithm>

namespace tb {

namespace {
constexpr int kAltKey = 0x12, kF10 = 0x79;

bool isSubmenu(const TTBItemViewer* v) { return v && (v->Item()->ItemStyle() & tbstSubmenu); }
bool isSplit(const TTBItemViewer* v) { return v && (v->Item()->ItemStyle() & tbstCombo); }
bool horizontal(const TTBView& v) { return v.Orientation != TTBViewOrientation::Vertical; }
}  // namespace

TTBMenuLoop::TTBMenuLoop(TTBView& root, const ITBScreenPlacement& screen, Services services, bool rightButtonToo)
    : root_(root), rootAlive_(root.Alive()), screen_(screen), services_(std::move(services)),
      rightButtonToo_(rightButtonToo), state_{root, false, false, {}} {}

TTBMenuLoop::~TTBMenuLoop() {
    if (services_.DisarmTimer) services_.DisarmTimer();
    if (services_.disarmScrollTimer) services_.disarmScrollTimer();
    if (!rootAlive_.expired()) {
        root_.ViewFlags &= std::uint8_t(~vsMenuLoop);
        root_.PressTracked = false;
    }
    if (services_.setHint) services_.setHint("");
}

TTBView& TTBMenuLoop::Innermost() const {
    TTBView* v = &root_;
    while (v->PopupViewOpen()) v = v->PopupViewOpen();
    return *v;
}

void TTBMenuLoop::Start(bool startedByMouse, bool popupMode, bool pickFirst, TPoint mouse) {
    root_.ValidatePositions();
    root_.ViewFlags = std::uint8_t((root_.ViewFlags & ~vsDropDownMenus) | (popupMode ? vsDropDownMenus : 0) | vsMenuLoop);
    lastMouse_ = mouse;
    if (startedByMouse && root_.Selection()) {
        const TPoint p = ViewerPoint(*root_.Selection(), mouse);
        root_.Selection()->MouseDown(false, p.x, p.y, state_);
        if (Done()) return;
    }
    if (popupMode) root_.OpenSubmenu(pickFirst);
}

TTBView* TTBMenuLoop::TrackingView() const {
    for (TTBView* v = &root_; v; v = v->PopupViewOpen())
        if (v->PressTracked) return v;
    return nullptr;
}

TPoint TTBMenuLoop::ToClient(const TTBView& view, TPoint s) const {
    TRect r = screen_.ClientOnScreen(view);
    return {s.x - r.left, s.y - r.top};
}

bool TTBMenuLoop::Over(const TTBView& view, TPoint s) const { return screen_.ClientOnScreen(view).Contains(s); }

TTBMenuLoop::Hit TTBMenuLoop::HitTest(TPoint s) const {
    Hit hit;
    for (TTBView* v = &Innermost(); v; v = v->OpenerView()) {
        if (!Over(*v, s)) continue;
        hit.view = v;
        hit.viewer = v->CellAt(ToClient(*v, s));
        break;
    }
    return hit;
}

void TTBMenuLoop::Select(TTBView& view, TTBItemViewer* viewer) {
    view.ChooseCell(viewer);
    if (view.ForPopup()) view.ScrollSelectionIntoView();
}

void TTBMenuLoop::MouseMoved(TPoint s, bool mayChoose) {
    if (RootGone()) return;
    if (TTBView* t = TrackingView()) {  // a held button keeps the selection; it shows pushed while under the mouse
        TTBItemViewer* sel = t->Selection();
        const TPoint c = ToClient(*t, s);
        const bool on = sel && Over(*t, s) && sel->BoundsRect.Contains(c) &&
                        sel->InButtonPart(c.x - sel->BoundsRect.left, c.y - sel->BoundsRect.top);
        if (on != t->PointerOnSelection) {
            t->PointerOnSelection = on;
            t->RepaintCell(sel);
        }
        return;
    }
    if (timerView_ && !InChain(timerView_)) timerView_ = nullptr;  // its popup closed meanwhile
    std::vector<TTBView*> over;
    bool onBand = false;
    int delay = -1;  // the desktop's submenu delay, read once a move
    for (TTBView* v = &Innermost(); v; v = v->OpenerView()) {
        if (ScrollBands(*v, s)) {
            onBand = true;
            continue;
        }
        const bool isOver = Over(*v, s);
        const bool wasOver = std::find(mouseWasOver_.begin(), mouseWasOver_.end(), v) != mouseWasOver_.end();
        if (isOver) over.push_back(v);
        TTBItemViewer* candidate = v->Selection();
        if (isOver && (mayChoose || candidate)) candidate = v->CellAt(ToClient(*v, s));
        if (v->ForPopup() && !isOver && wasOver && (!v->PopupViewOpen() || !isSubmenu(candidate))) candidate = nullptr;
        if (v->ForPopup() && isOver && v->OpenerView()) {  // back on the open popup: its opener stays
            v->OpenerView()->ChooseCell(v->OpenerView()->PopupOpener());
            if (timerView_ == v->OpenerView()) StopTimer();
        }
        if (v->ForPopup() && !isOver && v->PopupViewOpen() && candidate == v->PopupOpener()) candidate = v->Selection();
        const TTBItemViewer* before = v->Selection();
        if (isOver || v->ForPopup()) v->ChooseCell(candidate);
        const bool selectionChanged = v->Selection() != before;
        if (!isOver || v->Selection() == v->PopupOpener() || !(v->PopupViewOpen() || isSubmenu(v->Selection())))
            continue;
        if (v->ForToolbar()) {
            if (v->ViewFlags & vsDropDownMenus) v->OpenSubmenu(false);
        } else if (timerView_ != v || selectionChanged) {
            // Resting on one item, the mouse's small moves must not put its submenu off.
            timerView_ = v;
            if (delay < 0) delay = services_.showDelay ? services_.showDelay() : kDefaultShowDelayMs;
            if (services_.ArmTimer) services_.ArmTimer(delay);
        }
    }
    if (!onBand && scrollView_) {
        scrollView_ = nullptr;
        if (services_.disarmScrollTimer) services_.disarmScrollTimer();
    }
    mouseWasOver_ = over;
    UpdateHint();
    if (!services_.setCursor || RootGone()) return;
    TTBCursor cursor = TTBCursor::Arrow;  // the innermost selection chooses
    for (TTBView* v = &Innermost(); v; v = v->OpenerView()) {
        if (!v->Selection()) continue;
        const TPoint p = ViewerPoint(*v->Selection(), s);
        cursor = v->Selection()->CursorFor(p.x, p.y);
        break;
    }
    services_.setCursor(cursor);
}

TTBView* TTBMenuLoop::InChain(const TTBView* view) const {
    TTBView* v = &root_;
    while (v && v != view) v = v->PopupViewOpen();
    return v;
}

// The bands of a scrolled popup scroll it while the mouse rests on them.
bool TTBMenuLoop::ScrollBands(TTBView& v, TPoint s) {
    if (!v.ForPopup() || !Over(v, s)) return false;
    const TLayoutResult& l = v.LastLayout();
    const int y = ToClient(v, s).y;
    const bool up = l.upBandShown && y < kScrollBandHeight;
    const bool down = l.downBandShown && y >= l.newSize.y - kScrollBandHeight;
    if (!up && !down) return false;
    if (scrollView_ != &v || scrollDown_ != down) {
        scrollView_ = &v;
        scrollDown_ = down;
        if (services_.armScrollTimer) services_.armScrollTimer(kScrollIntervalMs);
    }
    return true;
}

void TTBMenuLoop::ScrollTimerElapsed() {
    TTBView* v = RootGone() ? nullptr : InChain(scrollView_);
    const TLayoutResult* l = v ? &v->LastLayout() : nullptr;
    if (!v || !(scrollDown_ ? l->downBandShown : l->upBandShown)) {
        scrollView_ = nullptr;
        if (services_.disarmScrollTimer) services_.disarmScrollTimer();
        return;
    }
    v->ScrollByOneItem(scrollDown_);
}

void TTBMenuLoop::StopTimer() {
    timerView_ = nullptr;
    if (services_.DisarmTimer) services_.DisarmTimer();
}

void TTBMenuLoop::TimerElapsed() {
    // The view that asked may have closed meanwhile: act only on one still in the chain.
    TTBView* v = RootGone() ? nullptr : InChain(timerView_);
    StopTimer();
    if (!v) return;
    if (v->Selection() != v->PopupOpener()) {
        v->CloseSubmenus();
        if (v->Selection() && v->Selection()->Item()->Enabled()) v->OpenSubmenu(false);
    }
}

// Windows appearing or moving under a resting mouse report moves too: only a change of
// position counts.
void TTBMenuLoop::MouseMove(TPoint s) {
    if (lastMouse_ && lastMouse_->x == s.x && lastMouse_->y == s.y) return;
    lastMouse_ = s;
    MouseMoved(s, true);
    if (RootGone()) return;
    if (TTBItemViewer* v = ViewerFound(s)) {
        const TPoint p = ViewerPoint(*v, s);
        v->MouseMove(p.x, p.y);
    }
}

bool TTBMenuLoop::MousePress(TPoint s, bool right, bool doubleClick) {
    if (RootGone()) return false;
    if (right && !rightButtonToo_) return true;
    Hit hit = HitTest(s);
    if (!hit.view) {
        End();  // a press outside the chain ends the loop and goes on to its window
        return false;
    }
    state_.mouseDownOnOpen = false;
    root_.ViewFlags &= std::uint8_t(~vsIgnoreFirstMouseUp);
    MouseMoved(s, true);
    if (RootGone()) return false;
    hit = HitTest(s);
    if (hit.view == &root_ && root_.ForToolbar()) {
        // On the toolbar itself only a press on an item goes on in the loop; elsewhere the
        // loop ends and the toolbar's window gets the press.
        TTBItemViewer* sel = root_.Selection();
        if (!sel || sel != hit.viewer || (sel->Item()->ItemStyle() & tbstNoClick)) {
            End();
            return false;
        }
    }
    if (hit.viewer && hit.viewer == hit.view->Selection()) {
        const TPoint p = ViewerPoint(*hit.viewer, s);
        hit.viewer->MouseDown(doubleClick, p.x, p.y, state_);
    }
    return true;
}

void TTBMenuLoop::MouseRelease(TPoint s, bool right) {
    if (RootGone()) return;
    if (right && !rightButtonToo_) return;
    MouseMoved(s, false);
    if (RootGone()) return;
    if (TTBView* t = TrackingView(); t && t->Selection()) {  // the held button hears its release wherever it is
        const TPoint p = ViewerPoint(*t->Selection(), s);
        t->Selection()->MouseUp(p.x, p.y, state_);
        return;
    }
    Hit hit = HitTest(s);
    if (hit.viewer && hit.viewer == hit.view->Selection()) {
        const TPoint p = ViewerPoint(*hit.viewer, s);
        hit.viewer->MouseUp(p.x, p.y, state_);
        return;
    }
    if (hit.view && !(hit.view == &root_ && root_.ForToolbar())) return;  // over a popup's empty part
    if (root_.ViewFlags & vsIgnoreFirstMouseUp) {
        root_.ViewFlags &= std::uint8_t(~vsIgnoreFirstMouseUp);
        return;
    }
    End();
}

namespace {
// A double click on a submenu item runs the default item of the popup it opened.
void clickDefaultItem(TTBView& popup, TTBLoopState& loop) {
    for (const auto& c : popup.Cells()) {
        TTBCustomItem* item = c->Item();
        if (!c->IsShown || !(item->Options() & tboDefault) || !(item->ItemStyle() & tbstSelectable) ||
            !item->Enabled() || !item->Visible())
            continue;
        popup.MarkRecentlyUsed(c.get());
        loop.result = {TTBLoopResult::Kind::ClickItem, item, nullptr, 0, loop.root.ForPopup() || &popup != &loop.root, 0};
        loop.done = true;
        return;
    }
}
}  // namespace

void TTBItemViewer::MouseDown(bool doubleClick, int x, int y, TTBLoopState& loop) {
    TTBView& view = View();
    TTBCustomItem* item = Item();
    const TViewerPlace place{view.ForToolbar(), view.Orientation};
    if (!item->Enabled()) {
        if (&view == &loop.root && ButtonLook(*item, place)) loop.done = true;
        return;
    }
    if (InButtonPart(x, y)) {
        if (!ButtonLook(*item, place)) return;  // menu rows act on release
        if (&view == view.RootToolbarView()) view.ViewFlags &= std::uint8_t(~vsDropDownMenus);
        view.CloseSubmenus();
        view.PressTracked = true;
        view.PointerOnSelection = true;
        Repaint();
        return;
    }
    const bool wasFollowing = (view.ViewFlags & vsDropDownMenus) != 0;
    if (!view.OpenSubmenu(false)) return;
    if (view.ForToolbar()) {
        if (&view == view.RootToolbarView() && wasFollowing) loop.mouseDownOnOpen = true;
        view.ViewFlags |= vsDropDownMenus;
    }
    if (doubleClick && !isSplit(this) && view.PopupViewOpen()) clickDefaultItem(*view.PopupViewOpen(), loop);
}

void TTBItemViewer::MouseUp(int x, int y, TTBLoopState& loop) {
    TTBView& view = View();
    TTBCustomItem* item = Item();
    const bool tracked = view.PressTracked;
    view.PressTracked = view.PointerOnSelection = false;
    if (tracked) Repaint();
    const bool rootToolbar = &view == &loop.root && view.ForToolbar();
    const bool buttonPart = InButtonPart(x, y);
    const bool buttonLook = ButtonLook(*item, {view.ForToolbar(), view.Orientation});
    const bool inside = x >= 0 && y >= 0 && x < BoundsRect.Width() && y < BoundsRect.Height();
    if (item->Enabled() && !(item->ItemStyle() & tbstNoClick) && inside) {
        if (!isSubmenu(this) || (isSplit(this) && buttonPart)) {
            if (buttonLook && !tracked) return;  // a button clicks only on the release of its own press
            view.MarkRecentlyUsed(this);
            loop.result = {TTBLoopResult::Kind::ClickItem, item, nullptr, 0, !rootToolbar, 0};
            loop.done = true;
        } else if (rootToolbar && loop.mouseDownOnOpen) {
            loop.done = true;
        }
        return;
    }
    if (rootToolbar) loop.done = true;
}

TPoint TTBMenuLoop::ViewerPoint(const TTBItemViewer& viewer, TPoint s) const {
    if (!Over(viewer.View(), s)) return {TTBItemViewer::kNowhere, TTBItemViewer::kNowhere};
    const TPoint c = ToClient(viewer.View(), s);
    return {c.x - viewer.BoundsRect.left, c.y - viewer.BoundsRect.top};
}

TTBItemViewer* TTBMenuLoop::ViewerFound(TPoint s) const {
    if (TTBView* t = TrackingView()) return t->Selection();
    for (TTBView* v = &root_; v; v = v->PopupViewOpen())
        if (TTBItemViewer* sel = v->Selection(); sel && Over(*v, s) && sel->BoundsRect.Contains(ToClient(*v, s))) return sel;
    return nullptr;
}

void TTBMenuLoop::MouseWheel(TPoint s, int delta) {
    if (RootGone()) return;
    if (TTBItemViewer* v = ViewerFound(s)) {
        const TPoint p = ViewerPoint(*v, s);
        v->MouseWheel(delta, p.x, p.y);
    }
}

bool TTBMenuLoop::KeyDown(int key, bool shift) {
    if (RootGone()) return false;
    TTBView& v = Innermost();
    if (TTBItemViewer* sel = v.Selection()) {
        const std::weak_ptr<const bool> alive = v.Alive();  // the viewer may close its own popup
        sel->KeyDown(key, shift);
        if (RootGone() || alive.expired()) return true;
        if (key == 0) {
            UpdateHint();
            return true;
        }
    }
    bool used = ViewKeyDown(v, key, shift);
    UpdateHint();
    return used;
}

bool TTBMenuLoop::ViewKeyDown(TTBView& v, int key, bool shift) {
    TTBView* r = v.RootToolbarView();
    switch (key) {
    case vk::Tab:
        Select(v, v.NextChoosable(v.Selection(), !shift));
        return true;
    case vk::Return:
        if (v.Selection() && v.Selection()->Item()->Enabled()) ExecuteSelection(v);
        else End();
        return true;
    case kAltKey:
    case kF10:
        End();
        return true;
    case vk::Escape:
        if (&v == &root_) {
            End();
        } else if (TTBView* parent = v.OpenerView()) {
            parent->CloseSubmenus();  // this popup closes
            if (parent->ForToolbar()) parent->ViewFlags &= std::uint8_t(~vsDropDownMenus);
            if (escapeReachingRootEnds_ && parent == &root_) End();
        }
        return true;
    case vk::Home:
    case vk::End:
        Select(v, v.NextChoosable(nullptr, key == vk::Home));
        return true;
    case vk::Left:
    case vk::Right:
        if (&v == r && !horizontal(v)) {
            if (v.OpenSubmenu(true)) v.ViewFlags |= vsDropDownMenus;
        } else {
            LeftRight(v, key == vk::Left);
        }
        return true;
    case vk::Up:
    case vk::Down:
        if (&v == r && horizontal(v)) {
            if (v.OpenSubmenu(true)) v.ViewFlags |= vsDropDownMenus;
        } else {
            Select(v, v.NextChoosable(v.Selection(), key == vk::Down));
        }
        return true;
    case vk::F1: {
        // The nearest selected item's topic up the chain; an item that has none there leaves
        // the menu open (a program gives its menus a topic to have F1 answer in them).
        int context = 0;
        for (TTBView* w = &v; w && !context; w = w->OpenerView())
            if (w->Selection()) context = w->Selection()->Item()->HelpContext();
        if (context == 0) return true;
        state_.result = {TTBLoopResult::Kind::Help, nullptr, nullptr, context, false, 0};
        End();
        return true;
    }
    default:
        return false;
    }
}

void TTBMenuLoop::LeftRight(TTBView& v, bool left) {
    TTBView* r = v.RootToolbarView();
    const bool noToolbar = !r || !horizontal(*r);
    if (left) {
        if (noToolbar) {
            if (&v != &root_ && v.OpenerView()) v.OpenerView()->CloseSubmenus();
            return;
        }
        if (&v == r || v.OpenerView() == r) MoveOnRoot(*r, false);
        else if (v.OpenerView()) v.OpenerView()->CloseSubmenus();
        return;
    }
    if (v.ForPopup() && v.OpenSubmenu(true)) return;
    if (noToolbar) return;
    MoveOnRoot(*r, true);
}

void TTBMenuLoop::MoveOnRoot(TTBView& r, bool forward) {
    r.ChooseCell(r.NextChoosable(r.Selection(), forward));
    if ((r.ViewFlags & vsDropDownMenus) && r.Selection() && !(r.Selection()->Item()->ItemStyle() & tbstNoAutoOpen))
        r.OpenSubmenu(true);
    else
        r.CloseSubmenus();
}

void TTBMenuLoop::ExecuteSelection(TTBView& v) {
    TTBItemViewer* sel = v.Selection();
    if (isSubmenu(sel) && !isSplit(sel)) {
        if (v.OpenSubmenu(true) && v.ForToolbar()) v.ViewFlags |= vsDropDownMenus;
        return;
    }
    if (!(sel->Item()->ItemStyle() & tbstSelectable)) {
        End();
        return;
    }
    v.MarkRecentlyUsed(sel);
    state_.result = {TTBLoopResult::Kind::ClickItem, sel->Item(), nullptr, 0, &v != &root_ || root_.ForPopup(), 0};
    End();
}

void TTBMenuLoop::Char(char32_t c) {
    if (RootGone()) return;
    TTBView& v = Innermost();
    bool only = false;
    if (TTBItemViewer* found = v.FindByKey(v.Selection(), c, only)) {
        Select(v, found);
        if (only) ViewKeyDown(v, vk::Return, false);
    } else if ((c == ' ' || c == '-') && &v == &root_ && root_.ForToolbar() && !root_.PopupViewOpen() &&
               services_.activeWindow && services_.activeWindow()) {
        state_.result = {TTBLoopResult::Kind::SystemMenu, nullptr, services_.activeWindow(), 0, false, char(c)};
        End();
    } else if (services_.beep) {
        services_.beep();
    }
    UpdateHint();
}

void TTBMenuLoop::UpdateHint() {
    if (!services_.setHint || RootGone()) return;
    TTBView& v = Innermost();
    services_.setHint(v.Selection() ? LongHint(v.Selection()->Item()->Hint()) : "");
}

}  // namespace tb
