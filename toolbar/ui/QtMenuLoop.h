#pragma once
// The menu loop on Qt: a nested QEventLoop with one application event filter that hands
// the input events of the loop's windows to TTBMenuLoop (global coordinates) and consumes
// them, until the loop is done, the root popup is hidden (Qt took the capture away), the
// application deactivates or QCoreApplication::exit() is called. The popup menu
// component and an item's Popup live here too.
#include <QObject>
#include <QPoint>
#include <functional>
#include <memory>
#include <optional>

#include "toolbar/core/MenuLoop.h"
#include "toolbar/ui/QtPopupWindow.h"

namespace tb {

// Shows menu hints where the application wants them (its status bar); none by default.
void SetApplicationHintSetter(std::function<void(const std::string&)> setter);
void SetApplicationHint(const std::string& hint);

// Runs the loop on `root` and answers its result (not performed). `pressAt`: where the
// press that started it was (global), the cursor when not given. A root toolbar view (not
// a popup) grabs mouse and keyboard for the loop. `escapeLeaves`: Esc that closes a
// drop-down back to the root ends the loop (TTBMenuLoop::EndWhenEscapeReachesRoot).
TTBLoopResult RunMenuLoop(TTBView& root, bool startedByMouse, bool popupMode, bool pickFirst, bool rightButtonToo,
                          bool ignoreFirstRelease, std::optional<QPoint> pressAt = std::nullopt,
                          bool escapeLeaves = false);

// An item's popup at a point (alignment 0: left edge at X, 1: right edge, 2: centred): the
// loop runs, the window goes, then the result is performed (a click is deferred).
TTBLoopResult PopupItem(TTBCustomItem& item, QPoint point, int alignment = 0, bool rightButtonToo = false);

// The popup menu a window drops on itself: a root item whose children are the menu.
class TTBPopupMenu : public QObject {
    Q_OBJECT
public:
    explicit TTBPopupMenu(QObject* parent = nullptr);
    ~TTBPopupMenu() override;

    TTBRootItem& Items() { return *root_; }
    void SetImages(IImageSource* images) { root_->SetSubMenuImages(images); }
    int Alignment = 0;
    bool TrackRightButton = false;
    bool AutoPopup = true;  // a window's context request opens it by itself
    // Runs each time the menu opens, before its window shows.
    std::function<void(TTBPopupMenu*)> OnPopup;

    TTBLoopResult Popup(int x, int y);
    bool IsShortCut(TShortCut shortCut) { return root_->RouteShortcut(shortCut); }

private:
    std::unique_ptr<TTBRootItem> root_;
};

}  // namespace tb
