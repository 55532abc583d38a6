// Window state as stored values: the INI file, both storages, the placement values with the
// screen-size suffix, the texts of stored properties, string lists and named values.
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "controls/core/PlacementValues.h"
#include "controls/core/StoredProps.h"
#include "platform/IniFile.h"
#include "support/TempDir.h"
#include "support/WithoutWriteAccess.h"

using namespace gs;
using namespace gstest;

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const TScreenInfo kScreen{1024, 768, 96, {0, 0, 1024, 740}};

// Passes everything to another storage and counts the reads.
struct CountingStorage : IPlacementStorage {
    explicit CountingStorage(IPlacementStorage& inner) : inner(inner) {}
    std::optional<std::string> Read(const std::string& section, const std::string& ident) override {
        ++reads;
        return inner.Read(section, ident);
    }
    void WriteString(const std::string& section, const std::string& ident, const std::string& value) override {
        inner.WriteString(section, ident, value);
    }
    void WriteInteger(const std::string& section, const std::string& ident, int value) override {
        inner.WriteInteger(section, ident, value);
    }
    void EraseSection(const std::string& section) override { inner.EraseSection(section); }
    IPlacementStorage& inner;
    int reads = 0;
};

struct Storages {
    TempDir dir;
    TRegistryStore store{":memory:"};
    std::unique_ptr<IPlacementStorage> make(bool registry) {
        if (registry) return std::make_unique<TRegIniStorage>(store, HKEY_LOCAL_MACHINE, "Software\\App", false);
        return std::make_unique<TIniStorage>(dir / "app.ini");
    }
};

}  // namespace

TEST(TIniFile, NamesInAnyCaseQuotesDroppedOnceAndNoLineBreaks) {
    TempDir dir;
    const std::string path = dir / "a.ini";
    {
        std::ofstream out(path);
        out << "junk line\n[Main]\r\nKey = \"quoted\" \r\nother='x'\nEmpty=\n; note\n[main]\nkey=second\nbroken\n";
    }
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("MAIN", "KEY", "-"), "quoted");
    EXPECT_EQ(ini.ReadString("main", "Other", "-"), "x");
    EXPECT_EQ(ini.ReadString("main", "empty", "-"), "");
    EXPECT_EQ(ini.ReadString("main", "missing", "-"), "-");
    EXPECT_EQ(ini.Sections(), std::vector<std::string>{"Main"});
    ini.WriteString("New", "multi", "one\ntwo\r\nthree");
    ini.WriteString("main", "KEY", "changed");
    TIniFile again(path);
    EXPECT_EQ(again.ReadString("new", "MULTI", ""), "one two  three");
    EXPECT_EQ(again.ReadString("Main", "key", ""), "changed");
    EXPECT_EQ(again.Keys("main"), (std::vector<std::string>{"Key", "other", "Empty"}));
    again.EraseSection("MAIN");
    EXPECT_EQ(TIniFile(path).Sections(), std::vector<std::string>{"New"});
    EXPECT_EQ(fileText(path), "[New]\nmulti=one two  three\n\n");
}

TEST(TIniFile, AnOversizedFileReadsAsEmpty) {
    TempDir dir;
    const std::string path = dir / "big.ini";
    {
        std::ofstream out(path);
        out << "[s]\nk=v\n" << std::string(TIniFile::kMaxIniSize, ';');
    }
    EXPECT_TRUE(TIniFile(path).Sections().empty());
    EXPECT_TRUE(TIniFile(dir / "missing.ini").Sections().empty());
}

TEST(PlacementStorage, BothStoragesKeepValuesAndAQuotedIniValueNeverGrows) {
    for (bool registry : {true, false}) {
        Storages s;
        for (const std::string value : {"'single'", "\"double\"", "plain", "\"half", ""}) {
            auto st = s.make(registry);
            st->WriteString("Sec", "v", value);
            st->WriteInteger("Sec", "n", -7);
            if (auto* reg = dynamic_cast<TRegIniStorage*>(st.get())) {
                EXPECT_TRUE(reg->Close());
            }
            auto back = s.make(registry);
            EXPECT_EQ(back->ReadString("sec", "V", "-"), value) << registry;
            // A second cycle of what was read gives the same again.
            back->WriteString("Sec", "v", back->ReadString("Sec", "v", ""));
            if (auto* reg = dynamic_cast<TRegIniStorage*>(back.get())) reg->Close();
            EXPECT_EQ(s.make(registry)->ReadString("Sec", "v", "-"), value);
            EXPECT_EQ(s.make(registry)->ReadInteger("Sec", "n", 0), -7);
        }
        auto st = s.make(registry);
        st->WriteString("Sec", "word", "twelve");
        EXPECT_EQ(st->ReadInteger("Sec", "word", 5), 5);
        EXPECT_EQ(st->ReadInteger("Sec", "none", 9), 9);
        st->EraseSection("Sec");
        EXPECT_FALSE(st->Read("Sec", "n"));
    }
    Storages s;
    s.make(false)->WriteString("S", "q", "'x'");
    EXPECT_NE(fileText(s.dir / "app.ini").find("q=\"'x'\""), std::string::npos);
    {
        auto dropped = s.make(true);  // never closed: nothing is kept
        dropped->WriteString("S", "gone", "1");
    }
    EXPECT_FALSE(s.make(true)->Read("S", "gone"));
    EXPECT_EQ(DefaultPlacementRegKey("/opt/gs/glyphscope.bin"), "Software\\glyphscope");
    EXPECT_EQ(DefaultPlacementIniName("/opt/gs/glyphscope"), "glyphscope.INI");
}

// A store whose file system refuses a change half-way through a form's save: the writes
// never raise (the form's close goes on), the storage says at Close that nothing was kept,
// and the stored placement stays as it was.
TEST(PlacementStorage, AStoreThatRefusesWritesEndsTheSaveQuietly) {
    gstest::TempDir d;
    const std::filesystem::path folder = d.path / "settings";
    std::filesystem::create_directory(folder);
    const std::string file = (folder / "registry.sqlite3").string();
    {
        TRegistryStore store(file);
        TRegIniStorage st(store, HKEY_CURRENT_USER, "Software\\App", false);
        st.WriteInteger("Storage", "Col0", 5);
        ASSERT_TRUE(st.Close());
    }
    const int failures = gstest::RunWithoutWriteAccess(folder, [&](const gstest::LockFolder& lock) {
        int failed = 0;
        TRegistryStore store(file);
        TRegIniStorage st(store, HKEY_CURRENT_USER, "Software\\App", false);
        lock(true);
        try {
            st.WriteInteger("Storage", "Col0", 6);
            st.WriteString("Storage", "Name", "x");
            st.EraseSection("Storage");
        } catch (const std::exception& e) {
            failed += gstest::Check(false, std::string("a write raised: ") + e.what());
        }
        failed += gstest::Check(!st.Close(), "Close said the refused writes were kept");
        failed += gstest::Check(TRegIniStorage(store, HKEY_CURRENT_USER, "Software\\App", true)
                                        .ReadInteger("Storage", "Col0", 0) == 5,
                                "the stored value changed");
        lock(false);
        return failed;
    });
    EXPECT_EQ(failures, 0);
}

TEST(PlacementValues, SuffixPixelsAndRectangleDecideWhatIsApplied) {
    TWindowPlacement current;
    current.Normal = {10, 20, 410, 320};
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> stored;
        bool sizeable;
        std::optional<TScreenRect> applied;
    };
    const Case cases[] = {
        {"suffix wins", {{"NormPos(1024x768)", "50,60,250,160"}, {"NormPos", "1,2,3,4"}}, true, TScreenRect{50, 60, 250, 160}},
        {"bare at another size", {{"NormPos(800x600)", "50,60,250,160"}, {"NormPos", "5,6,105,56"}}, true, TScreenRect{5, 6, 105, 56}},
        {"other pixels per inch", {{"NormPos", "5,6,105,56"}, {"PixelsPerInch", "120"}}, true, std::nullopt},
        {"fixed size keeps its size", {{"NormPos", "5,6,900,700"}}, false, TScreenRect{5, 6, 405, 306}},
        {"right not beyond left", {{"NormPos", "300,6,300,56"}}, true, std::nullopt},
        {"bottom not beyond top", {{"NormPos", "5,60,105,20"}}, true, std::nullopt},
        {"moved into the desktop", {{"NormPos", "900,-50,1200,250"}}, true, TScreenRect{724, 0, 1024, 300}},
        {"shrunk to the desktop", {{"NormPos", "-10,0,2000,1000"}}, true, TScreenRect{0, 0, 1024, 740}},
        {"words that are not numbers", {{"NormPos", "a,30,x"}}, true, TScreenRect{10, 30, 410, 320}},
        {"nothing stored", {}, true, std::nullopt},
    };
    for (const Case& c : cases) {
        TRegistryStore store(":memory:");
        TRegIniStorage st(store, HKEY_CURRENT_USER, "Software\\App", false);
        for (const auto& [ident, text] : c.stored) st.WriteString("Storage", ident, text);
        const auto p = LoadPlacementPosition(st, "Storage", current, c.sizeable, kScreen);
        ASSERT_EQ(p.has_value(), c.applied.has_value()) << c.what;
        if (p) {
            EXPECT_EQ(p->Normal, *c.applied) << c.what;
        }
    }
}

TEST(PlacementValues, StoredPlacementReadsBackUnderBothNames) {
    TRegistryStore store(":memory:");
    TRegIniStorage st(store, HKEY_LOCAL_MACHINE, "Software\\App", false);
    TWindowPlacement p;
    p.ShowCmd = kSwShowMaximized;
    p.Normal = {100, 50, 868, 566};
    StoreFormPlacement(st, "Storage", p, kScreen);
    EXPECT_EQ(st.ReadString("Storage", "NormPos(1024x768)", ""), "100,50,868,566");
    EXPECT_EQ(st.ReadString("Storage", "NormPos", ""), "100,50,868,566");
    EXPECT_EQ(st.ReadString("Storage", "MinMaxPos", ""), "-1,-1,-1,-1");
    EXPECT_EQ(st.ReadInteger("Storage", "PixelsPerInch", 0), 96);
    EXPECT_EQ(LoadPlacementShowCmd(st, "Storage"), kSwShowMaximized);
    for (const auto& [stored, wanted] : std::vector<std::pair<int, std::optional<int>>>{
             {5, kSwShowNormal}, {7, kSwShowMinimized}, {4, std::nullopt}, {0, std::nullopt}}) {
        st.WriteInteger("Storage", "ShowCmd", stored);
        EXPECT_EQ(LoadPlacementShowCmd(st, "Storage"), wanted) << stored;
    }
    const auto back = LoadPlacementPosition(st, "Storage", TWindowPlacement{}, true, kScreen);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Normal, p.Normal);
}

TEST(StoredProps, TextsOfTheKindsOfValues) {
    EXPECT_EQ(SplitStoredPropName(" pPreview . Width "), std::make_pair(std::string("pPreview"), std::string("Width")));
    for (const char* bad : {"pPreview", ".Width", "pPreview.", ""}) EXPECT_FALSE(SplitStoredPropName(bad)) << bad;
    EXPECT_EQ(StoredPropIdent("cbText", "Items"), "cbText_Items");
    const std::vector<std::string> names = {"fsBold", "fsItalic", "fsUnderline"};
    EXPECT_EQ(SetText(0b101, names), "[fsBold,fsUnderline]");
    EXPECT_EQ(SetText(0, names), "[]");
    EXPECT_EQ(SetFromText("[fsBold,  FSITALIC]", names), 0b011u);
    EXPECT_EQ(SetFromText("[]", names), 0u);
    EXPECT_EQ(SetFromText("[fsBold,nothing]", names), 1u);
    EXPECT_EQ(EnumFromText("VSREPORT", {"vsIcon", "vsReport"}), 1);
    EXPECT_FALSE(EnumFromText("vsTiles", {"vsIcon", "vsReport"}));
    EXPECT_EQ(FloatText(2.5), "2.5");
    EXPECT_EQ(FloatFromText("2.5"), 2.5);
    EXPECT_FALSE(FloatFromText("2,5x"));
}

TEST(StoredProps, FloatsTakeTheirTypesDigitsAndOnlyRealCharactersHaveText) {
    const std::tuple<long double, TFloatType, const char*> floats[] = {
        {1.0f / 3, TFloatType::Single, "0.3333333"},         {1.0 / 3, TFloatType::Double, "0.333333333333333"},
        {1.0L / 3, TFloatType::Extended, "0.333333333333333333"}, {123456789012345678.0L, TFloatType::Comp, "123456789012345678"},
        {2.0L / 3, TFloatType::Currency, "0.6666666666666666667"}, {1e300, TFloatType::Double, "1E+300"}};
    for (const auto& [value, type, text] : floats) EXPECT_EQ(FloatText(value, type), text);
    EXPECT_EQ(ExtendedFromText("0.333333333333333333"), 0.333333333333333333L);
    for (const char32_t none : {0u, 0xD800u, 0x110000u}) EXPECT_EQ(CharText(none), "") << std::uint32_t(none);
    EXPECT_FALSE(CharFromText("\xFF"));
}

TEST(StoredProps, AStringListIsASubsectionAndADamagedCountIsCapped) {
    Storages s;
    auto st = s.make(true);
    const std::string sub = StringListSection("Storage\\Find", "cbText_Items");
    EXPECT_EQ(sub, "Storage\\Find.cbText_Items");
    SaveStringList(*st, sub, {"shell", "disk"});
    EXPECT_EQ(LoadStringList(*st, sub), (std::vector<std::string>{"shell", "disk"}));
    SaveStringList(*st, sub, {});
    EXPECT_FALSE(LoadStringList(*st, sub));
    for (const char* count : {"0", "-3", "lots"}) {
        st->WriteString(sub, "Count", count);
        EXPECT_FALSE(LoadStringList(*st, sub)) << count;
    }
    st->WriteString(sub, "Count", "2147483647");
    st->WriteString(sub, "Item0", "only");
    // The reads are counted, not timed: the list ends at the first item missing.
    CountingStorage counted(*st);
    EXPECT_EQ(LoadStringList(counted, sub), std::vector<std::string>{"only"});
    EXPECT_LE(counted.reads, 3);
}

TEST(StoredProps, NamedValuesAreUniqueInAnyCaseAndKeyedOnesStoredScrambled) {
    TStoredValues values;
    TStoredValue& user = values.Add("User");
    EXPECT_THROW(values.Add("USER"), std::invalid_argument);
    values.Rename(user, "USER");  // its own name in another case
    TStoredValue& secret = values.Add("Secret");
    EXPECT_THROW(values.Rename(secret, "user"), std::invalid_argument);
    user.Value = "ann";
    secret.Value = "pw";
    secret.KeyString = "k";
    Storages s;
    auto st = s.make(false);
    values.SaveValues(*st, "Values");
    EXPECT_EQ(st->ReadString("Values", "user", ""), "ann");
    EXPECT_NE(st->ReadString("Values", "secret", ""), "pw");
    user.Value = {};
    secret.Value = {};
    values.RestoreValues(*st, "Values");
    EXPECT_EQ(user.Value, TStoredVariant("ann"));
    EXPECT_EQ(secret.Value, TStoredVariant("pw"));
}

// Values of every kind are stored as their text through the handlers and come back as
// strings; a handler changes what is written or kept; a missing entry restores the value's
// own text.
TEST(StoredProps, NamedValuesOfEveryKindThroughTheirHandlers) {
    // Value, key, the text written (before scrambling) and read back.
    const std::tuple<TStoredVariant, const char*, const char*> cases[] = {
        {{}, "", ""},     {true, "", "True"},     {false, "k", "False"}, {std::int64_t(-42), "", "-42"},
        {2.5, "", "2.5"}, {"text", "", "text"}, {"\u00e9t\u00e9", "key", "\u00e9t\u00e9"}};
    for (const auto& [value, key, text] : cases) {
        Storages s;
        auto st = s.make(false);
        TStoredValues values;
        TStoredValue& v = values.Add("V");
        v.Value = value, v.KeyString = key;
        std::string seen;
        v.OnSave = [&](TStoredValue& sender, TStoredVariant& copy) { seen += (&sender == &v ? "save " : "?") + copy.Text(); };
        v.OnRestore = [&](TStoredValue&, TStoredVariant& read) { seen += " restore " + read.Text(); };
        values.SaveValues(*st, "S");
        EXPECT_EQ(v.Value, value);  // the handler saw a copy
        v.Value = "changed";
        values.RestoreValues(*st, "S");
        EXPECT_EQ(v.Value, TStoredVariant(text));
        EXPECT_EQ(seen, std::string("save ") + text + " restore " + text);
    }
    Storages s;
    auto st = s.make(false);
    TStoredValues values;
    TStoredValue& count = values.Add("Count");
    count.Value = 3;
    count.OnSave = [](TStoredValue&, TStoredVariant& v) { v = *v.Get<std::int64_t>() + 1; };
    count.OnRestore = [](TStoredValue&, TStoredVariant& v) { v = std::int64_t(std::stoll(v.Text()) * 10); };
    values.SaveValues(*st, "S");
    EXPECT_EQ(st->ReadString("S", "Count", ""), "4");
    TStoredValue& missing = values.Add("Missing");  // nothing stored: its own text comes back
    missing.Assign(TStoredValue{"Missing", 1.5, "", {}, {}});
    values.RestoreValues(*st, "S");
    EXPECT_EQ(count.Value, TStoredVariant(std::int64_t(40)));
    EXPECT_EQ(missing.Value, TStoredVariant("1.5"));
    EXPECT_EQ(missing.DisplayName() + TStoredValue{}.DisplayName(), "MissingTStoredValue");
}
