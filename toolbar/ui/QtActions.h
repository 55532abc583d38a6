#pragma once
// The toolbar items' view of Qt: QAction as the action an item links to, keyboard
// shortcuts as QKeyCombination, and clicks posted to the event loop as queued calls.
#include <QAction>
#include <QKeyCombination>
#include <QObject>
#include <functional>

#include "toolbar/core/ItemSources.h"

namespace tb {

// An action's values for the items: caption = text, hint = tool tip, a bar and the status
// tip when the two differ, image index and help context from the dynamic properties
// "imageIndex" and "helpContext", the first key of the shortcut. Lives as a child of its
// QAction, so it goes (and its items let go) when the action does.
class TQtActionSource : public QObject, public IActionSource {
    Q_OBJECT
public:
    static constexpr const char* kImageIndexProperty = "imageIndex";
    static constexpr const char* kHelpContextProperty = "helpContext";

    // The one adapter of `action`, made on first use.
    static TQtActionSource* For(QAction* action);
    QAction* Action() const { return action_; }

    TActionValues Values() const override;
    // Runs the application's updater for the action (set with SetActionUpdater).
    void Update() override;
    // Update, then trigger() when the action is still enabled.
    bool Execute(TComponent* component) override;

private:
    explicit TQtActionSource(QAction* action);
    QAction* action_;
};

// The idle update of one action (the main window recomputes its enabled states); none by default.
void SetActionUpdater(std::function<void(QAction*)> updater);

QKeyCombination ToQKeyCombination(TShortCut shortCut);
// 0 for a key that has no virtual key code here.
TShortCut FromQKeyCombination(QKeyCombination key);

// Clicks deferred past a menu loop run as queued calls on the GUI thread's event loop.
void InstallQtClickPoster();

}  // namespace tb
