// gsprobe subcommands over the toolbar library's core:
//   tb-shortcut CODE|TEXT   the other form of a shortcut ("16452" <-> "Ctrl+D")
//   tb-mru MAX NAME...      the captions of a recent list holding the names, one a line
//   tb-menu-settings        the menu settings read from the store GLYPHSCOPE_REGISTRY names
//   tb-layout --metrics H,L,W FILE
//                           lays out the item tree FILE describes (font height H, external
//                           leading L, W pixels a character, 16-pixel images): each cell's
//                           "left top right bottom" or "-" when hidden, then the view's WxH
#include <cctype>
#include <fstream>
#include <cstdio>
#include <iostream>
#include <stdexcept>

#include "Probe.h"
#include "toolbar/ItemScript.h"
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
    gs::RegistryStore& store = gs::defaultRegistryStore();
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

gsprobe::Registrar r1("tb-shortcut", shortcut);
gsprobe::Registrar r2("tb-mru", mru);
gsprobe::Registrar r3("tb-menu-settings", menuSettings);
gsprobe::Registrar r4("tb-layout", layout);

}  // namespace
