// File types and icons as the desktop gives them: names and icons from a shared-mime-info
// database and icon themes laid out in a temporary data folder, icons extracted from modules,
// icon files and PNG pictures through our own readers, and symbols of shared libraries.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "framework/core/FileIcons.h"
#include "framework/core/SysUtils.h"
#include "iconlib/ModuleFormat.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

namespace {

using namespace gs;
using namespace gstest;

void put(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

void put(const std::filesystem::path& file, const TBytes& bytes) {
    std::filesystem::create_directories(file.parent_path());
    writeFile(file.string(), bytes);
}

// A data folder: four types, one with a described definition, an icon named in "icons" and
// drawn by hicolor, one whose generic icon only another theme draws, and one no theme draws.
struct DataFolder {
    TempDir dir;
    std::filesystem::path root = dir.path / "share";
    DataFolder() {
        put(root / "mime/globs2",
            "# weight:type:glob\n50:image/x-icon:*.ico\n50:application/x-sharedlib:*.so\n"
            "40:text/x-csrc:*.c\n60:text/x-c++src:*.cc\n50:text/x-meta:*.M:cs\n40:broken\nx:text/x:*.bad\n");
        put(root / "mime/image/x-icon.xml",
            "<mime-type type=\"image/x-icon\"><comment xml:lang=\"de\">Windows-Symbol</comment>"
            "<comment>Windows icon &amp; cursor</comment></mime-type>");
        put(root / "mime/icons", "image/x-icon:ico-picture\n");
        put(root / "mime/generic-icons", "text/x-csrc:text-x-generic\n");
        put(root / "icons/hicolor/32x32/mimetypes/ico-picture.png", pngSpec(32, 32).data);
        put(root / "icons/Zed/48x48/mimetypes/text-x-generic.png", pngSpec(48, 48).data);
        put(root / "icons/Zed/scalable/mimetypes/application-x-sharedlib.svg", "<svg/>");
    }
};

TEST(FileTypes, NamesAndRegisteredIconsComeFromTheDatabaseAndTheThemes) {
    DataFolder data;
    const TMimeInfo mime({data.dir.path / "empty", data.root});
    struct Case {
        const char* file;
        const char* typeName;
        std::string icon;  // empty: none registered
    } cases[] = {
        {"/a/B.ICO", "Windows icon & cursor", ""},  // icon files hold their own icons
        {"/a/b.c", "C File", (data.root / "icons/Zed/48x48/mimetypes/text-x-generic.png").string()},
        {"/a/b.so", "SO File", ""},  // a type without description; only a scalable icon
        {"/a/b.xyz", "XYZ File", ""},
        {"/a/b.m", "M File", ""},  // the glob is case-sensitive
        {"/a/b.bad", "BAD File", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(GetFileTypeName(c.file, mime), c.typeName);
        std::string file = "kept";
        int index = -1;
        EXPECT_EQ(GetFileDefaultIcon(c.file, file, index, mime), !c.icon.empty());
        EXPECT_EQ(file, c.icon.empty() ? "kept" : c.icon);
        EXPECT_EQ(index, c.icon.empty() ? -1 : 0);
    }
    EXPECT_EQ(mime.IconFile(mime.IconName("image/x-icon")), data.root / "icons/hicolor/32x32/mimetypes/ico-picture.png");
    EXPECT_EQ(mime.TypeOfName("x.cc"), "text/x-c++src");
    EXPECT_EQ(mime.TypeOfName("x.M"), "text/x-meta");
    EXPECT_EQ(mime.GenericIconName("image/x-icon"), "image-x-generic");
    std::string file;
    int index = 0;
    EXPECT_FALSE(GetFileDefaultIcon("/x/noext", file, index, mime));
}

class FileIcons : public ::testing::Test {
protected:
    std::string file(const std::string& name, const TBytes& bytes) {
        const std::string path = dir / name;
        writeFile(path, bytes);
        return path;
    }
    TempDir dir;
};

TEST_F(FileIcons, ExtractedFromModulesIconFilesAndPictures) {
    const ImageSpec small = dibSpec(16, 4), large = dibSpec(32, 32, 2), other = dibSpec(48, 8, 3);
    const std::string module = file("m.dll", makePeModule({{RT_ICON, 1, "", 0x0409, small.data},
                                                           {RT_ICON, 2, "", 0x0409, large.data},
                                                           {RT_ICON, 3, "", 0x0409, other.data},
                                                           {RT_GROUP_ICON, 154, "", 0x0409, makeGroup({other}, {3})},
                                                           {RT_GROUP_ICON, 1, "", 0x0409, makeGroup({small, large}, {1, 2})}}));
    const std::string ico = file("i.ico", makeIcoFile({small, large}));
    const std::string png = file("p.png", pngSpec(24, 24).data);
    const std::string text = file("t.txt", TBytes{'h', 'i'});
    struct Case {
        std::string file;
        int index;
        int images;  // -1: nothing
        int firstWidth;
    } cases[] = {
        {module, 0, 2, 16}, {module, 1, 1, 48}, {module, 2, -1, 0}, {module, -154, 1, 48}, {module, -7, -1, 0},
        {ico, 0, 2, 16},    {ico, 1, -1, 0},    {png, 0, 1, 24},    {dir / "missing", 0, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + std::to_string(c.index));
        const std::unique_ptr<TQBIcon> icon = ExtractIconFromFile(c.file, c.index);
        ASSERT_EQ(icon == nullptr, c.images < 0);
        if (!icon) continue;
        EXPECT_EQ(icon->Images().Count(), c.images);
        EXPECT_EQ(icon->Images().GetImage(0)->Width(), c.firstWidth);
    }
    for (const std::string& notOne : {text, file("big.png", pngSpec(300, 2).data)}) {
        try {
            ExtractIconFromFile(notOne, 0);
            ADD_FAILURE() << notOne;
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "File is not an executable.");
        }
    }
}

TEST_F(FileIcons, AFileShowsItsTypesRegisteredIconElseItsOwn) {
    DataFolder data;
    const TMimeInfo mime({data.root});
    // An icon file shows its own icon, though the theme draws its type (the desktop registers
    // such files as their own icons); a C source the theme's picture of its type; a file of no
    // registered type its own icon, and raises when it has none.
    EXPECT_EQ(GetFileIcon(file("a.ico", makeIcoFile({dibSpec(16, 4)})), mime)->Images().GetImage(0)->Width(), 16);
    const std::unique_ptr<TQBIcon> own = GetFileIcon(file("a.zzz", makeIcoFile({dibSpec(16, 4)})), mime);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->Images().GetImage(0)->Width(), 16);
    EXPECT_EQ(GetFileIcon(file("b.c", makeIcoFile({dibSpec(16, 4)})), mime)->Images().GetImage(0)->Width(), 48);
    EXPECT_THROW(GetFileIcon(file("b.zzz", TBytes{'x'}), mime), std::runtime_error);
}

TEST_F(FileIcons, TheWholeNameIsTaken) {
    // A name of 266 bytes whose first 260 name another icon file: each gives its own icon.
    const std::string prefix = dir / "";
    const std::string shortName = prefix + std::string(260 - prefix.size() - 4, 'n') + ".ico";
    ASSERT_EQ(shortName.size(), 260u);
    const std::string longName = shortName + "_b.ico";
    writeFile(shortName, makeIcoFile({dibSpec(16, 4)}));
    writeFile(longName, makeIcoFile({dibSpec(48, 8)}));
    for (const auto& [name, width] : {std::pair{shortName, 16}, std::pair{longName, 48}}) {
        const std::unique_ptr<TQBIcon> icon = ExtractIconFromFile(name, 0);
        ASSERT_TRUE(icon) << name.size();
        EXPECT_EQ(icon->Images().GetImage(0)->Width(), width) << name.size();
    }
}

TEST(LibraryProc, SymbolsOfLoadedLibraries) {
    void* proc = reinterpret_cast<void*>(1);
    ASSERT_TRUE(GetLibraryProc("libc.so.6", "strlen", proc));
    EXPECT_EQ(reinterpret_cast<std::size_t (*)(const char*)>(proc)("four"), 4u);
    EXPECT_FALSE(GetLibraryProc("libc.so.6", "no_such_routine_here", proc));
    EXPECT_EQ(proc, nullptr);
    proc = reinterpret_cast<void*>(1);
    EXPECT_FALSE(GetLibraryProc("libno-such-library.so", "strlen", proc));
    EXPECT_EQ(proc, nullptr);
}

}  // namespace
