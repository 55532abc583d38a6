#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "support/TempDir.h"
#include "framework/core/VersionBlockWriter.h"
#include "framework/core/VersionRoutines.h"
#include "platform/ByteReader.h"
#include "platform/Errors.h"

using namespace gs;
using gstest::TempDir;

namespace {

TVersionBlockContent sampleContent() {
    TVersionBlockContent c;
    c.fileVersion = {1, 2, 3, 45};
    c.translations = {{0x0409, 1252}};
    c.strings = {{"CompanyName", "Acme"}, {"LegalCopyright", "(c) Acme \xE2\x84\xA2"}};
    return c;
}

std::optional<TVersionInfo> parsed(const TVersionBlockContent& c) { return TVersionInfo::parse(buildVersionBlock(c)); }

// One entry of a version block written by hand, for blocks no writer would make.
TBytes entry(std::uint16_t length, std::u16string key, const TBytes& rest = {}) {
    TBytes b = {std::uint8_t(length), std::uint8_t(length >> 8), 0, 0, 0, 0};
    for (char16_t c : key) b.insert(b.end(), {std::uint8_t(c), std::uint8_t(c >> 8)});
    b.insert(b.end(), {0, 0});
    while (b.size() % 4) b.push_back(0);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

// The RT_VERSION data of a compiled resource file (.res): a list of entries, each a header
// (data size, header size, type, name, ...) followed by its data.
std::optional<TBytes> versionFromRes(const TBytes& res) {
    TMemorySource src(res);
    TByteReader r(src);
    for (std::uint64_t pos = 0; pos + 8 <= res.size();) {
        std::uint32_t dataSize = r.U32At(pos), headerSize = r.U32At(pos + 4);
        bool typeIsId = r.U16At(pos + 8) == 0xFFFF;
        if (typeIsId && r.U16At(pos + 10) == 16) return src.Read(pos + headerSize, dataSize);
        pos = (pos + headerSize + dataSize + 3) & ~std::uint64_t(3);
    }
    return std::nullopt;
}

}  // namespace

TEST(VersionRoutines, ProgramBlockCarriesTheBuildsVersionAndLanguage) {
    std::optional<TVersionInfo> own = programVersionInfo();
    EXPECT_EQ(GetVersionText(own), GS_EXPECTED_VERSION_TEXT);
    EXPECT_EQ(IsEnglishVersion(own), bool(GS_EXPECTED_ENGLISH));
    EXPECT_EQ(GetCopyrightText(own), kDefaultCopyrightText);
    EXPECT_EQ(own->GetTranslationText(), GS_EXPECTED_ENGLISH ? "040904E4" : "041604E4");
}

TEST(VersionRoutines, TextsComeFromTheFixedInfoAndTheFirstTranslation) {
    std::optional<TVersionInfo> v = parsed(sampleContent());
    EXPECT_EQ(GetVersionText(v), "1.2.3 Build 45");
    EXPECT_EQ(GetCopyrightText(v), "(c) Acme \xE2\x84\xA2");
    EXPECT_TRUE(IsEnglishVersion(v));
    EXPECT_EQ(v->GetVersionString("companyNAME"), "Acme");  // keys match without case
    EXPECT_EQ(v->GetVersionString("Missing"), "");

    TVersionBlockContent zero = sampleContent();
    zero.fileVersion = {0, 0, 0, 0};
    EXPECT_EQ(GetVersionText(parsed(zero)), "0.0.0 Build 0");

    TVersionBlockContent noCopyright = sampleContent();
    noCopyright.strings = {{"CompanyName", "Acme"}};
    EXPECT_EQ(GetCopyrightText(parsed(noCopyright)), "");

    TVersionBlockContent portuguese = sampleContent();
    portuguese.translations = {{0x0416, 1252}, {0x0409, 1252}};  // the first one decides
    EXPECT_FALSE(IsEnglishVersion(parsed(portuguese)));
    portuguese.translations = {{0x0816, 1252}};
    EXPECT_FALSE(IsEnglishVersion(parsed(portuguese)));

    TVersionBlockContent untranslated = sampleContent();
    untranslated.translations.clear();
    EXPECT_TRUE(IsEnglishVersion(parsed(untranslated)));
    EXPECT_EQ(parsed(untranslated)->GetTranslationText(), "");
}

TEST(VersionRoutines, NoBlockGivesTheDefaults) {
    std::optional<TVersionInfo> none;
    EXPECT_EQ(GetVersionText(none), "0.0.0");
    EXPECT_EQ(GetCopyrightText(none), kDefaultCopyrightText);
    EXPECT_TRUE(IsEnglishVersion(none));
    TempDir d;
    std::ofstream(d / "plain.exe") << "MZ not really";
    EXPECT_EQ(GetVersionText(d.path / "plain.exe"), "0.0.0");
    EXPECT_EQ(GetVersionText(d.path / "missing.exe"), "0.0.0");
    EXPECT_TRUE(IsEnglishVersion(d.path / "missing.exe"));
}

TEST(TVersionInfo, DamagedBlocksAreRefusedWhole) {
    TBytes good = buildVersionBlock(sampleContent());
    for (std::size_t len : {0ul, 5ul, 40ul, good.size() - 1})  // cut short anywhere
        EXPECT_THROW(TVersionInfo::parse(TBytes(good.begin(), good.begin() + len)), EReadError) << len;

    EXPECT_THROW(TVersionInfo::parse(entry(4, u"VS_VERSION_INFO")), EReadError);  // shorter than a header
    TBytes unterminated = {12, 0, 0, 0, 0, 0, 'V', 0, 'S', 0, '_', 0};
    EXPECT_THROW(TVersionInfo::parse(unterminated), EReadError);

    // A child claiming more than its parent holds.
    TBytes child = entry(200, u"StringFileInfo");
    TBytes parent = entry(std::uint16_t(40 + child.size()), u"VS_VERSION_INFO", child);
    parent.resize(40 + child.size());
    EXPECT_THROW(TVersionInfo::parse(parent), EReadError);

    // Entries nested far deeper than any real block.
    TBytes nested = entry(8, u"x");
    for (int i = 0; i < 20; ++i) nested = entry(std::uint16_t(8 + nested.size()), u"x", nested);
    EXPECT_THROW(TVersionInfo::parse(nested), EReadError);

    // Every single damaged byte either parses or is refused; none reads outside the block.
    for (std::size_t i = 0; i < good.size(); ++i) {
        TBytes bad = good;
        bad[i] ^= 0xA5;
        try {
            TVersionInfo v = TVersionInfo::parse(bad);
            (void)GetVersionText(v);
            (void)v.GetVersionString("LegalCopyright");
        } catch (const EReadError&) {
        }
    }
}

TEST(TVersionInfo, ZeroPaddingEndsAListOfEntries) {
    TBytes block = buildVersionBlock(sampleContent());
    std::uint16_t length = std::uint16_t(block.size() + 8);
    block.insert(block.end(), 8, 0);
    block[0] = std::uint8_t(length);
    block[1] = std::uint8_t(length >> 8);
    EXPECT_EQ(GetVersionText(TVersionInfo::parse(block)), "1.2.3 Build 45");
}

// A block compiled by an independent resource compiler reads as written.
TEST(TVersionInfo, ReadsABlockMadeByAResourceCompiler) {
    if (std::system("command -v x86_64-w64-mingw32-windres cpp >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "x86_64-w64-mingw32-windres (binutils-mingw-w64-x86-64) or cpp is not installed";
    TempDir d;
    std::ofstream(d / "v.rc") << R"(1 VERSIONINFO
FILEVERSION 4,3,2,1001
PRODUCTVERSION 4,3,0,0
FILEOS 0x40004
FILETYPE 0x1
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "041604e4"
    BEGIN
      VALUE "CompanyName", "Acme Ltda"
      VALUE "LegalCopyright", "Copyright Acme 1999"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x416, 1252, 0x409, 1252
  END
END
)";
    std::string cmd = "x86_64-w64-mingw32-windres --preprocessor=cpp -O res -i " + (d / "v.rc") + " -o " + (d / "v.res");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::optional<TBytes> data = versionFromRes(readWholeFile(d / "v.res"));
    ASSERT_TRUE(data);
    std::optional<TVersionInfo> v = TVersionInfo::parse(*data);
    EXPECT_EQ(GetVersionText(v), "4.3.2 Build 1001");
    EXPECT_FALSE(IsEnglishVersion(v));
    EXPECT_EQ(v->GetTranslationText(), "041604E4");
    EXPECT_EQ(GetCopyrightText(v), "Copyright Acme 1999");  // table key in lower case still matches
    EXPECT_EQ(v->GetVersionString("CompanyName"), "Acme Ltda");
    EXPECT_EQ(v->GetFixedFileInfo()->productVersionMS, 0x00040003u);

    // Linked into a module, the block is found through the module's resources.
    std::string link = "x86_64-w64-mingw32-windres --preprocessor=cpp -i " + (d / "v.rc") + " -o " + (d / "v.o") +
                       " && x86_64-w64-mingw32-ld -shared -e 0 -o " + (d / "v.dll") + " " + (d / "v.o");
    if (std::system(link.c_str()) != 0) GTEST_SKIP() << "x86_64-w64-mingw32-ld could not link";
    EXPECT_EQ(GetVersionText(d.path / "v.dll"), "4.3.2 Build 1001");
    EXPECT_FALSE(IsEnglishVersion(d.path / "v.dll"));
}
