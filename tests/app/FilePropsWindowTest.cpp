// The main window's File Properties and the about box's System Info offscreen: the
// properties of an icon's file show that file's own first icon, as our readers read it, and
// the type the shared-mime-info database names for its extension; System Info starts the first system
// information program installed and says so when there is none.
#include <gtest/gtest.h>

#include <cctype>

#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include <set>

#include "app/FakeMainServices.h"
#include "app/ui/ExceptionGuard.h"
#include "app/ui/FormDesktopServices.h"
#include "codecs/ui/QtRaster.h"
#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/RegUtils.h"
#include "framework/ui/AboutForm.h"
#include "framework/ui/FilePropsForm.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

// The desktop as far as System Info sees it: which programs are on the path, which of them
// fail to start, and what was started.
struct Desktop : ScriptedServices {
    std::set<std::string> installed, broken;
    std::vector<std::string> tried;
    bool ProgramAvailable(const std::string& name) override { return installed.count(name) > 0; }
    bool Start(const std::vector<std::string>& argv) override {
        tried.push_back(argv.size() == 1 ? argv[0] : "(not one argument)");
        return !broken.count(argv.front());
    }
};

QImage argb(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32); }

// The oracle: the library's first icon as the list's large picture.
QImage firstIconOf(const std::filesystem::path& file, int index = 0) {
    TQBIconLibrary library;
    library.LoadFromFile(file);
    if (library.Icons.Count() <= index) return {};
    return argb(ToQImage(*GetIcon32(*library.Icons.GetIcon(index))->Handle()));
}

struct Shown {
    QImage icon;
    std::string type, name;
};

// Runs File Properties on the entry at `row` and reads what the modal window shows.
Shown properties(ListWindow& t, int row) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* icon = modal->findChild<QLabel*>("imgIcon")) shown.icon = argb(icon->pixmap().toImage());
        if (auto* type = modal->findChild<QLineEdit*>("txtFileType")) shown.type = type->text().toStdString();
        if (auto* name = modal->findChild<QLineEdit*>("txtFileName")) shown.name = name->text().toStdString();
        modal->close();
    });
    t.select({row});
    t.run(A::actIconFileProperties);
    return shown;
}

// Qt's reading of the same database, by the name's extension as the desktop's type names go.
std::string mimeComment(const std::filesystem::path& file) {
    const QMimeType type =
        QMimeDatabase().mimeTypeForFile(QString::fromStdString(file.string()), QMimeDatabase::MatchExtension);
    return type.isDefault() ? std::string() : type.comment().toStdString();
}

}  // namespace

TEST(FileProperties, TheFilesOwnFirstIconAndTheTypeTheMimeDatabaseNames) {
    TRegistryStore store{":memory:"};
    Tree dir;
    // One file of each kind our readers take; the icon file's first image is not its
    // 32-pixel one, and the module's and library's first icons differ from their second.
    const auto ico = dir.put("a.ico", makeIcoFile({dibSpec(16, 4, 3), dibSpec(32, 8, 4), dibSpec(48, 32, 5)}));
    const auto dll = dir.put("b.dll", peWithGroups(2, 11));
    const auto icl = dir.path / "c.icl";
    {
        TQBIconLibrary source;
        source.LoadFromFile(dll);
        SaveIconLibrary(icl, {{"", source.Icons.GetIcon(1)}, {"", source.Icons.GetIcon(0)}});
    }
    ListWindow t(store);
    t.list(dir.path.string());
    ASSERT_EQ(t.shown(), (std::vector<std::string>{"a_1", "b_2", "b_3", "c_4", "c_5"}));
    EXPECT_NE(firstIconOf(dll, 0), firstIconOf(dll, 1));

    const struct {
        int row;
        std::filesystem::path file;
    } cases[] = {{0, ico}, {2, dll}, {4, icl}};  // the file's last entry selected: still its first icon
    for (const auto& c : cases) {
        const Shown shown = properties(t, c.row);
        EXPECT_EQ(shown.name, c.file.filename().string());
        const QImage expected = firstIconOf(c.file);
        ASSERT_FALSE(expected.isNull()) << c.file;
        EXPECT_EQ(shown.icon.size(), QSize(32, 32)) << c.file;
        EXPECT_TRUE(shown.icon == expected) << c.file << ": not the file's own first icon";
        // A type the database names for the extension, else the extension's own name.
        std::string ext = c.file.extension().string().substr(1);
        for (char& ch : ext) ch = char(std::toupper((unsigned char)ch));
        const std::string comment = mimeComment(c.file);
        EXPECT_EQ(shown.type, comment.empty() ? ext + " File" : comment) << c.file;
    }
    // The icon file is named as the database names its type, not "ICO File".
    EXPECT_EQ(properties(t, 0).type,
              QMimeDatabase().mimeTypeForName("image/vnd.microsoft.icon").comment().toStdString());
    EXPECT_TRUE(t.services.boxes.empty());
}

TEST(SystemInfo, TheFirstInstalledProgramThatStartsIsStartedElseTheFailureIsRaised) {
    qtTestApp();
    const std::string all = "hardinfo, gnome-system-monitor, plasma-systemmonitor, ksysguard, mate-system-monitor, "
                            "xfce4-taskmanager, lxtask";
    const struct {
        const char* what;
        std::set<std::string> installed, broken;
        std::string stored;  // the settings' own path
        std::vector<std::string> tried;
        std::string details;  // empty: started
    } cases[] = {
        {"only one", {"lxtask"}, {}, "", {"lxtask"}, ""},
        {"the first of two", {"xfce4-taskmanager", "gnome-system-monitor"}, {}, "", {"gnome-system-monitor"}, ""},
        {"the profiler first", {"ksysguard", "hardinfo"}, {}, "", {"hardinfo"}, ""},
        {"a broken one gives way", {"gnome-system-monitor", "ksysguard"}, {"gnome-system-monitor"}, "",
         {"gnome-system-monitor", "ksysguard"}, ""},
        {"the settings' path first", {"lxtask"}, {}, "/opt/sysinfo", {"/opt/sysinfo"}, ""},
        {"none installed", {}, {}, "", {}, std::string(kMsgSysInfoNone) + all + "."},
        {"none starts", {"mate-system-monitor"}, {"mate-system-monitor"}, "", {"mate-system-monitor"},
         kMsgSysInfoFailed},
    };
    for (const auto& c : cases) {
        TRegistryStore store{":memory:"};
        if (!c.stored.empty()) RegWriteString(store, HKEY_LOCAL_MACHINE, kSysInfoKey, "Path", c.stored);
        Desktop desktop;
        desktop.installed = c.installed;
        desktop.broken = c.broken;
        std::string details = "(started)";
        try {
            RunSystemInformation(desktop, store);
            details.clear();
        } catch (const EQBException& e) {
            EXPECT_STREQ(e.what(), kMsgSysInfoUnable) << c.what;
            EXPECT_EQ(e.Severity(), TQBSeverity::Warning) << c.what;
            details = e.Details();
        }
        EXPECT_EQ(details, c.details) << c.what;
        EXPECT_EQ(desktop.tried, c.tried) << c.what;
    }
}

TEST(SystemInfo, TheAboutBoxsButtonShowsTheFailureWhenNoProgramIsInstalled) {
    qtTestApp();
    if (!hasApplication()) installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
    TRegistryStore store{":memory:"};
    Desktop desktop;
    TAppExceptionHandler handler(desktop, [] {}, [] {});
    TFormDesktopServices services(desktop, store, application(), handler);
    TAboutForm about(application(), "Sans", services);
    about.cmdSysInfo->click();
    ASSERT_EQ(desktop.boxes.size(), 1u);
    EXPECT_EQ(desktop.boxes[0].msg, kMsgSysInfoUnable);
    EXPECT_TRUE(desktop.tried.empty());
    desktop.installed = {"gnome-system-monitor"};
    about.cmdSysInfo->click();
    EXPECT_EQ(desktop.tried, std::vector<std::string>{"gnome-system-monitor"});
    EXPECT_EQ(desktop.boxes.size(), 1u);
}
