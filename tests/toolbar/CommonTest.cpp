// The shared routines: accelerators, rounding, the list sort, monitors, shortcut texts and
// the menu settings read from the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "toolbar/core/Common.h"
#include "toolbar/core/MenuSettings.h"
#include "toolbar/core/ShortCut.h"

using namespace tb;

TEST(ToolbarCommon, Accelerators) {
    struct Case {
        const char* text;
        char32_t accel;
        const char* shown;
        int pos;  // in characters
    } cases[] = {
        {"&About", 'A', "About", 0},         {"&About &Box", 'B', "About Box", 6},
        {"Tom && Jerry", 0, "Tom & Jerry", -1}, {"End&", 0, "End", -1},
        {"&&&x", 'x', "&x", 1},              {"", 0, "", -1},
        {"Save &As&", 'A', "Save As", 5},      {"&Été", U'É', "Été", 0},
        {"Grü&ße", U'ß', "Grüße", 3}, {"&\xC3", 0xC3, "\xC3", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(AcceleratorCharOf(c.text), c.accel);
        EXPECT_EQ(StripAccelerators(c.text), c.shown);
        EXPECT_EQ(AcceleratorPosition(c.text), c.pos);
        TextMeasurer chars = [](std::string_view s) { return int(s.size()) * 7; };
        EXPECT_EQ(TextWidthOf(chars, c.text, true), int(std::string_view(c.shown).size()) * 7);
        EXPECT_EQ(TextWidthOf(chars, c.text, false), int(std::string_view(c.text).size()) * 7);
    }
}

TEST(ToolbarCommon, Utf8AndCaseFolding) {
    // Text, first code point, bytes it took: a malformed sequence is its first byte alone.
    const std::tuple<const char*, char32_t, std::size_t> reads[] = {{"\u20ac", 0x20AC, 3}, {"\U0001D11E", 0x1D11E, 4},
        {"\xE2\x82", 0xE2, 1}, {"\xC0\x80", 0xC0, 1}, {"\xED\xA0\x80", 0xED, 1}, {"\xC3(", 0xC3, 1}, {"\xF4\x90\x80\x80", 0xF4, 1}};
    for (auto [text, first, used] : reads) {
        std::size_t at = 0;
        EXPECT_EQ(std::pair(NextCodePoint(text, at), at), std::pair(first, used)) << text;
    }
    // Unicode's simple case folding, across scripts and the irregular cases: a final sigma, the
    // titlecase digraph, capitals that fold far (Latin extended, Georgian, Cherokee small letters
    // fold to capitals), those whose full folding is longer (S mappings) or has no simple form
    // (in Unicode 14; 15 folds U+1FD3 and U+FB05 too).
    const std::pair<char32_t, char32_t> folds[] = {{'A', 'a'}, {'a', 'a'}, {U'\u00c9', U'\u00e9'}, {U'\u00d7', U'\u00d7'},
        {U'\u00b5', U'\u03bc'}, {U'\u0178', U'\u00ff'}, {U'\u0139', U'\u013a'}, {U'\u013a', U'\u013a'},
        {U'\u017f', U's'}, {U'\u0181', U'\u0253'}, {U'\u0186', U'\u0254'}, {U'\u01c4', U'\u01c6'},
        {U'\u01c5', U'\u01c6'}, {U'\u0130', U'\u0130'}, {U'\u03a9', U'\u03c9'}, {U'\u03c2', U'\u03c3'},
        {U'\u0386', U'\u03ac'}, {U'\u1fd3', U'\u1fd3'}, {U'\u1f88', U'\u1f80'}, {U'\u0401', U'\u0451'},
        {U'\u042f', U'\u044f'}, {U'\u04c1', U'\u04c2'}, {U'\u0531', U'\u0561'}, {U'\u10a0', U'\u2d00'},
        {U'\u1c90', U'\u10d0'}, {U'\uab70', U'\u13a0'}, {U'\u1e9e', U'\u00df'}, {U'\u00df', U'\u00df'},
        {U'\u2126', U'\u03c9'}, {U'\u212a', U'k'}, {U'\u24b6', U'\u24d0'}, {U'\u2c00', U'\u2c30'},
        {U'\ufb05', U'\ufb05'}, {U'\uff21', U'\uff41'}, {U'\U00010400', U'\U00010428'},
        {U'\U0001e900', U'\U0001e922'}, {U'\U0010ffff', U'\U0010ffff'}};
    for (auto [upper, lower] : folds) EXPECT_EQ(FoldCase(upper), lower) << std::hex << unsigned(upper);
}

TEST(ToolbarCommon, MenuDropAlignmentFromTheStore) {
    gs::TRegistryStore store(":memory:");
    EXPECT_FALSE(MenuDropsRightFromStore(store));  // no key
    for (auto [value, right] : {std::pair{gs::TRegValue::Sz("1"), true}, std::pair{gs::TRegValue::Sz("0"), false},
                                std::pair{gs::TRegValue::Sz("x"), false}, std::pair{gs::TRegValue::Dword(1), false}}) {
        gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Write);
        t.WriteValue(t.CreateKey(gs::HKEY_CURRENT_USER, kWindowsKey), kMenuDropAlignmentValue, value);
        t.Commit();
        EXPECT_EQ(MenuDropsRightFromStore(store), right) << value.Text().value_or("(dword)");
    }
}

TEST(ToolbarCommon, Division) {
    struct Case {
        int a, b, away, mul;
    } cases[] = {{7, 3, 3, 0}, {-7, 3, -3, 0}, {6, 3, 2, 0}, {-6, 3, -2, 0}, {7, -3, -3, 0}, {5, 0, 0, 0}, {0, 4, 0, 0}};
    for (const Case& c : cases) EXPECT_EQ(DivideAwayFromZero(c.a, c.b), c.away) << c.a << '/' << c.b;
    EXPECT_EQ(MulDiv(200, 128, 255), 100);
    EXPECT_EQ(MulDiv(255, 75, 150), 128);  // 127.5 rounds up
    EXPECT_EQ(MulDiv(-255, 75, 150), -128);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 0x7FFFFFFF, 1), -1);
}

TEST(ToolbarCommon, SortListOrdersAndStaysInBounds) {
    std::mt19937 rng(7);
    for (int n : {0, 1, 2, 3, 17, 200}) {
        std::vector<int> v(static_cast<std::size_t>(n));
        for (int& x : v) x = int(rng() % 5);  // many equal keys
        std::vector<int> expected = v;
        std::sort(expected.begin(), expected.end());
        SortList(v, [](int a, int b) { return a - b; });
        EXPECT_EQ(v, expected) << n;
    }
    // A comparison that contradicts itself (always "less", always "greater", random)
    // must still end without reading past the list; ASan checks the reads.
    for (int answer : {-1, 1, 2}) {
        std::vector<int> v(50, 1);
        SortList(v, [&](int, int) { return answer == 2 ? int(rng() % 3) - 1 : answer; });
        EXPECT_EQ(v.size(), 50u);
    }
}

TEST(ToolbarCommon, MonitorLookup) {
    std::vector<TMonitor> screens = {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}},
                                     {{1920, 0, 3200, 1024}, {1920, 30, 3200, 1024}}};
    EXPECT_EQ(MonitorAreaOfRect(screens, {1800, 10, 2100, 50}, false), (TRect{1920, 0, 3200, 1024}));  // most overlap
    EXPECT_EQ(MonitorAreaOfRect(screens, {100, 100, 200, 200}, true), (TRect{0, 0, 1920, 1040}));
    EXPECT_EQ(MonitorAreaOfPoint(screens, {4000, 500}, true), (TRect{1920, 30, 3200, 1024}));  // nearest
    EXPECT_EQ(MonitorAreaOfPoint(screens, {-50, -50}, false), (TRect{0, 0, 1920, 1080}));
    EXPECT_EQ(MonitorAreaOfPoint({}, {0, 0}, false), std::nullopt);
}

TEST(ToolbarCommon, ShortCutTexts) {
    struct Case {
        TShortCut code;
        const char* text;
    } cases[] = {
        {16452, "Ctrl+D"}, {57432, "Shift+Ctrl+Alt+X"}, {0x8031, "Alt+1"}, {0x74, "F5"},
        {0x2E, "Del"},     {0x21, "PgUp"},             {0x25, "Left"},  {0x1B, "Esc"},
        {0x0D, "Enter"},   {0x20, "Space"},            {0x08, "BkSp"},  {0x2000 | 0x7B, "Shift+F12"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShortCutToText(c.code), c.text);
        EXPECT_EQ(TextToShortCut(c.text), c.code) << c.text;
    }
    EXPECT_EQ(ShortCutToText(0), "");
    EXPECT_EQ(ShortCutToText(0x4000 | 0xFF), "");  // a key without a name
    EXPECT_EQ(TextToShortCut("ctrl+shift+d"), TShortCut(scCtrl | scShift | 'D'));
    EXPECT_EQ(TextToShortCut("Ctrl+"), std::nullopt);
    EXPECT_EQ(TextToShortCut("Hyper+D"), std::nullopt);
}

namespace {
void putDelay(gs::TRegistryStore& store, const gs::TRegValue& v) {
    gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Write);
    t.WriteValue(t.CreateKey(gs::HKEY_CURRENT_USER, kDesktopKey), kMenuShowDelayValue, v);
    t.Commit();
}
}  // namespace

TEST(ToolbarCommon, MenuShowDelayFromTheStore) {
    gs::TRegistryStore store(":memory:");
    EXPECT_EQ(MenuShowDelayFromStore(store), 400);  // no key
    {
        gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Write);
        t.CreateKey(gs::HKEY_CURRENT_USER, kDesktopKey);
        t.Commit();
    }
    EXPECT_EQ(MenuShowDelayFromStore(store), 400);  // no value
    struct Case {
        gs::TRegValue value;
        int delay;
    } cases[] = {
        {gs::TRegValue::Sz("250"), 250},
        {gs::TRegValue::Sz("abc"), 0},
        {gs::TRegValue::Sz("-5"), 0},
        {gs::TRegValue::Sz(std::string(40, '9')), 0},
        {gs::TRegValue::Sz("0000000000000000000000000000100"), 100},   // 31 characters
        {gs::TRegValue::Sz("00000000000000000000000000000100"), 0},    // 32 characters
        {gs::TRegValue::Sz("2147483647"), 2147483647},
        {gs::TRegValue::Sz("4294967296"), 0},
        {gs::TRegValue::Sz(""), 0},
        {gs::TRegValue::Sz("12 "), 0},
        {gs::TRegValue::Dword(250), 0},  // not a string
    };
    for (const Case& c : cases) {
        putDelay(store, c.value);
        EXPECT_EQ(MenuShowDelayFromStore(store), c.delay) << c.value.Text().value_or("(dword)");
    }
}

