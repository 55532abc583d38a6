// The extended controls offscreen: spin edits clamping and stepping, the font picker against
// fontconfig, speed-button groups and glyph states, the secret panel, and the file-name and
// folder edits with scripted dialogs and drops.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QDir>
#include <QFileDialog>
#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QMimeDatabase>
#include <QSettings>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <unistd.h>

#include "controls/ui/ComboEdits.h"
#include "controls/ui/FileDialogs.h"
#include "controls/ui/FontComboBox.h"
#include "controls/ui/RxSpeedButton.h"
#include "controls/ui/RxSpinEdit.h"
#include "controls/ui/SecretPanel.h"
#include "support/QtTestApp.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {

QApplication& qtApp() { return gstest::qtTestApp(); }

struct ScriptedDialogs : IComboEditDialogs {
    std::optional<QString> answer;
    QStringList many;  // the answer of a multiple selection
    TFileDialogRequest lastFile;
    int fileDialogs = 0;
    QString lastStart, lastText;
    std::optional<QStringList> ChooseFiles(QWidget*, const TFileDialogRequest& r) override {
        lastFile = r;
        ++fileDialogs;
        if (!many.isEmpty()) return many;
        if (!answer) return std::nullopt;
        return QStringList{*answer};
    }
    std::optional<QString> ChooseFolder(QWidget*, const TFolderDialogRequest& r) override {
        lastText = r.Text;
        lastStart = r.Start;
        return answer;
    }
};

void drop(TCustomComboEdit& target, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    target.DropUrls(urls);
}

}  // namespace

TEST(RxSpinEdit, ClampsWhenLeftStepsAndRefusesWhatItCannotHold) {
    qtApp();
    QWidget form;
    TRxSpinEdit limit(&form);
    limit.SetMinValue(1);
    limit.SetMaxValue(5000);
    struct Case {
        QString typed, shownAfterLeaving;
    } cases[] = {{"6000", "5000"}, {"0", "1"}, {"77", "77"}};
    for (const Case& c : cases) {
        limit.setText(c.typed);
        QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(&limit, &leave);
        EXPECT_EQ(limit.text(), c.shownAfterLeaving) << c.typed.toStdString();
    }
    // An empty text stays empty while the value reads the minimum.
    limit.setText("");
    EXPECT_EQ(limit.Value(), 1);

    limit.setFocus();
    limit.setText("4999");
    int tops = 0;
    QObject::connect(&limit, &TRxSpinEdit::OnTopClick, [&] { ++tops; });
    QTest::keyClick(&limit, Qt::Key_Up);
    QTest::keyClick(&limit, Qt::Key_Up);
    EXPECT_EQ(limit.text(), "5000");
    EXPECT_EQ(tops, 2);  // fired even when nothing changed
    QTest::keyClicks(&limit, "x");
    EXPECT_EQ(limit.text(), "5000");
    limit.setReadOnly(true);
    limit.StepDown();
    EXPECT_EQ(limit.text(), "5000");

    TRxSpinEdit hex(&form);
    hex.SetValueType(TValueType::vtHex);
    hex.SetValue(255);
    EXPECT_EQ(hex.text(), "FF");
    hex.setText("ff");
    EXPECT_EQ(hex.Value(), 255);
}

TEST(FontComboBox, ListsTheLatinOutlineFamiliesFontconfigKnowsAndNoSymbolFamily) {
    qtApp();
    TFontComboBox box;
    using enum TFontListOption;
    box.SetOptions(foAnsiOnly | foTrueTypeOnly | TFontListOptions(foNoSymbolFonts));
    QStringList listed;
    for (int i = 0; i < box.count(); ++i) listed << box.itemText(i);
    ASSERT_FALSE(listed.isEmpty()) << "no fonts: the test machine needs fontconfig fonts";
    for (const QString& family : listed)
        EXPECT_FALSE(QFontDatabase::writingSystems(family).contains(QFontDatabase::Symbol)) << family.toStdString();
    QProcess fcList;
    fcList.start("fc-list", {":fontformat=TrueType:lang=en", "family"});
    ASSERT_TRUE(fcList.waitForFinished(10000));
    for (const QString& line : QString::fromUtf8(fcList.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const QString family = line.section(',', 0, 0).trimmed();
        EXPECT_TRUE(listed.contains(family, Qt::CaseInsensitive)) << family.toStdString();
    }
    // By name whatever its case: the text takes the listed spelling; an unknown name selects nothing.
    box.SetFontName(listed.front().toUpper());
    EXPECT_EQ(box.FontName(), listed.front());
    box.SetFontName("No Such Family 12345");
    EXPECT_EQ(box.FontName(), "");
    EXPECT_EQ(box.currentIndex(), -1);
    // The face in use for a name: an installed one in the database's spelling, a missing
    // one as the installed face the desktop's font matching gives instead.
    EXPECT_EQ(FontFaceInUse(listed.front().toUpper()), listed.front());
    const QString fallback = FontFaceInUse("No Such Family 12345");
    EXPECT_TRUE(QFontDatabase::families().contains(fallback)) << fallback.toStdString();
    EXPECT_EQ(fallback, QFontInfo(QFont("No Such Family 12345")).family());
    box.SetFontName(fallback);
    EXPECT_EQ(box.FontName(), fallback) << "the face in use is not offered by the box";

    // Families as the desktop's font dialogs name them: once each, never with the
    // "[Foundry]" the database tells foundries apart by, and whole in the drop-down list.
    EXPECT_EQ(FontFamilyName("Nimbus Sans [UKWN]"), "Nimbus Sans");
    EXPECT_EQ(FontFamilyName("Nimbus Sans [URW ]"), "Nimbus Sans");
    EXPECT_EQ(FontFamilyName("Odd [Name] Sans"), "Odd [Name] Sans");
    EXPECT_EQ(listed.removeDuplicates(), 0);
    for (const QString& family : listed) EXPECT_FALSE(family.contains(" [")) << family.toStdString();
    int tagged = 0;
    for (const QString& name : QFontDatabase::families()) {
        if (!name.contains(" [") || !FontPassesOptions(box.Options(), TFontComboBox::FactsOf(FontFamilyName(name)))) continue;
        ++tagged;
        EXPECT_TRUE(listed.contains(FontFamilyName(name))) << name.toStdString();
    }
    if (tagged == 0) std::cout << "no family of several foundries here: the foundry tags were not met\n";
    box.SetUseFonts(true);
    int widest = 0;
    for (int i = 0; i < box.count(); ++i) {
        const QFont face = box.itemData(i, Qt::FontRole).isValid() ? box.itemData(i, Qt::FontRole).value<QFont>() : box.font();
        widest = std::max(widest, QFontMetrics(face).horizontalAdvance(box.itemText(i)));
    }
    EXPECT_GT(box.view()->minimumWidth(), widest + box.iconSize().width());
}

// The kinds of picker: an edit keeps a name it does not list and chooses a family typed
// exactly (adding none); TrueTypeOnly is the options' member; a printer lists no bitmap font.
TEST(FontComboBox, StylesTrueTypeOnlyAndDevices) {
    qtApp();
    using enum TOwnerDrawComboStyle;
    for (auto [style, unknownText] : {std::pair{csDropDownList, ""}, {csDropDown, "No Such"}, {csSimple, "No Such"}}) {
        TFontComboBox box;
        const int listed = box.count();
        box.SetFontName(box.itemText(0));
        box.SetStyle(style);
        EXPECT_EQ(box.FontName(), box.itemText(0));  // the choice survives the change
        box.SetFontName("No Such");
        EXPECT_EQ(box.FontName(), unknownText);
        EXPECT_EQ(box.currentIndex(), -1);
        if (!box.isEditable()) continue;
        box.lineEdit()->clear();
        QTest::keyClicks(box.lineEdit(), box.itemText(1));
        EXPECT_EQ(box.currentIndex(), 1);
        EXPECT_EQ(box.count(), listed);
    }
    TFontComboBox box;
    box.SetTrueTypeOnly(true);
    EXPECT_EQ(box.Options(), TFontListOptions(TFontListOption::foTrueTypeOnly));
    box.SetTrueTypeOnly(false);
    const int all = box.count();
    box.SetDevice(TFontDevice::fdPrinter);
    for (int i = 0; i < box.count(); ++i) EXPECT_FALSE(box.itemData(i).toInt() & kRasterFontType);
    box.SetDevice(TFontDevice::fdBoth);
    EXPECT_EQ(box.count(), all);
}

TEST(RxSpeedButton, GroupsKeepOneDownAndStatesDrawTheirGlyphs) {
    qtApp();
    QWidget parent;
    TRxSpeedButton a(&parent), b(&parent), loose(&parent);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    loose.SetDown(true);
    EXPECT_FALSE(loose.Down());  // an ungrouped button never stays down
    a.SetDown(true);
    b.SetDown(true);
    EXPECT_FALSE(a.Down());
    EXPECT_TRUE(b.Down());
    b.SetDown(false);
    EXPECT_TRUE(b.Down());  // the one down button cannot be raised without AllowAllUp
    b.SetAllowAllUp(true);
    EXPECT_TRUE(a.AllowAllUp());
    b.SetDown(false);
    EXPECT_FALSE(b.Down());

    // A click toggles a grouped button; an ungrouped one just clicks.
    parent.show();
    int clicks = 0;
    QObject::connect(&a, &TRxSpeedButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(a.Down());
    EXPECT_EQ(a.State(), TButtonState::bsExclusive);
    EXPECT_EQ(clicks, 1);

    // A one-glyph strip: red on a fuchsia background, whose inactive picture is grey.
    QImage strip(16, 16, QImage::Format_ARGB32);
    strip.fill(QColor(0xFF, 0x00, 0xFF));
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 14; ++x) strip.setPixel(x, y, qRgb(0xFF, 0, 0));
    loose.SetGlyph(strip);
    EXPECT_EQ(loose.NumGlyphs(), 1);
    EXPECT_EQ(loose.GlyphImage(TButtonState::bsUp).pixel(5, 5), qRgb(0xFF, 0, 0));
    EXPECT_EQ(qAlpha(loose.GlyphImage(TButtonState::bsUp).pixel(0, 0)), 0);
    EXPECT_EQ(loose.GlyphImage(TButtonState::bsInactive).pixel(5, 5), qRgb(0x4C, 0x4C, 0x4C));
    loose.Flat = true;
    EXPECT_EQ(loose.DrawnState(), TButtonState::bsInactive);
    loose.setEnabled(false);
    EXPECT_EQ(loose.DrawnState(), TButtonState::bsDisabled);
    EXPECT_NE(loose.GlyphImage(TButtonState::bsDisabled).pixel(5, 5), qRgb(0xFF, 0, 0));
}

namespace {
// A strip of one colour whose bottom-left pixel, fuchsia, is its transparent colour.
QImage filled(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    image.setPixel(0, h - 1, qRgb(0xFF, 0x00, 0xFF));
    return image;
}
}  // namespace

TEST(RxSpeedButton, ButtonsShareGlyphListsBySizeAndTheCacheGoesWithTheLast) {
    qtApp();
    const auto lists = [] { return TGlyphCache::Current() ? TGlyphCache::Current()->Lists() : 0; };
    const int before = lists();
    {
        TRxSpeedButton small1, small2, large;
        small1.SetGlyph(filled(16, 16, Qt::red));
        small2.SetGlyph(filled(32, 16, Qt::blue));  // two glyphs of 16 x 16
        large.SetGlyph(filled(24, 24, Qt::green));
        for (TRxSpeedButton* b : {&small1, &small2, &large}) EXPECT_FALSE(b->GlyphImage(TButtonState::bsDisabled).isNull());
        EXPECT_EQ(lists(), before + 2);  // one per size
        small2.SetGlyph(QImage());       // its pictures leave the list it shares
        large.SetGlyph(QImage());        // the last picture of its size: the list goes
        EXPECT_EQ(lists(), before + 1);
        EXPECT_EQ(small1.GlyphImage(TButtonState::bsUp).pixelColor(3, 3), QColor(Qt::red));

        // A picture from an image list instead of the strip, while its index is valid.
        QImage square(16, 16, QImage::Format_ARGB32);
        square.fill(Qt::transparent);
        QPainter(&square).fillRect(2, 2, 10, 10, Qt::red);
        auto images = std::make_shared<const QList<QImage>>(QList<QImage>{square});
        small2.SetImages(images, 0);
        EXPECT_EQ(small2.GlyphImage(TButtonState::bsInactive).pixel(3, 3), qRgb(0x4C, 0x4C, 0x4C));
        const QImage disabled = small2.GlyphImage(TButtonState::bsDisabled);  // shadow over highlight
        EXPECT_EQ(disabled.pixel(3, 3), QApplication::palette().color(QPalette::Mid).rgb());
        EXPECT_EQ(disabled.pixel(12, 12), QApplication::palette().color(QPalette::Light).rgb());
        small2.SetImages(images, 1);  // no such picture: the strip again, which is empty
        EXPECT_TRUE(small2.GlyphImage(TButtonState::bsUp).isNull());
    }
    EXPECT_EQ(lists(), before);
}

TEST(RxSpeedButton, DropDownMenusOpenAlignedOnlyWhenAutoPopupAndTheirClosingPressIsNoClick) {
    qtApp();
    QWidget parent;
    TRxSpeedButton button(&parent);
    button.setGeometry(100, 50, 30, 20);
    TPopupMenu menu;
    menu.addAction("First");
    button.DropDownMenu = &menu;
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    menu.Alignment = TPopupAlignment::paRight;
    EXPECT_EQ(button.DropDownMenuPoint(80), button.mapToGlobal(QPoint(31 - 80, 20)));

    // A press on the button while its menu is open, as the window system gives it (to the
    // menu first), closes the menu and only that.
    int shows = 0, clicks = 0;
    QObject::connect(&button, &TRxSpeedButton::clicked, [&] { ++clicks; });
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        QTimer::singleShot(0, &menu, [&, first = ++shows == 1] {
            if (!first) return void(menu.close());
            QCursor::setPos(button.mapToGlobal(QPoint(5, 5)));
            QTest::mouseClick(parent.windowHandle(), Qt::LeftButton, {}, button.mapTo(&parent, QPoint(5, 5)));
        });
    });
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(!menu.isVisible());
    QApplication::processEvents();
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(clicks, 0);
    menu.AutoPopup = false;  // the press is an ordinary one
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(clicks, 1);
}

TEST(RxSpeedButton, MouseInIsAskedAgainOnShowingEnablingAndRightPresses) {
    qtApp();
    QWidget parent;
    parent.resize(200, 100);
    TRxSpeedButton button(&parent);
    button.setGeometry(10, 10, 40, 30);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    int changes = 0;
    for (auto signal : {&TRxSpeedButton::OnMouseEnter, &TRxSpeedButton::OnMouseLeave})
        QObject::connect(&button, signal, [&] { ++changes; });
    button.hide();
    QCursor::setPos(button.mapToGlobal(QPoint(20, 15)));
    const std::pair<std::function<void()>, bool> steps[] = {
        {[&] { button.show(); }, true},
        {[&] { button.setEnabled(false); }, false},
        {[&] { button.setEnabled(true); }, true},
        {[&] {
             QCursor::setPos(parent.mapToGlobal(QPoint(150, 80)));
             QTest::mousePress(&button, Qt::RightButton, {}, QPoint(20, 15));
         }, false},
    };
    for (const auto& [act, in] : steps) {
        act();
        QTRY_COMPARE(button.MouseInControl(), in);
    }
    EXPECT_EQ(changes, 4);
}

TEST(SecretPanel, PaintsItsInsideThroughOnPaintClientAndScrollsRightToLeftFromTheLeft) {
    qtApp();
    TSecretPanel panel;
    panel.resize(300, 60);
    panel.ScrollDirection = TScrollDirection::sdHorizontal;
    panel.Lines = {"WWWW"};
    QPalette palette = panel.palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    panel.setPalette(palette);
    panel.OnPaintClient = [](QPainter& canvas, const QRect& r) { canvas.fillRect(r, Qt::yellow); };
    EXPECT_EQ(panel.grab().toImage().pixelColor(150, 30), QColor(Qt::yellow));  // inactive too
    // Some steps in, the text has come in from the right, or from the left when reading so.
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        panel.setLayoutDirection(direction);
        panel.SetActive(true);
        for (int i = 0; i < 40; ++i) panel.Tick();
        const QImage frame = panel.grab().toImage();
        const QRect inside = panel.contentsRect();
        int ink[2] = {0, 0};  // left half, right half
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (qGray(frame.pixel(x, y)) < 80) ++ink[x < frame.width() / 2 ? 0 : 1];
        EXPECT_GT(ink[direction == Qt::LeftToRight], 0) << int(direction);
        EXPECT_EQ(ink[direction != Qt::LeftToRight], 0) << int(direction);
        panel.SetActive(false);
    }
}

TEST(SecretPanel, HidesItsChildrenWhileItScrollsAndGivesThemBack) {
    qtApp();
    TSecretPanel panel;
    panel.resize(200, 100);
    QLabel label("About", &panel);
    panel.show();
    panel.Lines = {"", "Glyphscope", "by its makers"};
    int starts = 0, stops = 0;
    QObject::connect(&panel, &TSecretPanel::OnStartPlay, [&] { ++starts; });
    QObject::connect(&panel, &TSecretPanel::OnStopPlay, [&] { ++stops; });
    panel.SetActive(true);
    EXPECT_TRUE(label.isHidden());
    EXPECT_EQ(starts, 1);
    const int total = panel.TotalLength();
    EXPECT_GT(total, 0);
    for (int i = 0; i < total; ++i) panel.Tick();
    EXPECT_EQ(panel.Position(), total);
    panel.Tick();  // at the end, not cycled: it stops itself after the tick
    EXPECT_TRUE(panel.Active());
    QApplication::processEvents();
    EXPECT_FALSE(panel.Active());
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(label.isHidden());

    panel.Cycled = true;
    panel.SetActive(true);
    for (int i = 0; i <= panel.TotalLength(); ++i) panel.Tick();
    EXPECT_EQ(panel.Position(), 0);
    panel.SetActive(false);
}

TEST(ComboEdits, FileAndFolderEditsTakeDialogAnswersAndDrops) {
    qtApp();
    const gstest::TempDir temp("gs controls ");
    const fs::path& dir = temp.path;
    fs::create_directories(dir / "sub folder");
    const fs::path editor = dir / "icon editor";
    std::ofstream(editor) << "x";
    ScriptedDialogs dialogs;

    TFilenameEdit file;
    file.SetDialogs(dialogs);
    file.SetFileName(QString::fromStdString(editor.string()));
    EXPECT_EQ(file.text(), QString::fromStdString("\"" + editor.string() + "\""));
    EXPECT_EQ(file.FileName(), QString::fromStdString(editor.string()));
    file.SetFileName("/a/b[1].exe");  // brackets are a Linux name's own
    EXPECT_EQ(file.text(), "/a/b[1].exe");
    file.SetFileName("");
    EXPECT_EQ(file.text(), "");

    file.setText(QString::fromStdString("\"" + editor.string() + "\" --switch"));
    dialogs.answer = QString::fromStdString((dir / "other app").string());
    file.ButtonClicked();
    EXPECT_EQ(dialogs.lastFile.InitialDir, QString::fromStdString(dir.string()));
    EXPECT_EQ(file.text(), QString::fromStdString("\"" + (dir / "other app").string() + "\""));
    dialogs.answer.reset();
    file.ButtonClicked();  // cancelled: nothing changes
    EXPECT_EQ(file.FileName(), QString::fromStdString((dir / "other app").string()));
    file.SetReadOnlyEdit(true);
    dialogs.lastFile = {};
    file.ButtonClicked();
    EXPECT_TRUE(dialogs.lastFile.InitialDir.isEmpty());  // read-only: no dialog

    TDirectoryEdit folder;
    folder.SetDialogs(dialogs);
    folder.DialogText = "Select default folder...";
    dialogs.answer = QString::fromStdString((dir / "sub folder").string());
    folder.ButtonClicked();
    EXPECT_EQ(dialogs.lastStart, "/");
    EXPECT_EQ(dialogs.lastText, "Select default folder...");
    EXPECT_EQ(folder.text(), QString::fromStdString((dir / "sub folder").string()));  // blanks and all
    folder.ButtonClicked();
    EXPECT_EQ(dialogs.lastStart, QString::fromStdString((dir / "sub folder").string()));

    folder.SetAcceptFiles(true);
    drop(folder, {QString::fromStdString(editor.string()), "/tmp", "/usr"});
    EXPECT_EQ(folder.text(), QString::fromStdString(dir.string()));  // a file's folder; only the first
    folder.MultipleDirs = true;
    drop(folder, {"/tmp", "/usr"});
    EXPECT_EQ(folder.text(), QString::fromStdString(dir.string() + ";/tmp;/usr"));
}

// The prepared dialog names a file's type from its name alone: a PNG without an extension
// is not looked into, and a ".png" holding text is still a PNG image by name. It opens in
// the home folder where the wanted one is of a pseudo file system or gone.
TEST(FileDialogs, TypesComeFromNamesAndPseudoFoldersAreNeverTheStart) {
    qtApp();
    const gstest::TempDir temp("gs-dialogs-");
    const fs::path& dir = temp.path;
    fs::create_directories(dir / "sub");
    const char png[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR";
    std::ofstream(dir / "picture", std::ios::binary).write(png, sizeof png - 1);
    std::ofstream(dir / "words.png") << "plain words";
    const QString folder = QString::fromStdString(dir.string());
    fs::create_directories(dir / "settings");  // Qt's dialogs keep their settings here, not the user's
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder + "/settings");

    TSafeFileDialog dialog(nullptr, "Pick", folder);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.directory().absolutePath(), folder);
    QAbstractFileIconProvider* icons = dialog.iconProvider();
    ASSERT_NE(icons, nullptr);
    const QString pngType = QMimeDatabase().mimeTypeForName("image/png").comment();
    ASSERT_EQ(QMimeDatabase().mimeTypeForFile(folder + "/picture").comment(), pngType)
        << "the MIME database does not sniff here: the test proves nothing";
    EXPECT_NE(icons->type(QFileInfo(folder + "/picture")), pngType);
    EXPECT_EQ(icons->type(QFileInfo(folder + "/words.png")), pngType);
    EXPECT_FALSE(icons->icon(QFileInfo(folder + "/sub")).isNull());
    EXPECT_FALSE(icons->icon(QFileInfo(folder + "/picture")).isNull());

    const QString home = QDir::homePath();
    EXPECT_EQ(DialogStartFolder("/proc"), home);
    EXPECT_EQ(DialogStartFolder("/proc/self/fd"), home);
    EXPECT_EQ(DialogStartFolder(""), home);
    EXPECT_EQ(DialogStartFolder(folder + "/gone/deeper"), folder);
    {
        TSafeFileDialog atProc(nullptr, "Pick", "/proc/sys");
        EXPECT_EQ(atProc.directory().absolutePath(), QDir(home).absolutePath());
        atProc.setDirectory("/proc");  // taken there by hand: the next dialog is not
    }
    QSettings qt(QSettings::UserScope, "QtProject");
    qt.setValue("FileDialog/lastVisited", QUrl::fromLocalFile("/proc/sys").toString());
    TSafeFileDialog next(nullptr, "Pick", folder);
    EXPECT_EQ(next.directory().absolutePath(), folder);
    EXPECT_FALSE(QSettings(QSettings::UserScope, "QtProject").value("FileDialog/lastVisited").toString().contains("/proc"));
}

// A dialog without a folder of its own opens where the last one was left, in this run or
// the one before (Qt's settings keep it), unless that place is pseudo: then at home.
TEST(FileDialogs, ADialogWithoutAFolderOpensWhereTheLastOneWasLeft) {
    qtApp();
    const gstest::TempDir temp("gs-last-");
    const fs::path& dir = temp.path;
    fs::create_directories(dir / "settings");
    fs::create_directories(dir / "icons" / "deep");
    fs::create_directories(dir / "other");
    const QString base = QString::fromStdString(dir.string());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, base + "/settings");
    QSettings(QSettings::UserScope, "QtProject").remove("FileDialog/lastVisited");
    const QString home = QDir(QDir::homePath()).absolutePath();
    EXPECT_EQ(DialogStartFolder(""), home);  // nothing remembered yet

    {
        TSafeFileDialog first(nullptr, "Pick", base + "/other");
        first.setDirectory(base + "/icons/deep");  // where the user went
    }
    for (const QString& wanted : {QString(), QString("relative/name")}) {
        EXPECT_EQ(DialogStartFolder(wanted), base + "/icons/deep") << wanted.toStdString();
        TSafeFileDialog next(nullptr, "Pick", wanted);
        EXPECT_EQ(next.directory().absolutePath(), base + "/icons/deep") << wanted.toStdString();
        next.setDirectory(base + "/icons/deep");
    }
    EXPECT_EQ(DialogStartFolder(base + "/other"), base + "/other");  // a folder of its own wins
    fs::remove_all(dir / "icons" / "deep");
    EXPECT_EQ(DialogStartFolder(""), base + "/icons");  // gone: its nearest folder
    for (const char* pseudo : {"/proc/sys", "/sys/kernel"}) {
        QSettings(QSettings::UserScope, "QtProject").setValue("FileDialog/lastVisited", QUrl::fromLocalFile(pseudo).toString());
        EXPECT_EQ(DialogStartFolder(""), home) << pseudo;
        TSafeFileDialog atHome(nullptr, "Pick", "");
        EXPECT_EQ(QDir(atHome.directory().absolutePath()).absolutePath(), home) << pseudo;
    }
}

// The dialogs' type lists show each type's own text once, and "All Files (*.*)" lets every
// file through, one without a dot too; a typed name without an extension is opened as typed.
TEST(FileDialogs, TypeTextsShowOnceAllFilesMeansEveryFileAndTypedNamesStayAsTyped) {
    qtApp();
    const struct {
        const char *filter, *qt;
    } cases[] = {
        {"Applications (*.exe)|*.exe|All Files (*.*)|*.*", "Applications (*.exe) (*.exe);;All Files (*.*) (*)"},
        {"Pictures|*.bmp;*.gif", "Pictures (*.bmp *.gif) (*.bmp *.gif)"},
        {"Odd (*.x)|*.y", "Odd (*.y) (*.y)"},
        {"JPEG (*.jpg; *.jpeg)|*.jpg;*.jpeg", "JPEG (*.jpg; *.jpeg) (*.jpg *.jpeg)"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(QtDialogFilter(c.filter), c.qt) << c.filter;

    gstest::TempDir dir;
    std::ofstream(dir / "notepad") << "x";
    const QString folder = QString::fromStdString(dir.path.string());
    TSafeFileDialog dialog(nullptr, "Pick", folder, QtDialogFilter("Applications (*.exe)|*.exe|All Files (*.*)|*.*"));
    auto* types = dialog.findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 2);
    EXPECT_EQ(types->itemText(0), "Applications (*.exe)");
    EXPECT_EQ(types->itemText(1), "All Files (*.*)");
    // What the list is filtered by, once the type is chosen.
    auto* listed = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(listed, nullptr);
    dialog.selectNameFilter(dialog.nameFilters().back());
    EXPECT_TRUE(QDir::match(listed->nameFilters(), "notepad")) << listed->nameFilters().join(' ').toStdString();
    dialog.selectNameFilter(dialog.nameFilters().front());
    EXPECT_FALSE(QDir::match(listed->nameFilters(), "notepad"));

    dialog.setDefaultSuffix("exe");  // what the callers' specs name; an open dialog drops it
    QTimer::singleShot(0, &dialog, [&] {
        auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(folder + "/notepad");
        QDialog& asked = dialog;  // as its OK button would
        asked.accept();
        if (asked.isVisible()) asked.done(QDialog::Rejected);  // refused: ends instead of waiting
    });
    EXPECT_EQ(ChooseExistingFile(dialog), std::optional<QString>(folder + "/notepad"));
}
