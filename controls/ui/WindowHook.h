#pragma once
// Watching the events of a widget without owning it: any number of hooks on one widget, each
// with a "before" and an "after" handler. All hooks of one widget share one TControlHook kept
// in one process-wide list; a control hook left without hooks is released after the current
// event has finished. A "before" handler that sets Handled hides the event from earlier hooks
// and from the widget itself.
//
// The "after" handlers must run once the widget, and every event filter anyone put on it,
// have had the event; an event filter of ours could only give them the event by taking it
// from the filters installed before it. So a control hook takes its widget's events as Qt
// starts to deliver them (the notify callback of the application object, main thread only):
// the "before" handlers, then Qt's whole ordinary delivery (application filters, the widget's
// filters in their order, the widget), then the "after" handlers.
//
// No exception of a handler may cross Qt's delivery: each goes to its hook's OnError (the
// program's error handler) and the event goes on to the next hook.
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <exception>
#include <functional>
#include <vector>

namespace gs {

class TControlHook;

class TRxWindowHook : public QObject {
    Q_OBJECT
public:
    using MessageEvent = std::function<void(TRxWindowHook& sender, QEvent* event, bool& handled)>;

    explicit TRxWindowHook(QObject* owner = nullptr);
    ~TRxWindowHook() override;

    bool Active() const { return active_; }
    void SetActive(bool active);
    QWidget* WinControl() const { return control_; }
    void SetWinControl(QWidget* control);

    MessageEvent BeforeMessage;
    MessageEvent AfterMessage;
    // Where the failures of the two handlers go; without one they are written to stderr.
    std::function<void(std::exception_ptr)> OnError;

private:
    friend class TControlHook;
    void attach();
    void detach();
    // Runs one handler; false when it failed (and the failure was reported).
    bool call(const MessageEvent& handler, QEvent* event, bool& handled);

    bool active_ = true;
    QPointer<QWidget> control_;
    TControlHook* registered_ = nullptr;
};

// The event filter of one widget, shared by its hooks in registration order.
class TControlHook : public QObject {
    Q_OBJECT
public:
    explicit TControlHook(QWidget* control);
    ~TControlHook() override;

    QWidget* Control() const { return control_; }
    int HookCount() const { return int(hooks_.size()); }
    void Register(TRxWindowHook* hook);
    void Unregister(TRxWindowHook* hook);

    // The control hook of the widget, made on first need.
    static TControlHook* Of(QWidget* control);
    // How many control hooks the process has (for the use counts).
    static int Count();

    // One event of the control through the hooks; false leaves it to Qt's delivery.
    bool Deliver(QEvent* event, bool& result);

private:
    void scheduleRelease();
    // Leaves the process-wide list.
    void forget();

    QPointer<QWidget> control_;
    std::vector<TRxWindowHook*> hooks_;
};

}  // namespace gs
