// gsprobe subcommands over the toolbar library's core:
//   tb-shortcut CODE|TEXT   the other form of a shortcut ("16452" <-> "Ctrl+D")
//   tb-mru MAX NAME...      the captions of a recent list holding the names, one a line
//   tb-menu-settings        the menu settings read from the store GLYPHSCOPE_REGISTRY names
//   tb-layout --metrics H,L,W FILE
//                           lays out the item tree FILE describes (font height H, external
//                           leading L, W pixels a character, 16-pixel images): each cell's
//                           "left top right bottom" or "-" when hidden, then the view's WxH
//   tb-dockrows LENGTH NAME:ROW:POS:SIZE:MIN:MODE...
//                           lays out 22-pixel-thick windows in a dock of inner LENGTH (MODE
//                           none, wrap or chevron, "+full" and "+stretch" added): each
//                           window's "NAME ROW POS LENGTH", in the order given
#include <cctype>
#include <fstream>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "Probe.h"
#include "toolbar/ItemScript.h"
#include "toolbar/core/DockLayout.h"
#include "toolbar/core/ItemCells.h"
#include "toolbar/core/MRUList.h"
#include "toolbar/core/MenuSettings.h"
#include "toolbar/core/ShortCut.h"

namespace {

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit((unsigned char)c)) return false;
    return true;
}

int shortcut(const gsprobe::Args& args) {
    if (args.size() != 1) return gsprobe::kUsage;
    if (allDigits(args[0])) {
        unsigned long code = std::stoul(args[0]);
        std::string text = code <= 0xFFFF ? tb::ShortCutToText(tb::TShortCut(code)) : "";
        if (text.empty()) return gsprobe::kNothing;
        std::cout << text << '\n';
        return 0;
    }
    std::optional<tb::TShortCut> code = tb::TextToShortCut(args[0]);
    if (!code) return gsprobe::kNothing;
    std::cout << *code << '\n';
    return 0;
}

int mru(const gsprobe::Args& args) {
    if (args.empty()) return gsprobe::kUsage;
    tb::TTBMRUList list(nullptr);
    list.SetHidePathExtension(false);  // as the main window's lists show them
    list.SetMaxItems(std::stoi(args[0]));
    list.SetItems(gsprobe::Args(args.begin() + 1, args.end()));
    for (int i = 0; i < list.Container()->Count(); ++i) std::cout << list.Container()->Items(i)->Caption() << '\n';
    return 0;
}

int menuSettings(const gsprobe::Args& args) {
    if (!args.empty()) return gsprobe::kUsage;
    gs::TRegistryStore& store = gs::defaultRegistryStore();
    std::cout << "MenuShowDelay=" << tb::MenuShowDelayFromStore(store) << '\n'
              << "MenuPopup=" << tb::SoundSchemeEnabled(store, tb::kSoundMenuPopup) << '\n'
              << "MenuCommand=" << tb::SoundSchemeEnabled(store, tb::kSoundMenuCommand) << '\n';
    return 0;
}

int layout(const gsprobe::Args& args) {
    int h = 0, l = 0, w = 0;
    if (args.size() != 3 || args[0] != "--metrics" || std::sscanf(args[1].c_str(), "%d,%d,%d", &h, &l, &w) != 3)
        return gsprobe::kUsage;
    std::ifstream in(args[2]);
    if (!in) throw std::runtime_error("cannot read " + args[2]);
    tbtest::ItemScript script = tbtest::ParseItemScript(in);
    tb::TTextMetrics metrics{h, l, [w](std::string_view s) { return int(s.size()) * w; }};
    std::vector<tb::TLayoutCell> cells;
    for (tb::TTBCustomItem* item : tb::CellItemsOf(script.root.get(), false))
        cells.push_back(tb::MeasureCell(*item, script.place, metrics, tb::TImageSize{16, 16}));
    tb::TLayoutResult r = tb::ComputeLayout(cells, script.params);
    for (const tb::TLayoutCell& c : cells) {
        if (c.shown) std::cout << c.rect.left << ' ' << c.rect.top << ' ' << c.rect.right << ' ' << c.rect.bottom << '\n';
        else std::cout << "-\n";
    }
    std::cout << r.newSize.x << 'x' << r.newSize.y << '\n';
    return 0;
}

// A whole decimal int, or a clear error naming what it was for.
int wholeInt(const std::string& text, const std::string& what) {
    std::size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) throw std::runtime_error("bad " + what + ": \"" + text + "\"");
    return v;
}

int dockRows(const gsprobe::Args& args) {
    if (args.size() < 2) return gsprobe::kUsage;
    tb::TDockLayoutParams params;
    params.availableLength = wholeInt(args[0], "length");
    std::vector<std::string> names;
    std::vector<tb::TDockedWindow> windows;
    for (std::size_t i = 1; i < args.size(); ++i) {
        std::vector<std::string> f;
        std::size_t at = 0;
        for (std::size_t colon; (colon = args[i].find(':', at)) != std::string::npos; at = colon + 1)
            f.push_back(args[i].substr(at, colon - at));
        f.push_back(args[i].substr(at));
        if (f.size() != 6) throw std::runtime_error("want NAME:ROW:POS:SIZE:MIN:MODE, not \"" + args[i] + "\"");
        tb::TDockedWindow w;
        w.dockRow = wholeInt(f[1], "row");
        w.dockPos = wholeInt(f[2], "position");
        w.fullLength = wholeInt(f[3], "size");
        w.minLength = wholeInt(f[4], "minimum");
        std::string mode = f[5];
        for (const auto& [flag, field] : {std::pair{"+full", &tb::TDockedWindow::fullSize},
                                          std::pair{"+stretch", &tb::TDockedWindow::stretch}}) {
            const std::size_t p = mode.find(flag);
            if (p != std::string::npos) {
                w.*field = true;
                mode.erase(p, std::string(flag).size());
            }
        }
        if (mode == "wrap") w.shrinkMode = tb::TTBShrinkMode::tbsmWrap;
        else if (mode == "chevron") w.shrinkMode = tb::TTBShrinkMode::tbsmChevron;
        else if (mode != "none") throw std::runtime_error("bad mode: \"" + f[5] + "\"");
        names.push_back(f[0]);
        windows.push_back(w);
    }
    tb::LayoutRows(windows, params, [](std::size_t, int) { return 22; });
    for (std::size_t i = 0; i < windows.size(); ++i)
        std::cout << names[i] << ' ' << windows[i].effectiveRow << ' ' << windows[i].effectivePos << ' '
                  << windows[i].length << '\n';
    return 0;
}

gsprobe::Registrar r1("tb-shortcut", shortcut);
gsprobe::Registrar r2("tb-mru", mru);
gsprobe::Registrar r3("tb-menu-settings", menuSettings);
gsprobe::Registrar r4("tb-layout", layout);
gsprobe::Registrar r5("tb-dockrows", dockRows);

}  // namespace
