// Clicking items: the click itself, the click deferred until the menu loop has returned,
// the result of a menu loop, and keyboard shortcut dispatch through an item tree.
#include "toolbar/core/ItemRuntime.h"

#include <deque>
#include <iostream>
#include <mutex>

#include "toolbar/core/Item.h"
#include "toolbar/core/ItemLinks.h"
#include "toolbar/core/MenuSettings.h"

namespace tb {

namespace {

std::mutex gHandlerMutex;
ExceptionHandler gHandler;

// Per thread, as items live on the thread that made them.
thread_local TTBCustomItem* tPendingClick = nullptr;
thread_local ClickPoster tPoster;
thread_local std::deque<std::function<void()>> tWaitingClicks;

TLoopServices gServices;

void DeliverPendingClick() {
    TTBCustomItem* item = tPendingClick;
    tPendingClick = nullptr;
    if (!item) return;  // freed, or taken by an earlier delivery
    if (IActionSource* action = item->Action(); action && !action->Values().enabled) return;
    Guarded([item] { item->Click(); });
}

}  // namespace

void SetExceptionHandler(ExceptionHandler handler) {
    std::lock_guard lock(gHandlerMutex);
    gHandler = std::move(handler);
}

void HandleException(std::exception_ptr error) {
    ExceptionHandler handler;
    {
        std::lock_guard lock(gHandlerMutex);
        handler = gHandler;
    }
    if (handler) {
        try {
            handler(error);
            return;
        } catch (...) {
            error = std::current_exception();  // the handler itself failed: say so below
        }
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        std::cerr << "glyphscope: " << e.what() << '\n';
    } catch (...) {
        std::cerr << "glyphscope: unknown error\n";
    }
}

bool Guarded(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
}

void SetClickPoster(ClickPoster poster) { tPoster = std::move(poster); }

int RunPostedClicks() {
    int ran = 0;
    while (!tWaitingClicks.empty()) {
        std::function<void()> task = std::move(tWaitingClicks.front());
        tWaitingClicks.pop_front();
        task();
        ++ran;
    }
    return ran;
}

void PostClick(TTBCustomItem* item) {
    tPendingClick = item;
    if (tPoster) tPoster(DeliverPendingClick);
    else tWaitingClicks.push_back(DeliverPendingClick);
}

void ForgetPendingClick(TTBCustomItem* item) {
    if (tPendingClick == item) tPendingClick = nullptr;
}

void SetLoopServices(TLoopServices services) { gServices = std::move(services); }

bool MenuSoundWanted(std::string_view alias) {
    return gServices.soundEnabled ? gServices.soundEnabled(alias) : SoundSchemeEnabled(alias);
}

void PlayMenuSound(std::string_view alias) {
    if (MenuSoundWanted(alias) && gServices.playSound) gServices.playSound(alias);
}

void PerformLoopResult(const TTBLoopResult& result) {
    switch (result.kind) {
    case TTBLoopResult::Kind::None:
        break;
    case TTBLoopResult::Kind::ClickItem: {
        if (result.playSound) PlayMenuSound(kSoundMenuCommand);
        if (result.item) PostClick(result.item);
        break;
    }
    case TTBLoopResult::Kind::SystemMenu:
        if (gServices.systemMenu) gServices.systemMenu(result.window, result.key);
        break;
    case TTBLoopResult::Kind::Help:
        if (gServices.help) gServices.help(result.helpContext);
        break;
    }
}

void TTBCustomItem::Click() {
    if (autoCheck_ && !(actionLink_ && actionLink_->IsAutoCheckLinked())) SetChecked(!checked_);
    if (!OnClickAssigned() || !actionLink_ || onClickIsActions_) {
        if (actionLink_) {
            actionLink_->Execute(this);
            return;
        }
        if (!OnClickAssigned()) return;
    }
    // A copy: the handler may free this item (a recent-list entry removing itself).
    TNotifyEvent handler = onClick_;
    if (handler) handler(this);
}

void TTBCustomItem::FirePopup(TTBCustomItem* sender, bool fromLink) {
    if (OnPopup) {
        TTBPopupEvent handler = OnPopup;
        handler(sender, fromLink);
    }
    if (!(itemStyle_ & tbstCombo)) Click();
}

namespace {

// Depth first in child order below `level`'s effective link. Each LinkSubitems hop on the
// way counts; nothing is searched below more than kMaxShortCutLinks of them, which also
// ends link cycles. `top` is the child of `level` through which the match was found.
TTBCustomItem* findShortCut(TTBCustomItem* level, TShortCut shortCut, int links, TTBCustomItem** top) {
    if (level->LinkSubitems()) ++links;
    if (links > kMaxShortCutLinks) return nullptr;
    TTBCustomItem* parent = level->EffectiveLink();
    for (int i = 0; i < parent->Count(); ++i) {
        TTBCustomItem* child = parent->Items(i);
        TTBCustomItem* found = child->ShortCut() == shortCut ? child : findShortCut(child, shortCut, links, nullptr);
        if (found) {
            if (top) *top = child;
            return found;
        }
    }
    return nullptr;
}

void updateChildren(TTBCustomItem* level) {
    TTBCustomItem* parent = level->EffectiveLink();
    for (int i = 0; i < parent->Count(); ++i) {
        TTBCustomItem* child = parent->Items(i);
        Guarded([child] { child->UpdateFromAction(); });
    }
}

}  // namespace

bool TTBCustomItem::RouteShortcut(TShortCut shortCut) {
    if (shortCut == 0) return false;
    for (int start = 0; start <= kMaxRouteRestarts; ++start) {
        TTBCustomItem* top = nullptr;
        TTBCustomItem* match = findShortCut(this, shortCut, 0, &top);
        if (!match) return false;
        TTBCustomItem* level = this;
        while (match) {
            updateChildren(level);
            if (top == match) {
                if (!match->Enabled()) return false;
                Guarded([match] { match->Click(); });
                return true;
            }
            if (!top->Enabled()) return false;
            if (!(top->ItemStyle() & tbstEmbedded)) {
                if (TTBCustomItem* link = top->LinkSubitems()) Guarded([&] { link->FirePopup(top, true); });
                Guarded([&] { top->FirePopup(top, false); });
            }
            // The popup handlers may have rebuilt what lies below: look again from here.
            level = top;
            match = findShortCut(level, shortCut, 0, &top);
        }
    }
    return false;
}

}  // namespace tb
