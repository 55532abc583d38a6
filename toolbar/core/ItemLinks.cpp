// An item's links to its action and its image lists.
#include "toolbar/core/ItemLinks.h"

namespace tb {

namespace {
bool gHintShortCuts = true;
}  // namespace

void SetHintShortCuts(bool on) { gHintShortCuts = on; }

void TTBCustomItemActionLink::SetAction(IActionSource* action) {
    if (action == action_) return;
    Unwatch(action_);
    action_ = action;
    Watch(action_);
    Remember();
}

bool TTBCustomItemActionLink::IsAutoCheckLinked() const {
    return action_ && client_.AutoCheck() == action_->Values().autoCheck;
}

void TTBCustomItemActionLink::NotifierChanged(TNotifier* source) {
    if (source != action_) return;
    const TActionValues old = seen_;
    const TActionValues now = action_->Values();
    seen_ = now;
    TTBCustomItem& c = client_;
    // A value follows the action only while the item still shows what the action had.
    if (now.autoCheck != old.autoCheck && c.autoCheck_ == old.autoCheck) c.SetAutoCheck(now.autoCheck);
    if (now.caption != old.caption && c.caption_ == old.caption) c.SetCaption(now.caption);
    if (now.checked != old.checked && c.checked_ == old.checked) c.SetChecked(now.checked);
    if (now.enabled != old.enabled && c.enabled_ == old.enabled) c.SetEnabled(now.enabled);
    if (now.helpContext != old.helpContext && c.helpContext_ == old.helpContext) c.SetHelpContext(now.helpContext);
    if (now.hint != old.hint && c.hint_ == old.hint) c.SetHint(now.hint);
    if (now.imageIndex != old.imageIndex && c.imageIndex_ == old.imageIndex) c.SetImageIndex(now.imageIndex);
    if (now.shortCut != old.shortCut && c.shortCut_ == old.shortCut) c.SetShortCut(now.shortCut);
    if (now.visible != old.visible && c.visible_ == old.visible) c.SetVisible(now.visible);
    if (c.onClickIsActions_ || !c.onClick_) c.onClickIsActions_ = now.hasOnExecute;
}

void TTBCustomItemActionLink::NotifierFreed(TNotifier* source) {
    if (source != action_) return;
    action_ = nullptr;
    client_.SetAction(nullptr);  // frees this link: nothing of it is touched afterwards
}

bool TTBImageChangeLink::Register(IImageSource* list) {
    bool hadList = list_ != nullptr;
    int oldWidth = width_, oldHeight = height_;
    if (list_) Unwatch(list_);
    list_ = list;
    if (!list_) return true;
    Watch(list_);
    width_ = list_->Width();
    height_ = list_->Height();
    return !hadList || width_ != oldWidth || height_ != oldHeight;
}

void TTBImageChangeLink::NotifierChanged(TNotifier* source) {
    if (source != list_) return;
    bool sizeChanged = list_->Width() != width_ || list_->Height() != height_;
    width_ = list_->Width();
    height_ = list_->Height();
    Handler handler = onChange_;
    handler(this, sizeChanged);
}

void TTBImageChangeLink::NotifierFreed(TNotifier* source) {
    if (source != list_) return;
    list_ = nullptr;
    std::function<void()> freed = onFreed_;  // may free this link
    freed();
}

IActionSource* TTBCustomItem::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TTBCustomItem::SetAction(IActionSource* action) {
    if (!action) {
        actionLink_.reset();
        return;
    }
    if (!actionLink_) actionLink_ = std::make_unique<TTBCustomItemActionLink>(*this);
    actionLink_->SetAction(action);
    ActionChange(action, action->IsLoading());
}

void TTBCustomItem::ActionChange(IActionSource* action, bool checkDefaults) {
    const TActionValues v = action->Values();
    if (!checkDefaults || !autoCheck_) SetAutoCheck(v.autoCheck);
    if (!checkDefaults || caption_.empty()) SetCaption(v.caption);
    if (!checkDefaults || !checked_) SetChecked(v.checked);
    if (!checkDefaults || enabled_) SetEnabled(v.enabled);
    if (!checkDefaults || helpContext_ == 0) SetHelpContext(v.helpContext);
    if (!checkDefaults || hint_.empty()) SetHint(v.hint);
    if (!checkDefaults || imageIndex_ == -1) SetImageIndex(v.imageIndex);
    if (!checkDefaults || shortCut_ == 0) SetShortCut(v.shortCut);
    if (!checkDefaults || visible_) SetVisible(v.visible);
    if (!checkDefaults || !OnClickAssigned()) {
        onClick_ = nullptr;
        onClickIsActions_ = v.hasOnExecute;
    }
    if (actionLink_) actionLink_->Remember();
}

void TTBCustomItem::Loaded() {
    if (Action()) ActionChange(Action(), true);
}

void TTBCustomItem::SetOnClick(TNotifyEvent handler) {
    onClick_ = std::move(handler);
    onClickIsActions_ = false;
}

void TTBCustomItem::UpdateFromAction() {
    if (actionLink_) actionLink_->Update();
}

std::string TTBCustomItem::HintWithShortCut() const {
    std::string hint = ShortHint(hint_);
    IActionSource* action = Action();
    if (!action) return hint;
    std::string accepted = hint;
    TShortCut sc = action->Values().shortCut;
    if (action->DoHint(accepted) && gHintShortCuts && sc != 0) return accepted + " (" + ShortCutToText(sc) + ")";
    return hint;
}

void TTBCustomItem::SetImages(IImageSource* value) {
    if (value == images_) return;
    bool hadList = images_ != nullptr;
    images_ = value;
    bool sizeDiffers = true;
    if (!value) {
        imageChangeLink_.reset();
    } else {
        if (!imageChangeLink_)
            imageChangeLink_ = std::make_unique<TTBImageChangeLink>(
                [this](TTBImageChangeLink*, bool sizeChanged) { ImageListChanged(imageChangeLink_.get(), sizeChanged); },
                [this] { SetImages(nullptr); });
        sizeDiffers = imageChangeLink_->Register(value);
    }
    NotifyChanged(!value || !hadList || sizeDiffers);
}

void TTBCustomItem::SetSubMenuImages(IImageSource* value) {
    if (value == subMenuImages_) return;
    subMenuImages_ = value;
    if (!value) {
        subMenuImageChangeLink_.reset();
    } else {
        if (!subMenuImageChangeLink_)
            subMenuImageChangeLink_ = std::make_unique<TTBImageChangeLink>(
                [this](TTBImageChangeLink* link, bool sizeChanged) { ImageListChanged(link, sizeChanged); },
                [this] { SetSubMenuImages(nullptr); });
        subMenuImageChangeLink_->Register(value);
    }
    Notify(this, TTBChangeKind::SubMenuImagesChanged, nullptr, -1);
}

void TTBCustomItem::ImageListChanged(TTBImageChangeLink* link, bool sizeChanged) {
    if (link == subMenuImageChangeLink_.get()) Notify(this, TTBChangeKind::SubMenuImagesChanged, nullptr, -1);
    else NotifyChanged(sizeChanged);
}

}  // namespace tb
