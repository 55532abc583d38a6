#pragma once
// The toolbar control: a dockable window showing an item tree through a toolbar view, and
// with MenuBar on, the form's menu bar. The windowless decisions live in TTBToolbarCore;
// this widget places the view in its contents rectangle, answers the dock's and the drag
// loop's size questions from the view, keeps one control item per child widget and
// takes part in the keyboard routing of its form (QtKeyMenu.h).
#include <QPointer>
#include <memory>
#include <optional>

#include "toolbar/core/FloatingSizes.h"
#include "toolbar/core/Toolbar.h"
#include "toolbar/ui/QtDockableWindow.h"
#include "toolbar/ui/QtToolbarView.h"

namespace tb {

// A child widget of a toolbar as the control of its control item. Deleting it (the item
// does, unless it keeps its control) deletes the widget too.
class TQtWidgetControl : public TItemControl {
public:
    explicit TQtWidgetControl(QWidget* widget) : widget_(widget), raw_(widget) {}
    ~TQtWidgetControl() override;
    QWidget* Widget() const { return widget_; }
    // The widget as it was given, for matching it while Qt destroys it.
    const QObject* Identity() const { return raw_; }
    int Width() const override { return widget_ ? widget_->width() : 0; }
    int Height() const override { return widget_ ? widget_->height() : 0; }
    // Hidden only when its owner hid it (a new child is hidden until something shows it).
    bool ShownInHost() const override;
    // Puts the widget where the view placed its cell, or hides it while the cell is not shown.
    void Place(const QRect& bounds, bool shown);
    // The widget leaves the toolbar alive: deleting this no longer deletes it.
    void Forget() { widget_ = nullptr; }

private:
    QPointer<QWidget> widget_;
    const QObject* raw_;
    bool hiddenByLayout_ = false;
};

class TTBCustomToolbar : public TTBCustomDockableWindow {
    Q_OBJECT
public:
    explicit TTBCustomToolbar(QWidget* parent = nullptr);
    ~TTBCustomToolbar() override;

    TTBToolbarCore& Core() const { return *core_; }
    TTBToolbarView& ViewWidget() const { return *viewWidget_; }
    TTBView& View() const { return viewWidget_->View(); }
    TTBRootItem& Items() const { return core_->Items(); }
    TTBChevronItem& Chevron() const { return viewWidget_->Chevron(); }

    // Published settings (the core's, under the toolbar's names).
    bool MenuBar() const { return core_->MenuBar(); }
    void SetMenuBar(bool value) { core_->SetMenuBar(value); }
    TTBShrinkMode ShrinkMode() const override { return core_->ShrinkMode(); }
    void SetShrinkMode(TTBShrinkMode value) { core_->SetShrinkMode(value); }
    int FloatingWidth() const { return core_->FloatingWidth(); }
    void SetFloatingWidth(int value) { core_->SetFloatingWidth(value); }
    bool ProcessShortCuts() const { return core_->ProcessShortCuts(); }
    void SetProcessShortCuts(bool value) { core_->SetProcessShortCuts(value); }
    IImageSource* Images() const { return core_->Images(); }
    void SetImages(IImageSource* value) { core_->SetImages(value); }
    TTBItemOptions Options() const { return core_->Options(); }
    void SetOptions(TTBItemOptions value) { core_->SetOptions(value); }
    TTBCustomItem* LinkSubitems() const { return core_->LinkSubitems(); }
    void SetLinkSubitems(TTBCustomItem* value) { core_->SetLinkSubitems(value); }
    const std::string& ChevronHint() const { return core_->ChevronHint(); }
    void SetChevronHint(const std::string& value);
    bool SystemFont() const { return core_->SystemFont(); }
    void SetSystemFont(bool value) { core_->SetSystemFont(value); }
    bool UpdateActions() const { return core_->UpdateActions(); }
    void SetUpdateActions(bool value) { core_->SetUpdateActions(value); }
    // Item hints as tool tips ("%s (%s)" with the action's shortcut).
    bool ShowHint() const { return viewWidget_->ShowHints(); }
    void SetShowHint(bool value) { viewWidget_->SetShowHints(value); }

    // The idle update: with UpdateActions, the actions of the items shown run their updates
    // (the window calls it when its state changed).
    void InitiateAction();

    // Keyboard access, as the key-menu router uses it.
    bool OpenByAccelerator(char32_t key, bool primaryOnly) { return core_->OpenByAccelerator(key, primaryOnly); }
    bool KeyMenu(char32_t key) { return core_->KeyMenu(key); }
    bool DialogChar(char32_t c) { return core_->DialogChar(c); }
    void DialogKey(int virtualKey) { core_->DialogKey(virtualKey); }

    // Streaming: settings set in between keep their values (MenuBar's defaults wait);
    // the end wraps the child widgets present in control items.
    void BeginLoading();
    void EndLoading();

    TTBControlItem* FindControlItem(const QWidget* widget) const;
    TTBControlItem* CreateControlItemFor(int index, QWidget* widget);

    // The position data the form storage keeps besides the dock's: FloatingWidth.
    using TPositionReader = std::function<int(const char* name, int defaultValue)>;
    using TPositionWriter = std::function<void(const char* name, int value)>;
    void ReadPositionData(const TPositionReader& read);
    void WritePositionData(const TPositionWriter& write) const;

    // What the dock and the drag loop ask.
    QSize CalcSize(const TTBDock* dock, bool floating) const override;
    QSize DockRowSize() const override;
    bool IsNonDragArea(QPoint point) const override;
    int ChevronMinSize() const override;
    void FloatingResizeBegin(int handle) override;
    void FloatingResizeTrack(QRect& rect) override;
    void FloatingResizeEnd() override;
    void FloatingResizeFree() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TToolbarPlacement PlacementFor(const TTBDock* dock, bool floating) const;
    // Tells the view its orientation and limits for where the toolbar is now.
    void ApplyViewLimits() const;
    void ViewLaidOut(QSize size);
    void PlaceView();
    void PlaceControls();
    void RelayoutAll();
    void ChildInserted(QObject* child);
    void ChildGone(QObject* child);
    TQtWidgetControl* ControlOf(const QObject* widget) const;

    std::unique_ptr<TTBToolbarCore> core_;
    TTBToolbarView* viewWidget_ = nullptr;  // a child; deleted before the core
    QSize baseSize_;
    mutable int layoutLock_ = 0;  // the toolbar's own layout of its view runs
    bool placingControls_ = false;
    bool dying_ = false;
    std::optional<TFloatingResizeTrack> resize_;
    QRect resizeStart_;
    TSizeHandle resizeHandle_ = TSizeHandle::Right;
};

// The published toolbar: its settings as Qt properties, for the form storage and designers;
// no behaviour of its own. ShrinkMode is the number of its TTBShrinkMode; ChevronHint is
// worth storing only when Core().ChevronHintStored().
class TTBToolbar : public TTBCustomToolbar {
    Q_OBJECT
    Q_PROPERTY(bool MenuBar READ MenuBar WRITE SetMenuBar)
    Q_PROPERTY(int ShrinkMode READ ShrinkModeValue WRITE SetShrinkModeValue)
    Q_PROPERTY(int FloatingWidth READ FloatingWidth WRITE SetFloatingWidth)
    Q_PROPERTY(bool ProcessShortCuts READ ProcessShortCuts WRITE SetProcessShortCuts)
    Q_PROPERTY(QString ChevronHint READ ChevronHintText WRITE SetChevronHintText)
    Q_PROPERTY(bool SystemFont READ SystemFont WRITE SetSystemFont)
    Q_PROPERTY(bool UpdateActions READ UpdateActions WRITE SetUpdateActions)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
public:
    using TTBCustomToolbar::TTBCustomToolbar;

private:
    int ShrinkModeValue() const { return int(ShrinkMode()); }
    void SetShrinkModeValue(int value) {
        if (value >= int(TTBShrinkMode::tbsmNone) && value <= int(TTBShrinkMode::tbsmChevron))
            SetShrinkMode(TTBShrinkMode(value));
    }
    QString ChevronHintText() const { return QString::fromStdString(ChevronHint()); }
    void SetChevronHintText(const QString& value) { SetChevronHint(value.toStdString()); }
};

}  // namespace tb
