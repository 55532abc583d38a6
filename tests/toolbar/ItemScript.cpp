#include "ItemScript.h"

#include "toolbar/core/MRUList.h"

#include <functional>
#include <sstream>
#include <stdexcept>
#include <vector>

using namespace tb;

namespace tbtest {

namespace {

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::size_t end = line[i] == '"' ? line.find('"', i + 1) : line.find(' ', i);
        if (end == std::string::npos) end = line.size();
        out.push_back(line.substr(i, end - i + (line[i] == '"' ? 1 : 0)));
        i = end + 1;
    }
    return out;
}

int number(const std::string& token) { return std::stoi(token.substr(token.find('=') + 1)); }

void setUpView(ItemScript& s, const std::vector<std::string>& t) {
    for (std::size_t i = 1; i < t.size(); ++i) {
        const std::string& w = t[i];
        if (w == "toolbar" || w == "popup") s.place.toolbarView = s.params.toolbarView = w == "toolbar";
        else if (w == "vertical") s.place.orientation = TTBViewOrientation::Vertical;
        else if (w == "floating") s.place.orientation = TTBViewOrientation::Floating;
        else if (w.rfind("wrap=", 0) == 0) s.params.wrapLength = number(w);
        else if (w.rfind("chevron=", 0) == 0) s.params.chevronLimit = number(w), s.params.chevronLength = 12;
        else if (w.rfind("height=", 0) == 0) s.params.heightLimit = number(w);
        else if (w.rfind("scroll=", 0) == 0) s.params.scrollPos = number(w);
        else throw std::runtime_error("unknown view setting: " + w);
    }
    s.params.orientation = s.place.orientation;
}

// Items whose style bits a script may add to (the library's own classes set them).
template <class Base>
struct Styled : Base {
    using Base::Base;
    void AddStyle(TTBItemStyle style) { this->SetItemStyle(this->ItemStyle() | style); }
};
using StyleAdder = std::function<void(TTBItemStyle)>;

TTBCustomItem* makeItem(const std::string& kind, TComponent* owner, StyleAdder& addStyle) {
    auto make = [&](auto* item) {
        addStyle = [item](TTBItemStyle style) { item->AddStyle(style); };
        return item;
    };
    if (kind == "button") return make(new Styled<TTBItem>(owner));
    if (kind == "separator") return make(new Styled<TTBSeparatorItem>(owner));
    if (kind == "mru") return make(new Styled<TTBMRUListItem>(owner));
    auto* sub = make(new Styled<TTBSubmenuItem>(owner));
    if (kind == "split") sub->SetDropdownCombo(true);
    else if (kind == "dropdown") sub->SetOptions(tboDropdownArrow);
    else if (kind != "submenu") throw std::runtime_error("unknown item kind: " + kind);
    return sub;
}

}  // namespace

ItemScript ParseItemScript(std::istream& in) {
    ItemScript s;
    s.params.toolbarView = true;
    std::vector<TTBCustomItem*> levels{s.root.get()};
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        std::vector<std::string> t = tokens(line);
        if (t.empty() || t[0][0] == '#') continue;
        if (t[0] == "view") {
            setUpView(s, t);
            continue;
        }
        std::size_t depth = line.find_first_not_of(' ') / 2;
        if (depth + 1 > levels.size()) throw std::runtime_error("line " + std::to_string(n) + ": indented too far");
        levels.resize(depth + 1);
        StyleAdder addStyle;
        TTBCustomItem* item = makeItem(t[0], s.root.get(), addStyle);
        levels.back()->Add(item);
        for (std::size_t i = 1; i < t.size(); ++i) {
            const std::string& w = t[i];
            if (w[0] == '"') item->SetCaption(w.substr(1, w.size() - 2));
            else if (w == "image") item->SetImageIndex(0);
            else if (w.rfind("image=", 0) == 0) item->SetImageIndex(number(w));
            else if (w.rfind("shortcut=", 0) == 0) item->SetShortCut(TextToShortCut(w.substr(9)).value_or(0));
            else if (w == "hidden") item->SetVisible(false);
            else if (w == "disabled") item->SetEnabled(false);
            else if (w == "checked") item->SetChecked(true);
            else if (w == "rightalign") addStyle(tbstRightAlign);
            else if (w == "nolinebreak") addStyle(tbstNoLineBreak);
            else if (w == "default") item->SetOptions(item->Options() | tboDefault);
            else if (w == "imageabove") item->SetOptions(item->Options() | tboImageAboveCaption);
            else if (w == "norotation") item->SetOptions(item->Options() | tboNoRotation);
            else if (w.rfind("help=", 0) == 0) item->SetHelpContext(number(w));
            else throw std::runtime_error("line " + std::to_string(n) + ": unknown attribute " + w);
        }
        levels.push_back(item);
    }
    return s;
}

}  // namespace tbtest
