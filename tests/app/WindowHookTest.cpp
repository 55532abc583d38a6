// Hooks on a widget's events: order of the before and after handlers, a handled event hidden
// from earlier hooks and the widget, and control hooks released when their last hook goes.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/QtTestApp.h"
#include <QEvent>
#include <memory>

#include "controls/ui/WindowHook.h"

using namespace gs;

namespace {

QApplication& qtApp() { return gstest::qtTestApp(); }

const auto kProbe = QEvent::Type(QEvent::User + 7);

struct Watched : QWidget {
    std::vector<std::string>* log = nullptr;
    bool event(QEvent* e) override {
        if (e->type() == kProbe) log->push_back("widget");
        return QWidget::event(e);
    }
};

std::unique_ptr<TRxWindowHook> hook(std::vector<std::string>& log, const std::string& name, bool handleBefore = false) {
    auto h = std::make_unique<TRxWindowHook>();
    h->BeforeMessage = [&log, name, handleBefore](TRxWindowHook&, QEvent* e, bool& handled) {
        if (e->type() != kProbe) return;
        log.push_back(name + ".before");
        handled = handleBefore;
    };
    h->AfterMessage = [&log, name](TRxWindowHook&, QEvent* e, bool&) {
        if (e->type() == kProbe) log.push_back(name + ".after");
    };
    return h;
}

void probe(QWidget& w) {
    QEvent e(kProbe);
    QCoreApplication::sendEvent(&w, &e);
}

}  // namespace

TEST(TRxWindowHook, HooksSeeEventsLastRegisteredFirstAroundTheWidget) {
    qtApp();
    std::vector<std::string> log;
    Watched w;
    w.log = &log;
    auto first = hook(log, "first"), second = hook(log, "second");
    first->SetWinControl(&w);
    second->SetWinControl(&w);
    probe(w);
    EXPECT_EQ(log, (std::vector<std::string>{"second.before", "first.before", "widget", "second.after", "first.after"}));

    log.clear();
    auto third = hook(log, "third", true);
    third->SetWinControl(&w);
    probe(w);
    EXPECT_EQ(log, std::vector<std::string>{"third.before"});  // hidden from the rest and the widget
    third->SetActive(false);
    log.clear();
    probe(w);
    EXPECT_EQ(log.size(), 5u);
}

TEST(TRxWindowHook, ControlHooksComeAndGoWithTheirHooksAndWidgets) {
    qtApp();
    std::vector<std::string> log;
    QCoreApplication::processEvents();
    const int before = TControlHook::Count();
    auto a = std::make_unique<Watched>(), b = std::make_unique<Watched>();
    a->log = b->log = &log;
    auto h = hook(log, "h");
    EXPECT_TRUE(h->Active());  // active without a widget, effective once it has one
    h->SetWinControl(a.get());
    EXPECT_EQ(TControlHook::Count(), before + 1);
    h->SetWinControl(b.get());
    h->SetWinControl(a.get());
    QCoreApplication::processEvents();  // released after the current event
    EXPECT_EQ(TControlHook::Count(), before + 1);
    probe(*a);
    EXPECT_EQ(log, (std::vector<std::string>{"h.before", "widget", "h.after"}));
    a.reset();
    EXPECT_EQ(h->WinControl(), nullptr);
    EXPECT_EQ(TControlHook::Count(), before);
    h.reset();
}

namespace {
// An event filter someone put on the widget, logging what reaches it.
struct Filter : QObject {
    std::vector<std::string>* log;
    std::string name;
    Filter(std::vector<std::string>& l, std::string n) : log(&l), name(std::move(n)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == kProbe) log->push_back(name);
        return false;
    }
};
}  // namespace

TEST(TRxWindowHook, FiltersOnTheWidgetStillSeeItsEventsBetweenBeforeAndAfter) {
    qtApp();
    std::vector<std::string> log;
    Watched w;
    w.log = &log;
    Filter earlier(log, "earlier"), later(log, "later");
    w.installEventFilter(&earlier);
    auto h = hook(log, "h");
    h->SetWinControl(&w);
    w.installEventFilter(&later);
    probe(w);
    // Every filter, whenever it came, sees the event in Qt's order, and so does the widget,
    // after the "before" handler and before the "after" one.
    EXPECT_EQ(log, (std::vector<std::string>{"h.before", "later", "earlier", "widget", "h.after"}));

    log.clear();
    auto eater = hook(log, "eater", true);
    eater->SetWinControl(&w);
    probe(w);
    EXPECT_EQ(log, std::vector<std::string>{"eater.before"});  // handled: hidden from the filters too
    eater.reset();
    h.reset();
    log.clear();
    probe(w);
    EXPECT_EQ(log, (std::vector<std::string>{"later", "earlier", "widget"}));
}
