// The extended controls' rules without widgets: spin values, font filters, the combo edits'
// names and folders, and the speed button's face arithmetic.
#include <gtest/gtest.h>

#include <set>

#include "controls/core/ButtonFace.h"
#include "controls/core/ComboEditRules.h"
#include "controls/core/FontFilter.h"
#include "controls/core/SpinValue.h"

using namespace gs;

namespace {
TSpinValue spinOf(TValueType type, double min, double max) {
    TSpinValue s;
    s.SetValueType(type);
    s.MinValue = min;
    s.MaxValue = max;
    return s;
}
}  // namespace

TEST(SpinValue, ReadsWritesAndClampsEachType) {
    struct Case {
        TValueType type;
        double min, max;
        std::string text;
        double value;       // what the text reads as
        std::string shown;  // the value written back
    } cases[] = {
        {TValueType::vtInteger, 1, 20, "25", 25, "20"},
        {TValueType::vtInteger, 1, 20, "", 1, "1"},
        {TValueType::vtInteger, 1, 20, "abc", 1, "1"},
        {TValueType::vtInteger, 1.7, 20, "x", 1, "2"},
        {TValueType::vtInteger, 0, 0, "-123456", -123456, "-123456"},  // equal bounds: anything
        {TValueType::vtInteger, 0, 0, "2.5", 0, "0"},
        {TValueType::vtHex, 0, 0, "ff", 255, "FF"},
        {TValueType::vtHex, 0, 0, "FFFFFFFF", 4294967295.0, "FFFFFFFF"},
        {TValueType::vtHex, 0, 0, "0x10", 0, "0"},
        {TValueType::vtHex, 16, 32, "zz", 16, "10"},
        {TValueType::vtFloat, 0, 0, "2.5", 2.5, "2.50"},
        {TValueType::vtFloat, 0, 10, "1e1", 10, "10.00"},
        {TValueType::vtFloat, 0.5, 10, "nan", 0.5, "0.50"},
        {TValueType::vtFloat, 0.5, 10, "", 0.5, "0.50"},
    };
    for (const Case& c : cases) {
        const TSpinValue s = spinOf(c.type, c.min, c.max);
        EXPECT_EQ(s.Parse(c.text), c.value) << c.text;
        EXPECT_EQ(s.Format(s.Parse(c.text)), c.shown) << c.text;
    }
    // Whole types round halves to even.
    const TSpinValue whole = spinOf(TValueType::vtInteger, 0, 0);
    EXPECT_EQ(whole.Format(2.5), "2");
    EXPECT_EQ(whole.Format(3.5), "4");
    EXPECT_EQ(whole.Format(-2.5), "-2");
}

TEST(SpinValue, StepsLeavesAndFiltersAsTheOptionsFieldsNeed) {
    TSpinValue limit = spinOf(TValueType::vtInteger, 1, 5000);
    EXPECT_EQ(limit.Step("4999", +1), "5000");
    EXPECT_EQ(limit.Step("5000", +1), "5000");
    EXPECT_EQ(limit.Step("1", -1), "1");
    EXPECT_EQ(limit.ClampedOnExit("0"), "1");
    EXPECT_EQ(limit.ClampedOnExit("6000"), "5000");
    EXPECT_EQ(limit.ClampedOnExit(""), "1");
    EXPECT_EQ(limit.ClampedOnExit("12a"), "1");

    TSpinValue f;
    f.Increment = 0.4;
    f.SetValueType(TValueType::vtFloat);
    EXPECT_EQ(f.Increment, 0.4);
    f.SetValueType(TValueType::vtInteger);
    EXPECT_EQ(f.Increment, 1);  // 0.4 rounds to 0, and a step of 0 would never move

    struct Typed {
        TValueType type;
        char32_t c;
        std::string text;
        bool editor;
        bool accepted;
    } typed[] = {
        {TValueType::vtInteger, '7', "", true, true},    {TValueType::vtInteger, '-', "1", true, true},
        {TValueType::vtInteger, 'a', "", true, false},   {TValueType::vtInteger, '.', "1", true, false},
        {TValueType::vtHex, 'a', "", true, true},        {TValueType::vtHex, 'G', "", true, false},
        {TValueType::vtFloat, '.', "1", true, true},     {TValueType::vtFloat, '.', "1.5", true, false},
        {TValueType::vtFloat, 'e', "1.5", true, true},   {TValueType::vtFloat, 'E', "1e5", true, false},
        {TValueType::vtInteger, 8, "12", true, true},    {TValueType::vtInteger, 8, "12", false, false},
        {TValueType::vtInteger, '5', "12", false, false}, {TValueType::vtInteger, 3, "12", false, true},
    };
    for (const Typed& t : typed) {
        TSpinValue s;
        s.SetValueType(t.type);
        EXPECT_EQ(s.AcceptsChar(t.c, t.text, t.editor), t.accepted) << char(t.c) << " into " << t.text;
    }
}

TEST(FontFilter, EachOptionHoldsAlone) {
    using enum TFontListOption;
    const TFontFacts ansiTrueType{kAnsiCharset, kTrueTypeFontType, 0};
    const TFontFacts symbol{kSymbolCharset, kTrueTypeFontType, 0};
    const TFontFacts oemRaster{kOemCharset, kRasterFontType, kFixedPitchBit};
    const TFontFacts device{kAnsiCharset, kDeviceFontType, 0};
    struct Case {
        TFontListOption option;
        std::set<int> passing;  // of 0 ansiTrueType, 1 symbol, 2 oemRaster, 3 device
    } cases[] = {
        {foAnsiOnly, {0, 3}},     {foTrueTypeOnly, {0, 1}}, {foFixedPitchOnly, {2}},     {foOEMFontsOnly, {2}},
        {foNoOEMFonts, {0, 1, 3}}, {foNoSymbolFonts, {0, 2, 3}}, {foScalableOnly, {0, 1, 3}},
    };
    const TFontFacts all[] = {ansiTrueType, symbol, oemRaster, device};
    for (const Case& c : cases)
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(FontPassesOptions(TFontListOptions(c.option), all[i]), c.passing.contains(i)) << int(c.option) << " " << i;
    const TFontListOptions dialog = foAnsiOnly | foTrueTypeOnly | TFontListOptions(foNoSymbolFonts);
    EXPECT_TRUE(FontPassesOptions(dialog, ansiTrueType));
    EXPECT_FALSE(FontPassesOptions(dialog, symbol));
    EXPECT_FALSE(FontPassesOptions(dialog, device));
    EXPECT_TRUE(FontPassesOptions(0, oemRaster));
    // Devices: a printer takes only what has outlines; the screen and both take all.
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(FontOnDevice(TFontDevice::fdScreen, all[i]));
        EXPECT_TRUE(FontOnDevice(TFontDevice::fdBoth, all[i]));
        EXPECT_EQ(FontOnDevice(TFontDevice::fdPrinter, all[i]), i != 2) << i;
    }
}

TEST(ComboEditRules, NamesFoldersAndGlyphs) {
    const std::set<std::string> files = {"/opt/My Editor/edit", "/opt/a[1]|b"};
    const std::set<std::string> dirs = {"/home/me/Icon Folder", "/tmp"};
    const auto isFile = [&](const std::string& p) { return files.contains(p); };
    const auto isDir = [&](const std::string& p) { return dirs.contains(p); };
    struct Case {
        std::string text, fileName;
    } names[] = {
        {"/opt/My Editor/edit", "/opt/My Editor/edit"},           // an existing file is taken whole
        {"\"/opt/My Editor/edit\" -x", "/opt/My Editor/edit"},     // quotes and switch dropped
        {"\"/opt/No Such/app\" --flag", "/opt/No Such/app"},
        {"/usr/bin/app -x", "/usr/bin/app"},
        {"/opt/a[1]|b", "/opt/a[1]|b"},
        {"", ""},
    };
    for (const Case& c : names) EXPECT_EQ(FileNameOfText(c.text, isFile), c.fileName) << c.text;
    EXPECT_EQ(QuotedFileName("/opt/My Editor/edit"), "\"/opt/My Editor/edit\"");
    EXPECT_EQ(FileNameOfText(QuotedFileName("/opt/My Editor/edit"), isFile), "/opt/My Editor/edit");
    EXPECT_EQ(QuotedFileName("\"/x y\""), "\"/x y\"");
    EXPECT_TRUE(IsValidEditFileName("/opt/a[1]|b<>\"?*"));
    EXPECT_FALSE(IsValidEditFileName(std::string("a\0b", 3)));
    const std::string longName(600, 'n');  // never cut
    EXPECT_EQ(FileNameOfText("/" + longName, isFile), "/" + longName);

    EXPECT_EQ(FolderDialogStart("", "", isDir), "/");
    EXPECT_EQ(FolderDialogStart("", "/tmp", isDir), "/tmp");
    EXPECT_EQ(FolderDialogStart("/home/me/Icon Folder", "/tmp", isDir), "/home/me/Icon Folder");
    EXPECT_EQ(FolderDialogStart("/nowhere", "/tmp", isDir), "/");
    EXPECT_EQ(FolderEditText("/a", "/b c", false), "/b c");
    EXPECT_EQ(FolderEditText("/a", "/b c", true), "/a;/b c");
    EXPECT_EQ(FolderEditText("", "/b", true), "/b");
    EXPECT_EQ(FolderOfDroppedName("/opt/My Editor/edit", isFile), "/opt/My Editor");
    EXPECT_EQ(FolderOfDroppedName("/home/me/Icon Folder", isFile), "/home/me/Icon Folder");

    EXPECT_EQ(EllipsisDotsX(21), (std::array<int, 3>{1, 6, 11}));  // 15 wide: gap 3
    EXPECT_EQ(EllipsisDotsX(14), (std::array<int, 3>{0, 3, 6}));   // 8 wide: gap 1
}

TEST(ButtonFace, GlyphsPerStateAndTheirSources) {
    EXPECT_EQ(GlyphCountOfStrip(64, 16, 1), 4);
    EXPECT_EQ(GlyphCountOfStrip(96, 16, 1), 1);  // six is more than a strip holds
    EXPECT_EQ(GlyphCountOfStrip(20, 16, 3), 3);  // not a multiple: kept
    using S = TButtonState;
    using G = TGlyphSource;
    struct Case {
        S state;
        int count;
        G source;
        int slice;
    } cases[] = {
        {S::bsUp, 1, G::Slice, 0},       {S::bsDisabled, 1, G::Disabled, 0}, {S::bsDisabled, 2, G::Slice, 1},
        {S::bsDown, 2, G::Slice, 0},     {S::bsDown, 3, G::Slice, 2},        {S::bsExclusive, 3, G::Slice, 0},
        {S::bsExclusive, 4, G::Slice, 3}, {S::bsInactive, 4, G::Grey, 0},     {S::bsInactive, 5, G::Slice, 4},
    };
    for (const Case& c : cases) {
        const TGlyphChoice g = GlyphForState(c.state, c.count, false);
        EXPECT_EQ(g.Source, c.source) << int(c.state) << "/" << c.count;
        EXPECT_EQ(g.Slice, c.slice) << int(c.state) << "/" << c.count;
    }
    EXPECT_EQ(GlyphForState(S::bsUp, 1, true).Source, G::None);
    EXPECT_EQ(GreyOf(0xFF0000), 0x4C4C4Cu);
    EXPECT_EQ(GreyOf(0xFFFFFF), 0xFFFFFFu);
}

TEST(ButtonFace, DropDownMenusOpenWhereTheirPositionAndAlignmentSay) {
    using P = TDropDownMenuPos;
    using A = TPopupAlignment;
    const struct Case {
        P position;
        A alignment;
        TFacePoint at;
    } cases[] = {
        {P::dmpBottom, A::paLeft, {-1, 20}}, {P::dmpBottom, A::paRight, {31, 20}}, {P::dmpBottom, A::paCenter, {15, 20}},
        {P::dmpRight, A::paLeft, {30, -1}},  {P::dmpRight, A::paRight, {-1, -1}},  {P::dmpRight, A::paCenter, {15, 20}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DropDownMenuAt(c.position, c.alignment, {30, 20}), c.at) << int(c.position) << int(c.alignment);
}

TEST(ButtonFace, LaysOutGlyphAndCaption) {
    using L = TButtonLayout;
    const TFaceSize client{60, 40}, glyph{16, 16}, text{20, 10};
    struct Case {
        L layout;
        int margin, spacing;
        bool mark;
        int glyphX, glyphY, textX, textY;
    } cases[] = {
        // Automatic margin and spacing share the free length in three.
        {L::blGlyphLeft, -1, -1, false, 8, 12, 32, 15},
        {L::blGlyphRight, -1, -1, false, 36, 12, 8, 15},
        {L::blGlyphTop, -1, 1, false, 22, 7, 20, 24},
        {L::blGlyphBottom, 2, 1, false, 22, 22, 20, 11},
        {L::blGlyphLeft, 4, -1, false, 4, 12, 30, 15},
        // The mark widens the caption beside a left glyph, the glyph otherwise.
        {L::blGlyphLeft, 4, 2, true, 4, 12, 22, 15},
        {L::blGlyphTop, 2, 1, true, 19, 2, 20, 19},
    };
    for (const Case& c : cases) {
        const TFaceLayout f = LayoutFace(0, 0, client, glyph, text, c.layout, c.margin, c.spacing, c.mark);
        EXPECT_EQ(f.GlyphX, c.glyphX) << int(c.layout) << " " << c.margin << " " << c.spacing;
        EXPECT_EQ(f.GlyphY, c.glyphY) << int(c.layout);
        EXPECT_EQ(f.TextX, c.textX) << int(c.layout);
        EXPECT_EQ(f.TextY, c.textY) << int(c.layout);
    }
    const TFaceLayout moved = LayoutFace(5, 7, client, glyph, text, L::blGlyphLeft, -1, -1, false);
    EXPECT_EQ(moved.GlyphX, 13);
    EXPECT_EQ(moved.TextY, 22);
    EXPECT_EQ(CaptionRoom(client, glyph, L::blGlyphLeft, 4, 2, true), (TFaceSize{29, 40}));
    EXPECT_EQ(CaptionRoom(client, glyph, L::blGlyphTop, 4, 2, true), (TFaceSize{60, 18}));
    EXPECT_EQ(CaptionRoom({10, 10}, glyph, L::blGlyphLeft, -1, -1, false), (TFaceSize{0, 10}));
}

TEST(ButtonFace, ShortensCaptionsToTheirRoom) {
    // Every character one unit wide, "..." three: the measure counts characters, not bytes.
    const TTextWidth width = [](const std::string& t) {
        int n = 0;
        for (unsigned char c : t) n += (c & 0xC0) != 0x80;
        return n;
    };
    struct Case {
        std::string caption;
        int room;
        std::string shown;
    } cases[] = {
        {"Open", 4, "Open"},                    // fits
        {"Open", 10, "Open"},
        {"Extract", 6, "Ext..."},               // the longest start that fits with the dots
        {"Extract", 3, "..."},                  // nothing of it fits
        {"Extract", 0, "..."},
        {"Save all", 7, "Save..."},             // cut before the blank: no blank before the dots
        {"Big\nExtract", 5, "Big\nEx..."},      // line by line
        {"Trailing   ", 20, "Trailing"},        // blanks at the right trimmed
        {"Grüße", 4, "G..."},                   // cut between characters, never inside one
        {"Grüße", 5, "Grüße"},
        {"", 5, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShortenedCaption(c.caption, c.room, width), c.shown) << c.caption << " in " << c.room;
    // A caption is at most 255 characters, cut between characters.
    const std::string longCaption = std::string(254, 'a') + "ü" + "tail";
    EXPECT_EQ(ShortenedCaption(longCaption, 1000, width), std::string(254, 'a'));
    EXPECT_EQ(MinimizeText("abcdef", 5, width), "ab...");
}

TEST(ComboEditRules, GlyphKindsGiveTheirButtonWidthsAndGlyphCounts) {
    using K = TGlyphKind;
    constexpr int scrollBar = 17;
    struct Case {
        K kind;
        int current, glyphWidth, glyphCount;
        int chosenWidth, defaultWidth, count;
    } cases[] = {
        {K::gkDefault, 21, 15, 1, 21, 21, 1},   // 15 + 6
        {K::gkDefault, 10, 30, 2, 21, 21, 2},   // 30 / 2 + 6 = 21, no narrower than before
        {K::gkDefault, 30, 15, 1, 30, 21, 1},   // kept when wider
        {K::gkDefault, 25, 0, 1, 25, 21, 1},    // no glyph: unchanged
        {K::gkDefault, 21, 40, 1, 46, 46, 1},
        {K::gkDropDown, 21, 0, 1, scrollBar, scrollBar, 1},
        {K::gkEllipsis, 30, 0, 1, 30, 21, 1},
        {K::gkCustom, 30, 0, 1, 30, 21, 3},     // the user's strip keeps its own count
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ButtonWidthForKind(c.kind, c.current, c.glyphWidth, c.glyphCount, scrollBar), c.chosenWidth)
            << int(c.kind) << " " << c.glyphWidth;
        EXPECT_EQ(DefaultButtonWidth(c.kind, c.glyphWidth, c.glyphCount, scrollBar), c.defaultWidth) << int(c.kind);
        EXPECT_EQ(GlyphCountForKind(c.kind, 3, c.glyphCount), c.count) << int(c.kind);
    }
}
