// tbdemo: test-only window program over the toolbar library; reads an item tree in the
// format of tests/toolbar/ItemScript.h.
//   tbdemo [--render OUT.png [--select N [--pressed]]] [--popup-at X,Y [--align N]] FILE
//     --render    paints the tree's view (toolbar or popup, as the file says) into OUT.png,
//                 cell N selected (and pressed)
//     --popup-at  pops the tree up as a menu at the point and prints the caption of the item
//                 clicked, or "none"
//     --bar       shows the tree as a toolbar in a window at the screen's top left; once the
//                 first menu loop a press starts there has ended, prints the caption of the
//                 item clicked, or "none"
//     --images    items with an image draw it from a strip of coloured 16 x 16 pictures
//     Before the answer --bar prints "shown" once its window is on the screen, and both print
//     "grabbed" once a menu loop runs with its popup open (its keyboard and mouse grabs are
//     then the X server's): a test drives the keys and the mouse only after the line it needs.
//   tbdemo --dock-demo FILE [--dock top|bottom|left|right] [--menubar] [--print-geometry]
//          [--render OUT.png]
//     --dock-demo a form with the four docks and the tree as the toolbar tbMain docked at its
//                 top, or in the dock named (the strip's pictures); --menubar makes it a menu
//                 bar; --print-geometry prints each toolbar's name and size instead of
//                 running the window; --render saves the form's picture
#include <QApplication>
#include <QBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "toolbar/ViewImage.h"
#include "toolbar/ui/QtActions.h"
#include "toolbar/ui/QtDock.h"
#include "toolbar/ui/QtImageList.h"
#include "toolbar/ui/QtToolbar.h"
#include "toolbar/ui/QtMenuLoop.h"
#include "toolbar/ui/QtToolbarView.h"

namespace {

// The demonstration pictures: a strip of eight 16 x 16 squares of one hue each, framed,
// on magenta (the strip's transparent colour).
void loadPictures(tb::TTBCustomImageList& images) {
    QImage strip(8 * 16, 16, QImage::Format_RGB32);
    strip.fill(qRgb(255, 0, 255));
    QPainter p(&strip);
    for (int i = 0; i < 8; ++i) {
        p.setPen(Qt::black);
        p.setBrush(QColor::fromHsv(i * 45, 200, 230));
        p.drawRect(i * 16 + 1, 1, 13, 13);
    }
    p.end();
    images.LoadStrip(strip);
}

void onClicks(tb::TTBCustomItem* parent, std::string& clicked) {
    for (int i = 0; i < parent->Count(); ++i) {
        tb::TTBCustomItem* item = parent->Items(i);
        if (item->Count() == 0) item->SetOnClick([&clicked](tb::TTBCustomItem* sender) { clicked = sender->Caption(); });
        onClicks(item, clicked);
    }
}

// Prints "shown" when the window is exposed and "grabbed" when a menu loop has a popup
// open, once each: Qt takes an X grab with a round trip, so by the time the popup is Qt's
// active popup the grab is the server's. Polled from the event loop the menu loop runs.
class Progress {
public:
    explicit Progress(QWidget* window) : window_(window) {
        QObject::connect(&poll_, &QTimer::timeout, [this] { check(); });
        poll_.start(20);
    }

private:
    void check() {
        if (!shown_ && window_ && window_->windowHandle() && window_->windowHandle()->isExposed()) say(shown_, "shown");
        QWidget* popup = QApplication::activePopupWidget();
        if (!grabbed_ && popup && popup->isVisible() && popup->windowHandle() && popup->windowHandle()->isExposed())
            say(grabbed_, "grabbed");
    }
    static void say(bool& once, const char* line) {
        once = true;
        std::cout << line << std::endl;
    }
    QPointer<QWidget> window_;
    QTimer poll_;
    bool shown_ = false, grabbed_ = false;
};

// The bar's first loop, entered by a press, ends before its click is delivered: the
// answer waits for both.
int runBar(QApplication& app, tbtest::ItemScript& script) {
    QWidget window;
    window.setWindowTitle("tbdemo");
    auto* bar = new tb::TTBToolbarView(script.root.get(), &window);
    window.resize(bar->sizeHint().width() + 200, 100);
    window.move(0, 0);
    window.show();
    Progress progress(&window);
    tb::InstallQtClickPoster();
    std::string clicked = "none";
    onClicks(script.root.get(), clicked);
    bool looping = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const bool now = bar->View().ViewFlags & tb::vsMenuLoop;
        if (looping && !now) QTimer::singleShot(0, &app, [&] { app.quit(); });
        looping = now;
    });
    watch.start(20);
    app.exec();
    std::cout << clicked << '\n';
    return 0;
}

int runDockDemo(QApplication& app, tbtest::ItemScript& script, bool printGeometry, const std::string& shot,
                const std::string& where, bool menuBar) {
    QWidget form;
    form.setWindowTitle("tbdemo");
    auto* v = new QVBoxLayout(&form);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    auto dock = [&form](tb::TTBDockPosition position, const char* name) {
        auto* d = new tb::TTBDock(&form, position);
        d->setObjectName(name);
        return d;
    };
    tb::TTBDock* top = dock(tb::TTBDockPosition::dpTop, "DockTop");
    tb::TTBDock* left = dock(tb::TTBDockPosition::dpLeft, "DockLeft");
    tb::TTBDock* right = dock(tb::TTBDockPosition::dpRight, "DockRight");
    tb::TTBDock* bottom = dock(tb::TTBDockPosition::dpBottom, "DockBottom");
    auto* h = new QHBoxLayout;
    h->setSpacing(0);
    h->addWidget(left);
    h->addWidget(new QWidget, 1);
    h->addWidget(right);
    v->addWidget(top);
    v->addLayout(h, 1);
    v->addWidget(bottom);
    tb::TTBDock* home = where == "left" ? left : where == "right" ? right : where == "bottom" ? bottom : top;

    tb::TTBCustomImageList images(16, 16);
    loadPictures(images);
    auto* bar = new tb::TTBToolbar;
    bar->setObjectName(menuBar ? "tbMenu" : "tbMain");
    bar->setWindowTitle(menuBar ? "Standard Menu" : "Standard Toolbar");
    bar->SetMenuBar(menuBar);
    bar->SetImages(&images);
    while (script.root->Count() > 0) {  // the script keeps owning them
        tb::TTBCustomItem* item = script.root->Items(0);
        script.root->Remove(item);
        bar->Items().Add(item);
    }
    bar->SetCurrentDock(home);
    form.resize(640, 300);
    form.show();
    form.layout()->activate();
    QCoreApplication::processEvents();
    if (!shot.empty() && !form.grab().save(QString::fromStdString(shot), "PNG")) {
        std::cerr << "tbdemo: cannot write " << shot << '\n';
        return 1;
    }
    if (!printGeometry && shot.empty()) return app.exec();
    for (tb::TTBCustomToolbar* t : form.findChildren<tb::TTBCustomToolbar*>())
        std::cout << t->objectName().toStdString() << ' ' << t->width() << 'x' << t->height() << '\n';
    delete bar;  // before the images it shows
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string file, render;
    int x = 0, y = 0, align = 0, selected = -1;
    bool popup = false, pressed = false, bar = false, dockDemo = false, printGeometry = false, pictures = false,
         menuBar = false;
    std::string where = "top";
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--render" && i + 1 < argc) render = argv[++i];
        else if (a == "--popup-at" && i + 1 < argc) popup = std::sscanf(argv[++i], "%d,%d", &x, &y) == 2;
        else if (a == "--align" && i + 1 < argc) align = std::atoi(argv[++i]);
        else if (a == "--select" && i + 1 < argc) selected = std::atoi(argv[++i]);
        else if (a == "--pressed") pressed = true;
        else if (a == "--bar") bar = true;
        else if (a == "--dock-demo") dockDemo = true;
        else if (a == "--print-geometry") printGeometry = true;
        else if (a == "--images") pictures = true;
        else if (a == "--menubar") menuBar = true;
        else if (a == "--dock" && i + 1 < argc) where = argv[++i];
        else file = a;
    }
    std::ifstream in(file);
    if (!in || (render.empty() && !popup && !bar && !dockDemo)) {
        std::cerr << "usage: tbdemo [--render OUT.png [--images]] [--popup-at X,Y [--align N]] [--bar] [--dock-demo "
                     "[--dock top|bottom|left|right] [--menubar] [--print-geometry]] FILE\n";
        return 2;
    }
    try {
        tbtest::ItemScript script = tbtest::ParseItemScript(in);
        if (dockDemo) return runDockDemo(app, script, printGeometry, render, where, menuBar);
        tb::TTBCustomImageList images(16, 16);
        if (pictures) loadPictures(images);
        if (!render.empty() && !tbtest::ViewImage(script, selected, pressed, pictures ? &images : nullptr)
                                    .image.save(QString::fromStdString(render), "PNG")) {
            std::cerr << "tbdemo: cannot write " << render << '\n';
            return 1;
        }
        if (bar) return runBar(app, script);
        if (popup) {
            Progress progress(nullptr);
            tb::TTBLoopResult r = tb::PopupItem(*script.root, QPoint(x, y), align);
            std::cout << (r.kind == tb::TTBLoopResult::Kind::ClickItem && r.item ? r.item->Caption() : "none") << '\n';
        }
    } catch (const std::exception& e) {
        std::cerr << "tbdemo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
