#pragma once
// A form with the four docks around a central widget, laid out by Qt's box layouts, and a
// dockable window holding one fixed-size widget: what the dock and drag tests work on.
#include <QBoxLayout>
#include <QCoreApplication>

#include "support/QtTestApp.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtDockableWindow.h"

namespace tbtest {

// A dockable window holding one fixed-size widget.
class Bar : public tb::TTBCustomDockableWindow {
public:
    Bar(QWidget* parent, int w, int h, const char* name) : tb::TTBCustomDockableWindow(parent) {
        setObjectName(name);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* content = new QWidget;
        content->setFixedSize(w, h);
        layout->addWidget(content);
    }
};

// A form with the four docks around a central widget, laid out by Qt's box layouts.
struct AppFirst {
    AppFirst() { gstest::qtTestApp(); }
};
struct Form : AppFirst {
    QWidget form;
    tb::TTBDock *top, *bottom, *left, *right;
    Form() {
        auto* v = new QVBoxLayout(&form);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        top = new tb::TTBDock(&form, tb::TTBDockPosition::dpTop);
        top->setObjectName("DockTop");
        auto* h = new QHBoxLayout;
        h->setSpacing(0);
        left = new tb::TTBDock(&form, tb::TTBDockPosition::dpLeft);
        left->setObjectName("DockLeft");
        right = new tb::TTBDock(&form, tb::TTBDockPosition::dpRight);
        right->setObjectName("DockRight");
        bottom = new tb::TTBDock(&form, tb::TTBDockPosition::dpBottom);
        bottom->setObjectName("DockBottom");
        h->addWidget(left);
        h->addWidget(new QWidget, 1);
        h->addWidget(right);
        v->addWidget(top);
        v->addLayout(h, 1);
        v->addWidget(bottom);
        form.resize(600, 400);
        form.show();
        settle();
    }
    void settle() {
        form.layout()->activate();
        QCoreApplication::processEvents();
    }
};


}  // namespace tbtest
