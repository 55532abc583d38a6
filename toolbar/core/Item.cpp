// The item tree: children, listeners, the property setters and their notifications.
#include "toolbar/core/Item.h"

#include <algorithm>

#include "toolbar/core/ItemLinks.h"
#include "toolbar/core/ItemRuntime.h"

namespace tb {

struct TTBCustomItem::ListenerEntry {
    ITBItemChangeListener* listener;
    int uses;
    bool removed = false;
};

TTBCustomItem::TTBCustomItem(TComponent* owner) : TComponent(owner) {}

TTBCustomItem::~TTBCustomItem() {
    MarkDestroying();
    ForgetPendingClick(this);
    // Whatever refers to this item (linking items, link targets, recent lists) lets go
    // while the item is still whole.
    NotifyObserversFreed();
    // The views of this item heard of its end just now: they are not told of each child.
    for (auto& e : listeners_) e->removed = true;
    listeners_.clear();
    while (!children_.empty()) delete children_.back();  // each child unlinks itself
    if (parent_) parent_->Remove(this);
    ReleaseLinkTarget();
    for (TTBCustomItem* linking : std::vector<TTBCustomItem*>(linkingItems_)) linking->linkSubitems_ = nullptr;
    linkingItems_.clear();
    actionLink_.reset();
    imageChangeLink_.reset();
    subMenuImageChangeLink_.reset();
}

TTBCustomItem* TTBCustomItem::Items(int index) const {
    if (index < 0 || index >= Count()) throw ETBItemError(kItemIndexOutOfRange);
    return children_[static_cast<std::size_t>(index)];
}

int TTBCustomItem::IndexOf(const TTBCustomItem* item) const {
    auto it = std::find(children_.begin(), children_.end(), item);
    return it == children_.end() ? -1 : static_cast<int>(it - children_.begin());
}

void TTBCustomItem::EndUpdateAfter(const std::function<void()>& body) {
    try {
        Notify(this, TTBChangeKind::BeginUpdate, nullptr, -1);
        body();
    } catch (...) {
        // The views' update count must come back down whatever happened.
        Notify(this, TTBChangeKind::EndUpdate, nullptr, -1);
        throw;
    }
    Notify(this, TTBChangeKind::EndUpdate, nullptr, -1);
}

void TTBCustomItem::Insert(int index, TTBCustomItem* item) {
    if (!item) return;
    if (item->parent_) throw ETBItemError(kItemAlreadyInserted);
    // The tree stays a tree: an item never becomes its own descendant.
    for (const TTBCustomItem* p = this; p; p = p->parent_)
        if (p == item) throw ETBItemError(kItemInsertedIntoItself);
    if (index < 0 || index > Count()) throw ETBItemError(kItemIndexOutOfRange);
    children_.insert(children_.begin() + index, item);
    item->parent_ = this;
    EndUpdateAfter([&] {
        Notify(this, TTBChangeKind::Inserted, item, index);
        item->RecalcOptionsInForce();
    });
}

void TTBCustomItem::Delete(int index) {
    TTBCustomItem* item = Items(index);
    Notify(this, TTBChangeKind::Deleting, item, index);
    // A listener may have moved things: unlink the item wherever it is now.
    int at = IndexOf(item);
    if (at < 0) return;
    item->parent_ = nullptr;
    children_.erase(children_.begin() + at);
}

void TTBCustomItem::Remove(TTBCustomItem* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
}

void TTBCustomItem::Move(int fromIndex, int toIndex) {
    if (fromIndex == toIndex) return;
    // Both are checked before the views hear of an update that could not end well.
    if (fromIndex < 0 || fromIndex >= Count() || toIndex < 0 || toIndex >= Count())
        throw ETBItemError(kItemIndexOutOfRange);
    EndUpdateAfter([&] {
        TTBCustomItem* item = Items(fromIndex);
        Delete(fromIndex);
        Insert(std::min(toIndex, Count()), item);
    });
}

void TTBCustomItem::AddChangeListener(ITBItemChangeListener* listener) {
    for (auto& e : listeners_)
        if (e->listener == listener) {
            ++e->uses;
            return;
        }
    listeners_.push_back(std::make_shared<ListenerEntry>(ListenerEntry{listener, 1}));
}

void TTBCustomItem::RemoveChangeListener(ITBItemChangeListener* listener) {
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it) {
        if ((*it)->listener != listener) continue;
        if (--(*it)->uses == 0) {
            (*it)->removed = true;  // a Notify walking a snapshot skips it from now on
            listeners_.erase(it);
        }
        return;
    }
}

void TTBCustomItem::Notify(TTBCustomItem* ancestor, TTBChangeKind kind, TTBCustomItem* item, int index) {
    if (ancestor == this) {
        // The views of an embedding parent show this item's children in place.
        if ((itemStyle_ & tbstEmbedded) && parent_) parent_->Notify(this, kind, item, index);
        for (TTBCustomItem* linking : std::vector<TTBCustomItem*>(linkingItems_))
            if (linking != parent_ && (linking->itemStyle_ & tbstEmbedded) && linking->parent_)
                linking->parent_->Notify(linking, kind, item, index);
    }
    // A snapshot: a listener may unregister itself or others, the last one included;
    // entries stay alive until the walk ends and removed ones are skipped.
    std::vector<std::shared_ptr<ListenerEntry>> snapshot = listeners_;
    for (const auto& e : snapshot)
        if (!e->removed) e->listener->ItemNotification(ancestor, ancestor != this, kind, item, index);
}

void TTBCustomItem::NotifyChanged(bool needResize) {
    if (parent_)
        parent_->Notify(parent_, needResize ? TTBChangeKind::PositionsInvalid : TTBChangeKind::RepaintItem, this,
                        parent_->IndexOf(this));
}

void TTBCustomItem::EnabledSwitched() { NotifyChanged(false); }

void TTBCustomItem::NameChanged() {
    if (parent_) parent_->Notify(parent_, TTBChangeKind::NameChanged, this, parent_->IndexOf(this));
}

void TTBCustomItem::SetCaption(const std::string& value) {
    if (value == caption_) return;
    caption_ = value;
    NotifyChanged(true);
}

void TTBCustomItem::SetDisplayMode(TTBItemDisplayMode value) {
    if (value == displayMode_) return;
    displayMode_ = value;
    NotifyChanged(true);
}

void TTBCustomItem::SetVisible(bool value) {
    if (value == visible_) return;
    visible_ = value;
    NotifyChanged(true);
}

void TTBCustomItem::SetEnabled(bool value) {
    if (value == enabled_) return;
    enabled_ = value;
    EnabledSwitched();
}

void TTBCustomItem::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    NotifyChanged(false);
    if (value) TurnSiblingsOff();
}

void TTBCustomItem::SetGroupIndex(int value) {
    if (value == groupIndex_) return;
    groupIndex_ = value;
    if (checked_) TurnSiblingsOff();
}

void TTBCustomItem::TurnSiblingsOff() {
    if (groupIndex_ == 0 || !parent_) return;
    for (TTBCustomItem* sibling : std::vector<TTBCustomItem*>(parent_->children_))
        if (sibling != this && sibling->groupIndex_ == groupIndex_) sibling->SetChecked(false);
}

void TTBCustomItem::SetImageIndex(int value) {
    if (value == imageIndex_) return;
    bool resize = (imageIndex_ == -1) != (value == -1);  // an image appears or goes
    imageIndex_ = value;
    NotifyChanged(resize);
}

namespace {
TTBItemOptions normalized(TTBItemOptions o) { return (o & tboToolbarStyle) ? o : TTBItemOptions(o & ~tboToolbarSize); }
}  // namespace

void TTBCustomItem::SetOptions(TTBItemOptions value) {
    value = normalized(value);
    if (value == options_) return;
    options_ = value;
    RecalcOptionsInForce();
}

void TTBCustomItem::SetMaskOptions(TTBItemOptions value) {
    if (value == maskOptions_) return;
    maskOptions_ = value;
    RecalcOptionsInForce();
}

void TTBCustomItem::SetInheritOptions(bool value) {
    if (value == inheritOptions_) return;
    inheritOptions_ = value;
    RecalcOptionsInForce();
}

void TTBCustomItem::RecalcOptionsInForce() {
    TTBItemOptions inherited =
        (inheritOptions_ && parent_) ? TTBItemOptions(parent_->optionsInForce_ & ~tboDefault) : TTBItemOptions(0);
    TTBItemOptions next = normalized(TTBItemOptions((inherited & ~maskOptions_) | options_));
    if (next == optionsInForce_) return;
    TTBItemOptions changed = next ^ optionsInForce_;
    optionsInForce_ = next;
    if (changed & ~(tboLongHintInMenuOnly | tboShowHint)) NotifyChanged(true);
    for (TTBCustomItem* child : std::vector<TTBCustomItem*>(children_))
        if (child->inheritOptions_) child->RecalcOptionsInForce();
}

void TTBCustomItem::SetLinkSubitems(TTBCustomItem* value) {
    if (value == this) value = nullptr;
    if (value == linkSubitems_) return;
    ReleaseLinkTarget();
    linkSubitems_ = value;
    if (value) {
        if (std::find(value->linkingItems_.begin(), value->linkingItems_.end(), this) == value->linkingItems_.end())
            value->linkingItems_.push_back(this);
        FreeNotification(value);
        value->FreeNotification(this);
    }
    Notify(this, TTBChangeKind::LinkChanged, nullptr, -1);
}

void TTBCustomItem::ReleaseLinkTarget() {
    if (!linkSubitems_) return;
    auto& list = linkSubitems_->linkingItems_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    linkSubitems_ = nullptr;
}

void TTBCustomItem::NotifierFreed(TNotifier* source) {
    linkingItems_.erase(std::remove(linkingItems_.begin(), linkingItems_.end(), source), linkingItems_.end());
    if (source == linkSubitems_) SetLinkSubitems(nullptr);
}

std::string TTBCustomItem::ShortcutDisplayText() const {
    std::size_t tab = caption_.find('\t');
    if (tab != std::string::npos) return caption_.substr(tab + 1);
    return ShortCutToText(shortCut_);
}

std::string ShortHint(const std::string& hint) { return hint.substr(0, hint.find('|')); }

std::string LongHint(const std::string& hint) {
    std::size_t bar = hint.find('|');
    return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

TTBSubmenuItem::TTBSubmenuItem(TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(ItemStyle() | tbstSubmenu | tbstSubmenuItem);
}

void TTBSubmenuItem::SetDropdownCombo(bool value) {
    if (value == DropdownCombo()) return;
    SetItemStyle(value ? (ItemStyle() | tbstCombo) : TTBItemStyle(ItemStyle() & ~tbstCombo));
    NotifyChanged(true);
}

TTBSeparatorItem::TTBSeparatorItem(TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(TTBItemStyle((ItemStyle() & ~(tbstSelectable | tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange)) |
                              tbstSeparator | tbstNoClick));
}

void TTBSeparatorItem::SetBlank(bool value) {
    if (value == blank_) return;
    blank_ = value;
    NotifyChanged(false);
}

TTBControlItem::TTBControlItem(TComponent* owner) : TTBCustomItem(owner) {
    SetItemStyle(TTBItemStyle((ItemStyle() & ~tbstSelectable) | tbstNoClick));
}

TTBControlItem::TTBControlItem(TComponent* owner, TItemControl* control) : TTBControlItem(owner) { SetControl(control); }

TTBControlItem::~TTBControlItem() {
    TItemControl* control = control_;
    Unwatch(control);
    control_ = nullptr;
    if (control && !keepControl_ && !control->InheritedFromAncestor()) delete control;
}

void TTBControlItem::SetControl(TItemControl* value) {
    if (value == control_) return;
    Unwatch(control_);
    control_ = value;
    Watch(value);
    NotifyChanged(true);
}

void TTBControlItem::NotifierFreed(TNotifier* source) {
    if (source == control_) {
        control_ = nullptr;
        NotifyChanged(true);
    }
    TTBCustomItem::NotifierFreed(source);
}

}  // namespace tb
