// tbdockdemo: test-only window program over the toolbar library's docks. A 600 by 400 form
// at the screen's origin with the four docks; a dockable window "tbMain" ("Standard
// Toolbar", a 200 by 22 content) starts in DockTop. Every change of its place prints
//   DOCK FLOATING X,Y WxH MX,MY LOOP
// (DOCK "-" when it is in none; X,Y its content's top-left on the screen; MX,MY where the
// last mouse move handled was, "none" before the first; LOOP "dragging" while a drag loop
// runs, else "idle"), and closing the form prints "closed". A test gives the next input
// once the line shows the last one handled, whatever the machine's speed.
//   tbdockdemo [--outline | --smooth]   (outline drags by default)
#include <QApplication>
#include <QBoxLayout>
#include <QMouseEvent>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtDockableWindow.h"

namespace {

// Notes the screen position of each mouse move once it has been handled (by the widgets or
// by a drag loop's filter, which sees it first).
class App : public QApplication {
public:
    using QApplication::QApplication;
    QString lastMove = "none";

    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::MouseMove) return QApplication::notify(receiver, event);
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        const bool handled = QApplication::notify(receiver, event);
        lastMove = QString("%1,%2").arg(at.x()).arg(at.y());
        return handled;
    }
};

class Form : public QWidget {
public:
    Form() {
        setWindowTitle("tbdockdemo");
        auto* v = new QVBoxLayout(this);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        auto* h = new QHBoxLayout;
        h->setSpacing(0);
        auto dock = [this](tb::TTBDockPosition p, const char* name) {
            auto* d = new tb::TTBDock(this, p);
            d->setObjectName(name);
            return d;
        };
        v->addWidget(dock(tb::TTBDockPosition::dpTop, "DockTop"));
        h->addWidget(dock(tb::TTBDockPosition::dpLeft, "DockLeft"));
        auto* central = new QWidget;
        central->setAutoFillBackground(true);
        central->setPalette(QPalette(Qt::white));
        h->addWidget(central, 1);
        h->addWidget(dock(tb::TTBDockPosition::dpRight, "DockRight"));
        v->addLayout(h, 1);
        v->addWidget(dock(tb::TTBDockPosition::dpBottom, "DockBottom"));
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        std::puts("closed");
        std::fflush(stdout);
        QWidget::closeEvent(event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    App app(argc, argv);
    Form form;
    auto* bar = new tb::TTBCustomDockableWindow(&form);
    bar->setObjectName("tbMain");
    bar->setWindowTitle("Standard Toolbar");
    bar->SetHideWhenInactive(false);
    bar->SmoothDrag = argc > 1 && std::strcmp(argv[1], "--smooth") == 0;
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* content = new QWidget;
    content->setFixedSize(200, 22);
    content->setAutoFillBackground(true);
    content->setPalette(QPalette(Qt::yellow));
    layout->addWidget(content);
    bar->setProperty("CurrentDock", "DockTop");
    form.resize(600, 400);
    form.move(0, 0);
    form.show();

    QString last;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QPoint at = bar->mapToGlobal(bar->contentsRect().topLeft());
        const QString dock = bar->CurrentDockName().isEmpty() ? "-" : bar->CurrentDockName();
        // A drag loop holds an override cursor from its start to its end.
        const char* loop = QGuiApplication::overrideCursor() ? "dragging" : "idle";
        const QString now = QString("%1 %2 %3,%4 %5x%6 %7 %8")
                                .arg(dock)
                                .arg(bar->Floating())
                                .arg(at.x())
                                .arg(at.y())
                                .arg(bar->contentsRect().width())
                                .arg(bar->contentsRect().height())
                                .arg(app.lastMove, loop);
        if (now == last) return;
        last = now;
        std::puts(qPrintable(now));
        std::fflush(stdout);
    });
    poll.start(20);
    return app.exec();
}
