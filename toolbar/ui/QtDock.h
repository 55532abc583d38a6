#pragma once
// TTBDock: the strip along one edge of a form that holds dockable windows in rows. The
// form's layout gives it its length; it places its windows itself and sets its own
// thickness (a fixed height, or width for side docks) to the sum of its rows. Bound lines
// are one-pixel contents margins painted by the dock.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "toolbar/core/DockLayout.h"

namespace tb {

class TTBCustomDockableWindow;

// The abstract picture a dock (and the windows in it) may paint under its windows. No
// concrete background exists here: this is the contract one would implement.
class TTBBasicBackground : public QObject {
public:
    using QObject::QObject;
    // Draws the part `clip` of the picture whose origin lies at `origin` (both in the
    // painter's coordinates), so neighbouring docks and windows continue one picture.
    virtual void Draw(QPainter& painter, const QRect& clip, QPoint origin) = 0;
    virtual QPalette Palette() const = 0;
    virtual void RegisterChanged(QObject* receiver, std::function<void()> changed) = 0;
    virtual void SysColorChanged() = 0;
    virtual void UnregisterChanged(QObject* receiver) = 0;
    virtual bool InUse() const = 0;
};

enum TTBDockBoundLine : unsigned { blTop = 1, blBottom = 2, blLeft = 4, blRight = 8 };
using TTBDockBoundLines = unsigned;

class TTBDock : public QWidget {
    Q_OBJECT
public:
    // `parent` may be neither a dockable window nor another dock (EInvalidOperation).
    explicit TTBDock(QWidget* parent, TTBDockPosition position = TTBDockPosition::dpTop);
    ~TTBDock() override;

    // Moves the dock to another parent under the same rule as the constructor.
    void SetParentWidget(QWidget* parent);

    TTBDockPosition Position() const { return position_; }
    // Raises EInvalidOperation when the value changes while the dock holds child widgets.
    void SetPosition(TTBDockPosition position);
    bool Vertical() const { return IsVerticalDock(position_); }
    bool AllowDrag() const { return allowDrag_; }
    void SetAllowDrag(bool value);
    TTBDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TTBDockBoundLines value);
    bool FixAlign() const { return fixAlign_; }
    void SetFixAlign(bool value);
    bool LimitToOneRow() const { return limitToOneRow_; }
    void SetLimitToOneRow(bool value);
    TTBBasicBackground* Background() const { return background_; }
    void SetBackground(TTBBasicBackground* background);
    bool BackgroundOnToolbars() const { return backgroundOnToolbars_; }
    void SetBackgroundOnToolbars(bool value);
    // The background paints now (set, and in use).
    bool UsesBackground() const { return background_ && background_->InUse(); }

    std::function<void(TTBDock* sender, bool inserting, TTBCustomDockableWindow* bar)> OnInsertRemoveBar;
    std::function<void(TTBDock* sender, TTBCustomDockableWindow* bar, bool& accept)> OnRequestDock;

    // Layout requests while locked are merged into one when the last lock goes.
    void BeginUpdate() { ++layoutLock_; }
    void EndUpdate();
    void LayoutRows();
    // Loading holds layouts back like the lock; the end lays out once.
    void BeginLoading() { ++loading_; }
    void EndLoading();

    // Membership, kept by the dockable windows.
    void SetDockListMember(TTBCustomDockableWindow* window, bool add);
    void UpdateVisibleMember(TTBCustomDockableWindow* window, bool departing);
    const std::vector<TTBCustomDockableWindow*>& DockList() const { return dockList_; }
    std::vector<TTBCustomDockableWindow*> VisibleList() const;
    bool HasVisibleWindows() const { return !visible_.empty(); }

    // Every visible window takes its last effective row and position as stored ones.
    void CommitEffectivePositions();
    // The rows of the last layout and their thickness.
    const std::vector<TDockRowInfo>& Rows() const { return rows_; }
    int HighestRow() const;
    int RowAtDistance(int distance) const { return tb::RowAtDistance(rows_, distance); }
    // The largest row size of the other visible windows in `window`'s row.
    int SharedRowThickness(const TTBCustomDockableWindow* window) const;
    // The length the rows may take: the width, or height for side docks, less bound lines.
    int InnerLength() const;

    // Drag state, set by the drag loop.
    bool CanSplit = false;
    bool Splitting = false;
    TTBCustomDockableWindow* Dragged = nullptr;
    bool CommitNext = false;  // the next layout stores the effective places

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TTBCustomDockableWindow;
    static void checkParent(QWidget* parent);
    void applyThickness(int thickness);
    void forget(QObject* window);

    TTBDockPosition position_ = TTBDockPosition::dpTop;
    bool allowDrag_ = true;
    TTBDockBoundLines boundLines_ = 0;
    QPointer<TTBBasicBackground> background_;
    bool backgroundOnToolbars_ = true;
    bool fixAlign_ = false;
    bool limitToOneRow_ = false;
    int layoutLock_ = 0;
    int loading_ = 0;
    bool layoutNeeded_ = false;
    std::vector<TTBCustomDockableWindow*> dockList_;
    std::vector<TTBCustomDockableWindow*> visible_;  // in dock-list order
    std::vector<TDockRowInfo> rows_;
};

}  // namespace tb
