// tbdemo: test-only window program over the toolbar library; reads an item tree in the
// format of tests/toolbar/ItemScript.h.
//   tbdemo [--render OUT.png [--select N [--pressed]]] [--popup-at X,Y [--align N]] FILE
//     --render    paints the tree's view (toolbar or popup, as the file says) into OUT.png,
//                 cell N selected (and pressed)
//     --popup-at  pops the tree up as a menu at the point and prints the caption of the item
//                 clicked, or "none"
#include <QApplication>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "toolbar/ViewImage.h"
#include "toolbar/ui/QtMenuLoop.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::string file, render;
    int x = 0, y = 0, align = 0, selected = -1;
    bool popup = false, pressed = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--render" && i + 1 < argc) render = argv[++i];
        else if (a == "--popup-at" && i + 1 < argc) popup = std::sscanf(argv[++i], "%d,%d", &x, &y) == 2;
        else if (a == "--align" && i + 1 < argc) align = std::atoi(argv[++i]);
        else if (a == "--select" && i + 1 < argc) selected = std::atoi(argv[++i]);
        else if (a == "--pressed") pressed = true;
        else file = a;
    }
    std::ifstream in(file);
    if (!in || (render.empty() && !popup)) {
        std::cerr << "usage: tbdemo [--render OUT.png] [--popup-at X,Y [--align N]] FILE\n";
        return 2;
    }
    try {
        tbtest::ItemScript script = tbtest::ParseItemScript(in);
        if (!render.empty() && !tbtest::ViewImage(script, selected, pressed).image.save(QString::fromStdString(render), "PNG")) {
            std::cerr << "tbdemo: cannot write " << render << '\n';
            return 1;
        }
        if (popup) {
            tb::TTBLoopResult r = tb::PopupItem(*script.root, QPoint(x, y), align);
            std::cout << (r.kind == tb::TTBLoopResult::Kind::ClickItem && r.item ? r.item->Caption() : "none") << '\n';
        }
    } catch (const std::exception& e) {
        std::cerr << "tbdemo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
