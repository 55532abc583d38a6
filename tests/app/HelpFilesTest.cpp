// The help and tips files the program ships and how it finds and opens them: what the opener
// is given for each help context, where an installed program looks, and that the shipped
// manual and tips cover the program's real dialogs, commands and keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "app/core/AppIdentity.h"
#include "app/core/HelpContexts.h"
#include "app/core/MainActions.h"
#include "framework/core/SysUtils.h"
#include "framework/core/TipList.h"
#include "support/TempDir.h"

using namespace gs;

namespace {

const std::filesystem::path kHelpSources = GS_HELP_SOURCE_DIR;

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void touch(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

TQBApplication withHelpFile(const std::string& file) {
    TQBApplication app;
    app.HelpFile = file;
    return app;
}

// Each tag of the manual in order: whether it closes, its name, and its attribute text. The
// manual is our own plain HTML (no comments, no '>' inside attribute values), so a scan for
// '<' ... '>' sees every tag, and the test compiles in a fraction of a regular expression's time.
template <typename Visit>
void forEachTag(const std::string& html, Visit visit) {
    const auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t at = html.find('<'); at != std::string::npos; at = html.find('<', at + 1)) {
        const std::size_t end = html.find('>', at);
        if (end == std::string::npos) return;
        std::size_t name = at + 1;
        const bool closing = name < end && html[name] == '/';
        if (closing) ++name;
        if (name >= end || !std::isalpha(static_cast<unsigned char>(html[name]))) continue;
        std::size_t nameEnd = name;
        while (nameEnd < end && isNameChar(html[nameEnd])) ++nameEnd;
        visit(closing, html.substr(name, nameEnd - name), html.substr(nameEnd, end - nameEnd));
    }
}

// The values of every ATTRIBUTE="..." of the manual's tags, in order.
std::vector<std::string> attributeValues(const std::string& html, const std::string& attribute) {
    std::vector<std::string> values;
    const std::string key = attribute + "=\"";
    forEachTag(html, [&](bool, const std::string&, const std::string& attributes) {
        for (std::size_t at = attributes.find(key); at != std::string::npos; at = attributes.find(key, at + 1)) {
            if (at > 0 && !std::isspace(static_cast<unsigned char>(attributes[at - 1]))) continue;
            const std::size_t start = at + key.size(), end = attributes.find('"', start);
            if (end != std::string::npos) values.push_back(attributes.substr(start, end - start));
        }
    });
    return values;
}

// The manual's text as a reader sees it: tags dropped, the three entities it uses decoded,
// runs of blanks and line ends made one blank.
std::string visibleText(const std::string& html) {
    std::string text;
    bool inTag = false;
    for (char c : html) {
        if (c == '<') inTag = true;
        if (!inTag) text += c;
        else if (c == '>') inTag = false, text += ' ';
    }
    for (const auto& [entity, c] : std::map<std::string, std::string>{{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
        for (std::size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, entity.size(), c);
    std::string collapsed;
    for (char c : text) {
        if (!std::isspace(static_cast<unsigned char>(c))) collapsed += c;
        else if (collapsed.empty() || collapsed.back() != ' ') collapsed += ' ';
    }
    return collapsed;
}

// Whether TEXT names WORD on its own: not as part of a longer word or number.
bool namesWord(const std::string& text, const std::string& word) {
    const auto isWordChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const std::size_t after = at + word.size();
        if ((at == 0 || !isWordChar(text[at - 1])) && (after == text.size() || !isWordChar(text[after]))) return true;
    }
    return false;
}

// What a command is called in prose: its caption without the "&" of its access key.
std::string spoken(std::string caption) {
    std::erase(caption, '&');
    return caption;
}

std::string keyText(int shortcut) {
    if (shortcut >= kShortcutAlt) return "Alt+" + std::string(1, char(shortcut - kShortcutAlt));
    if (shortcut >= kShortcutCtrl) return "Ctrl+" + std::string(1, char(shortcut - kShortcutCtrl));
    if (shortcut >= kVkF1 && shortcut < kVkF1 + 24) return "F" + std::to_string(shortcut - kVkF1 + 1);
    if (shortcut == kVkDelete) return "Del";
    return {};
}

}  // namespace

TEST(HelpFile, TheOpenerGetsThePathForTheStartAndAFileAddressWithTheSectionForAContext) {
    gstest::TempDir dir;
    const std::string manual = dir / "glyphscope.html";
    touch(manual);
    EXPECT_EQ(HelpFileToOpen(withHelpFile(manual)), manual);
    EXPECT_EQ(HelpFileToOpen(withHelpFile(manual), 0), manual);
    for (int context : kHelpContexts)
        EXPECT_EQ(HelpFileToOpen(withHelpFile(manual), context),
                  "file://" + manual + "#help-" + std::to_string(context));
    // A missing, unnamed or non-regular help file: nothing opens, whatever the context.
    for (const std::string& file : {std::string(), dir / "missing.html", dir.path.string()})
        for (int context : {0, 500}) EXPECT_EQ(HelpFileToOpen(withHelpFile(file), context), std::nullopt) << file;
}

TEST(HelpFile, FileAddressesEscapeWhatWouldEndOrBendThePath) {
    const std::pair<std::string, std::string> cases[] = {
        {"/opt/glyphscope/share/glyphscope.html", "file:///opt/glyphscope/share/glyphscope.html"},
        {"/home/ann/My Programs/a.html", "file:///home/ann/My%20Programs/a.html"},
        {"/tmp/a#b/c?d.html", "file:///tmp/a%23b/c%3Fd.html"},
        {"/tmp/100%/x.html", "file:///tmp/100%25/x.html"},
        {"/tmp/caf\xC3\xA9/x_y-z~.html", "file:///tmp/caf%C3%A9/x_y-z~.html"},
        {"/tmp/[a]&b;c=d'e\"f", "file:///tmp/%5Ba%5D%26b%3Bc%3Dd%27e%22f"},
    };
    for (const auto& [path, address] : cases) EXPECT_EQ(FileAddress(path), address) << path;
    EXPECT_EQ(HelpSectionName(650), "help-650");

    // A help file named relative to the working folder still opens as a whole address.
    gstest::TempDir dir;
    touch(dir.path / "sub dir" / "m.html");
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path);
    const auto target = HelpFileToOpen(withHelpFile("sub dir/./m.html"), 700);
    std::filesystem::current_path(here);
    ASSERT_TRUE(target);
    EXPECT_EQ(*target, FileAddress((dir.path / "sub dir/m.html").string()) + "#help-700");
}

TEST(HelpFile, TheProgramFindsItsFilesBesideItselfOrInTheInstalledDataFolder) {
    gstest::TempDir root;
    const std::filesystem::path exe = root.path / "prefix/bin/glyphscope";
    const std::filesystem::path beside = root.path / "prefix/bin/glyphscope.html";
    const std::filesystem::path installed = root.path / "prefix/share/glyphscope/glyphscope.html";
    touch(exe);
    EXPECT_EQ(ProgramDataFile(exe, ".html"), beside);  // neither: the one beside, which is not there
    std::filesystem::create_directories(installed);  // a folder of that name is no file
    EXPECT_EQ(ProgramDataFile(exe, ".html"), beside);
    std::filesystem::remove(installed);
    touch(installed);
    EXPECT_EQ(ProgramDataFile(exe, ".html"), installed);  // normalised: no "bin/.." in it
    touch(beside);
    EXPECT_EQ(ProgramDataFile(exe, ".html"), beside);  // a build folder's copy wins
    touch(root.path / "prefix/share/glyphscope/glyphscope.tip");
    EXPECT_EQ(ProgramDataFile(exe, ".tip"), root.path / "prefix/share/glyphscope/glyphscope.tip");

    // The descriptor of an installed program names the installed files.
    std::filesystem::remove(beside);
    const auto app = makeApplicationDescriptor(exe.string());
    EXPECT_EQ(app->HelpFile, installed.string());
    EXPECT_EQ(app->TipFile, (root.path / "prefix/share/glyphscope/glyphscope.tip").string());
    EXPECT_EQ(HelpFileToOpen(*app, kPreferencesHelpContext), FileAddress(installed.string()) + "#help-500");
}

TEST(ShippedManual, HasASectionForEveryHelpContextAndEveryLinkLandsOnOne) {
    const std::string html = readText(kHelpSources / "glyphscope.html");
    ASSERT_FALSE(html.empty());
    std::multiset<std::string> ids;
    for (const std::string& id : attributeValues(html, "id")) ids.insert(id);
    for (const std::string& id : ids) EXPECT_EQ(ids.count(id), 1u) << "the id " << id << " is given twice";
    for (int context : kHelpContexts) EXPECT_EQ(ids.count(HelpSectionName(context)), 1u) << context;
    EXPECT_EQ(ids.count("start"), 1u);
    int links = 0;
    for (const std::string& href : attributeValues(html, "href")) {
        if (href.rfind('#', 0) != 0) continue;
        ++links;
        EXPECT_EQ(ids.count(href.substr(1)), 1u) << "a link to " << href << " leads nowhere";
    }
    EXPECT_GT(links, 20);
}

TEST(ShippedManual, EveryElementIsClosedInOrder) {
    const std::string html = readText(kHelpSources / "glyphscope.html");
    const std::set<std::string> empty = {"meta", "br", "img", "hr", "link", "input"};
    std::vector<std::string> open;
    std::string fault;
    forEachTag(html, [&](bool closing, const std::string& name, const std::string&) {
        if (!fault.empty() || empty.count(name)) return;
        if (!closing) {
            open.push_back(name);
        } else if (open.empty()) {
            fault = "</" + name + "> closes nothing";
        } else if (open.back() != name) {
            fault = "</" + name + "> closes <" + open.back() + ">";
        } else {
            open.pop_back();
        }
    });
    ASSERT_EQ(fault, "");
    EXPECT_TRUE(open.empty()) << "<" << open.back() << "> is never closed";
    EXPECT_EQ(html.rfind("<!DOCTYPE html>", 0), 0u);
}

TEST(ShippedManual, NamesEveryCommandOfTheMainWindowAndItsKey) {
    const std::string text = visibleText(readText(kHelpSources / "glyphscope.html"));
    for (const TActionInfo& action : MainActionTable()) {
        EXPECT_NE(text.find(spoken(action.Caption)), std::string::npos) << action.Name << ": " << action.Caption;
        if (action.MenuCaption) {
            EXPECT_NE(text.find(spoken(action.MenuCaption)), std::string::npos) << action.Name;
        }
        const std::string key = keyText(action.ShortCut);
        if (!key.empty()) {
            EXPECT_NE(text.find(key), std::string::npos) << action.Name << ": " << key;
        }
    }
}

TEST(ShippedTips, AtLeastTwentyTipsEachAboutARealCommandOrKey) {
    const std::vector<std::string> tips = ReadTipFile(kHelpSources / "glyphscope.tip");
    EXPECT_GE(tips.size(), 20u);
    std::set<std::string> names;
    for (const TActionInfo& action : MainActionTable()) {
        const std::string caption = spoken(action.Caption);
        // "Save As Icon(s)..." is mentioned as such; a menu head ("File") names nothing.
        if (action.ShortCut != 0 || caption.size() > 6) names.insert(caption.substr(0, caption.find("...")));
        if (!keyText(action.ShortCut).empty()) names.insert(keyText(action.ShortCut));
    }
    for (const char* prefix : {"/X:", "/XB:", "/XBS:"}) names.insert(prefix);  // the command line's
    std::set<std::string> seen;
    for (const std::string& tip : tips) {
        EXPECT_FALSE(tip.empty()) << "an empty line would show an empty tip";
        EXPECT_LE(tip.size(), 260u) << "longer than the tip window shows: " << tip;
        EXPECT_TRUE(seen.insert(tip).second) << "twice: " << tip;
        const bool aboutSomething = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return namesWord(tip, name);
        });
        EXPECT_TRUE(aboutSomething) << "names no command or key: " << tip;
    }
}
