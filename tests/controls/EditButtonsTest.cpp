// The speed button as a user meets it (frames of each style, captions shortened or wrapped
// and aligned, a transparent face, the dialog result it gives, its accelerator, double
// clicks and the action it follows) and the file-name and folder edits built on it (glyph
// kinds, the click key, the hooks around the dialog, several names, a new dialog kind).
#include <gtest/gtest.h>

#include <QAbstractFileIconProvider>
#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QTimer>
#include <QPainter>
#include <QShortcut>
#include <QStyle>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "support/QtTestApp.h"
#include "controls/ui/ComboEdits.h"
#include "controls/ui/FileDialogs.h"
#include "controls/ui/RxSpeedButton.h"
#include "support/TempDir.h"

using namespace gs;
namespace fs = std::filesystem;

namespace {

QApplication& qtApp() { return gstest::qtTestApp(); }

QRgb role(QPalette::ColorRole r) { return QApplication::palette().color(r).rgb(); }

QImage shot(QWidget& w) { return w.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The columns of `image` inside `r` holding ink: a pixel much darker than the face.
std::pair<int, int> inkColumns(const QImage& image, const QRect& r) {
    int first = -1, last = -1;
    for (int x = r.left(); x <= r.right(); ++x)
        for (int y = r.top(); y <= r.bottom(); ++y)
            if (qGray(image.pixel(x, y)) < qGray(role(QPalette::Button)) - 60) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

struct ScriptedDialogs : IComboEditDialogs {
    std::optional<QStringList> answer;
    std::vector<TFileDialogRequest> files;
    int folders = 0;
    TFolderDialogRequest lastFolder;
    std::optional<QStringList> ChooseFiles(QWidget*, const TFileDialogRequest& r) override {
        files.push_back(r);
        return answer;
    }
    std::optional<QString> ChooseFolder(QWidget*, const TFolderDialogRequest& r) override {
        ++folders;
        lastFolder = r;
        if (!answer) return std::nullopt;
        return answer->front();
    }
};

struct TempFolder {
    gstest::TempDir folder{"gs edit buttons "};
    fs::path path = folder.path;
    QString file(const std::string& name) const {
        std::ofstream(path / name) << "x";
        return QString::fromStdString((path / name).string());
    }
};

}  // namespace

TEST(RxSpeedButton, EachStyleDrawsItsOwnFrame) {
    qtApp();
    const QRgb light = role(QPalette::Light), dark = role(QPalette::Shadow), mid = role(QPalette::Mid);
    struct Case {
        TButtonStyle style;
        bool flat, pressed;
        QRgb outerTopLeft, outerBottomRight, innerTopLeft;
    } cases[] = {
        {TButtonStyle::bsNew, false, false, light, dark, role(QPalette::Button)},
        {TButtonStyle::bsAutoDetect, false, false, light, dark, role(QPalette::Button)},  // the new look here
        {TButtonStyle::bsNew, false, true, dark, light, mid},
        {TButtonStyle::bsWin31, false, false, dark, dark, light},  // a black frame, then the bevel
        {TButtonStyle::bsWin31, false, true, dark, dark, mid},     // a black frame and a shadow inside
        {TButtonStyle::bsWin31, true, true, dark, light, role(QPalette::Button)},
    };
    for (const Case& c : cases) {
        QWidget parent;
        TRxSpeedButton b(&parent);
        b.Style = c.style;
        b.Flat = c.flat;
        b.resize(30, 24);
        parent.show();
        if (c.pressed) {
            b.SetGroupIndex(1);
            b.SetDown(true);
        }
        const QImage face = shot(b);
        const int style = int(c.style);
        EXPECT_EQ(face.pixel(0, 0), c.outerTopLeft) << style << c.flat << c.pressed;
        EXPECT_EQ(face.pixel(29, 23), c.outerBottomRight) << style << c.flat << c.pressed;
        EXPECT_EQ(face.pixel(1, 5), c.innerTopLeft) << style << c.flat << c.pressed;
    }
}

// A field that shows repaints the button when it changes, and only then; a margin below
// -1 is refused.
TEST(RxSpeedButton, ShownFieldsRepaintOnChangeAndMarginIsChecked) {
    qtApp();
    TRxSpeedButton b;
    b.show();
    int paints = 0;
    struct Counter : QObject {
        int& n;
        explicit Counter(int& c) : n(c) {}
        bool eventFilter(QObject*, QEvent* e) override { return n += e->type() == QEvent::Paint, false; }
    } counter(paints);
    b.installEventFilter(&counter);
    const std::pair<std::function<void()>, bool> cases[] = {
        {[&] { b.Flat = true; }, true},    {[&] { b.Flat = true; }, false},   {[&] { b.Margin = 4; }, true},
        {[&] { b.Margin = -2; }, false},   {[&] { b.Spacing = 7; }, true},    {[&] { b.Style = TButtonStyle::bsWin31; }, true},
        {[&] { b.WordWrap = true; }, true}, {[&] { b.Transparent = true; }, true}, {[&] { b.AllowTimer = true; }, false}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        QCoreApplication::processEvents();
        const int before = paints;
        cases[i].first();
        QCoreApplication::processEvents();
        EXPECT_EQ(paints > before, cases[i].second) << i;
    }
    EXPECT_EQ(b.Margin, 4);
}

TEST(RxSpeedButton, CaptionsAreShortenedOrWrappedAndAligned) {
    qtApp();
    QWidget parent;
    TRxSpeedButton b(&parent);
    b.resize(60, 40);
    b.SetCaption("Extract every icon");
    parent.show();
    const QString shown = b.ShownCaption();
    EXPECT_TRUE(shown.endsWith("...")) << shown.toStdString();
    EXPECT_LE(b.fontMetrics().horizontalAdvance(shown), 60);
    b.WordWrap = true;
    EXPECT_EQ(b.ShownCaption(), "Extract every icon");  // wrapped whole
    EXPECT_GT(b.CaptionRect().height(), b.fontMetrics().height());

    // A wrapped caption's short line goes left, right or to the middle of the caption.
    b.resize(120, 60);
    b.SetCaption("Wide first line\nI");
    const QRect at = b.CaptionRect();
    const int lineHeight = b.fontMetrics().height();
    const QRect secondLine(at.left(), at.top() + lineHeight, at.width(), lineHeight);
    struct Case {
        TAlignment alignment;
        int expectedCentre;
    } cases[] = {
        {TAlignment::taLeftJustify, at.left()},
        {TAlignment::taCenter, at.center().x()},
        {TAlignment::taRightJustify, at.right()},
    };
    for (const Case& c : cases) {
        b.Alignment = c.alignment;
        const auto [first, last] = inkColumns(shot(b), secondLine);
        ASSERT_GE(first, 0) << int(c.alignment);
        EXPECT_NEAR((first + last) / 2, c.expectedCentre, 4) << int(c.alignment);
    }
}

TEST(RxSpeedButton, TransparentShowsTheParentAndModalResultEndsTheDialog) {
    qtApp();
    QDialog dialog;
    dialog.setAutoFillBackground(true);
    QPalette red = dialog.palette();
    red.setColor(QPalette::Window, Qt::red);
    dialog.setPalette(red);
    TRxSpeedButton b(&dialog);
    b.resize(30, 30);
    dialog.show();
    EXPECT_NE(dialog.grab().toImage().pixelColor(15, 15), QColor(Qt::red));
    b.Transparent = true;
    EXPECT_EQ(dialog.grab().toImage().pixelColor(15, 15), QColor(Qt::red));

    int clicks = 0;
    QObject::connect(&b, &TRxSpeedButton::clicked, [&] { ++clicks; });
    b.ModalResult = QDialog::Accepted + 6;
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(dialog.result(), QDialog::Accepted + 6);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(RxSpeedButton, AcceleratorDoubleClickAndActionLink) {
    qtApp();
    QWidget form;
    TRxSpeedButton b(&form);
    b.SetCaption("&Go");
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    int clicks = 0, doubles = 0;
    QObject::connect(&b, &TRxSpeedButton::clicked, [&] { ++clicks; });
    QObject::connect(&b, &TRxSpeedButton::OnDblClick, [&] { ++doubles; });
    QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    b.setEnabled(false);
    QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);  // a disabled button ignores its accelerator
    b.setEnabled(true);
    b.SetCaption("&Stop");
    QTest::keyClick(&form, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);  // the old accelerator went with the old caption
    QTest::keyClick(&form, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks, 2);

    // A double click counts only on a button that is down.
    QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubles, 0);
    b.SetGroupIndex(3);
    b.SetDown(true);
    QTest::mouseDClick(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(doubles, 1);

    // Following an action: its caption, hint, state and picture; a click triggers it.
    QAction action("&Save");
    action.setToolTip("Saves the icon");
    action.setCheckable(true);
    QPixmap picture(16, 16);
    picture.fill(Qt::blue);
    action.setIcon(QIcon(picture));
    int triggered = 0;
    QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
    TRxSpeedButton linked(&form);
    linked.SetGroupIndex(5);
    linked.SetAllowAllUp(true);
    linked.SetAction(&action);
    EXPECT_EQ(linked.Caption(), "&Save");
    EXPECT_EQ(linked.toolTip(), "Saves the icon");
    EXPECT_EQ(linked.GlyphImage(TButtonState::bsUp).pixelColor(8, 8), QColor(Qt::blue));
    action.setChecked(true);
    EXPECT_TRUE(linked.Down());
    action.setEnabled(false);
    EXPECT_FALSE(linked.isEnabled());
    action.setEnabled(true);
    linked.Click();
    EXPECT_EQ(triggered, 1);
}

TEST(ComboEdits, TheButtonIsASpeedButtonWithTheGlyphOfItsKind) {
    qtApp();
    TFilenameEdit edit;
    edit.resize(200, 24);
    edit.show();
    EXPECT_EQ(edit.GlyphKind(), TGlyphKind::gkDefault);
    EXPECT_EQ(edit.ButtonWidth(), 21);
    EXPECT_FALSE(edit.Button()->Glyph().isNull());
    const int scrollBar = edit.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &edit);
    struct Case {
        TGlyphKind kind;
        int width;      // the button's width once the kind is chosen (from 30)
        int glyphWidth;
    } cases[] = {
        {TGlyphKind::gkEllipsis, 30, 24},  // as wide as the button less 6
        {TGlyphKind::gkDropDown, scrollBar, 7},
        {TGlyphKind::gkDefault, 30, 15},   // no narrower than it was
    };
    for (const Case& c : cases) {
        edit.SetButtonWidth(30);
        edit.SetGlyphKind(c.kind);
        EXPECT_EQ(edit.ButtonWidth(), c.width) << int(c.kind);
        EXPECT_EQ(edit.Button()->Glyph().width(), c.glyphWidth) << int(c.kind);
        EXPECT_EQ(edit.NumGlyphs(), 1) << int(c.kind);
    }
    QImage strip(32, 16, QImage::Format_ARGB32);
    strip.fill(Qt::green);
    edit.SetGlyph(strip);
    EXPECT_EQ(edit.GlyphKind(), TGlyphKind::gkCustom);
    EXPECT_EQ(edit.NumGlyphs(), 2);
    edit.SetButtonWidth(500);  // wider than the edit: refused
    EXPECT_NE(edit.ButtonWidth(), 500);

    // A click on the button opens the dialog.
    ScriptedDialogs dialogs;
    edit.SetDialogs(dialogs);
    TRxSpeedButton* button = edit.Button();
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(dialogs.files.size(), 1u);
}

TEST(ComboEdits, LeastHeightAndAlignment) {
    qtApp();
    TDirectoryEdit edit;
    const int desktop = QFontMetrics(QApplication::font()).height();
    EXPECT_EQ(edit.MinimumEditHeight(), std::min(desktop, edit.fontMetrics().height()) + 5);
    edit.resize(100, 2);
    EXPECT_EQ(edit.height(), edit.MinimumEditHeight());
    // A larger font than the desktop's asks no more than the desktop's; a smaller one less.
    struct Case {
        int pixels;
        bool lower;
    } fonts[] = {{60, false}, {6, true}};
    for (const Case& c : fonts) {
        QFont f = edit.font();
        f.setPixelSize(c.pixels);
        edit.setFont(f);
        EXPECT_EQ(edit.MinimumEditHeight() < desktop + 5, c.lower) << c.pixels;
        EXPECT_EQ(edit.minimumHeight(), edit.MinimumEditHeight()) << c.pixels;
    }
    const std::pair<TAlignment, Qt::Alignment> alignments[] = {{TAlignment::taLeftJustify, Qt::AlignLeft},
                                                               {TAlignment::taRightJustify, Qt::AlignRight},
                                                               {TAlignment::taCenter, Qt::AlignHCenter}};
    for (const auto& [alignment, horizontal] : alignments) {
        edit.SetAlignment(alignment);
        EXPECT_EQ(edit.Alignment(), alignment);
        EXPECT_EQ(edit.alignment() & Qt::AlignHorizontal_Mask, horizontal);
    }
}

TEST(ComboEdits, TheClickKeyIsSettable) {
    qtApp();
    ScriptedDialogs dialogs;
    TDirectoryEdit edit;
    edit.SetDialogs(dialogs);
    struct Case {
        QKeySequence clickKey;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int opened;
    } cases[] = {
        {QKeySequence(), Qt::Key_Down, Qt::AltModifier, 1},  // the default: Alt+Down
        {QKeySequence(Qt::Key_F4), Qt::Key_Down, Qt::AltModifier, 0},
        {QKeySequence(Qt::Key_F4), Qt::Key_F4, Qt::NoModifier, 1},
        {QKeySequence(Qt::CTRL | Qt::Key_B), Qt::Key_B, Qt::ControlModifier, 1},
    };
    for (const Case& c : cases) {
        if (!c.clickKey.isEmpty()) edit.SetClickKey(c.clickKey);
        const int before = dialogs.folders;
        QTest::keyClick(&edit, c.key, c.modifiers);
        EXPECT_EQ(dialogs.folders - before, c.opened) << c.clickKey.toString().toStdString();
    }
    EXPECT_EQ(TDirectoryEdit().ClickKey(), QKeySequence(Qt::ALT | Qt::Key_Down));
    edit.SetButtonWidth(0);
    const int before = dialogs.folders;
    QTest::keyClick(&edit, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(dialogs.folders, before);  // no button, no dialog
}

TEST(ComboEdits, HooksAroundTheDialogSeeAndChangeTheName) {
    qtApp();
    TempFolder dir;
    const QString first = dir.file("first.ico"), second = dir.file("second.ico");
    ScriptedDialogs dialogs;
    TFilenameEdit edit;
    edit.SetDialogs(dialogs);
    edit.setText(first);
    std::vector<std::pair<QString, bool>> before, after;
    edit.OnBeforeDialog = [&](QString& name, bool& action) {
        before.emplace_back(name, action);
        name = second;
    };
    edit.OnAfterDialog = [&](QString& name, bool& action) { after.emplace_back(name, action); };
    dialogs.answer.reset();
    edit.ButtonClicked();
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].FileName, second);  // the hook's name is the dialog's
    EXPECT_EQ(before, (std::vector<std::pair<QString, bool>>{{first, true}}));
    EXPECT_EQ(after, (std::vector<std::pair<QString, bool>>{{second, false}}));
    EXPECT_EQ(edit.text(), first);  // cancelled

    // The hook before may keep the dialog shut; the one after may change the answer.
    edit.OnBeforeDialog = [](QString&, bool& action) { action = false; };
    edit.ButtonClicked();
    EXPECT_EQ(dialogs.files.size(), 1u);
    edit.OnBeforeDialog = nullptr;
    dialogs.answer = QStringList{second};
    edit.OnAfterDialog = [&](QString& name, bool& action) {
        EXPECT_TRUE(action);
        name = dir.path.c_str() + QString("/my pick.ico");
    };
    edit.ButtonClicked();
    EXPECT_EQ(edit.text(), "\"" + QString(dir.path.c_str()) + "/my pick.ico\"");
    EXPECT_EQ(edit.Dialog.InitialDir, QString(dir.path.c_str()));

    TDirectoryEdit folder;
    folder.SetDialogs(dialogs);
    bool asked = false;
    folder.OnBeforeDialog = [&](QString&, bool& action) { asked = action = false; };
    folder.ButtonClicked();
    EXPECT_FALSE(asked);
    EXPECT_EQ(dialogs.folders, 0);
}

TEST(ComboEdits, SeveralNamesAndANewDialogKind) {
    qtApp();
    TempFolder dir;
    const QStringList names{dir.file("a.ico"), dir.file("b.ico"), dir.file("c d.ico")};
    ScriptedDialogs dialogs;
    TFilenameEdit edit;
    edit.SetDialogs(dialogs);
    edit.SetAcceptFiles(true);

    // One name at a time unless several are allowed.
    QList<QUrl> urls;
    for (const QString& n : names) urls << QUrl::fromLocalFile(n);
    edit.DropUrls(urls);
    EXPECT_EQ(edit.FileName(), names[0]);
    EXPECT_TRUE(edit.Files().isEmpty());
    edit.SetDialogOptions(ofHideReadOnly | ofAllowMultiSelect);
    edit.DropUrls(urls);
    EXPECT_EQ(edit.FileName(), names[0]);
    EXPECT_EQ(edit.Files(), names);
    dialogs.answer = QStringList{names[2], names[1]};
    edit.ButtonClicked();
    EXPECT_TRUE(dialogs.files.back().MultiSelect());
    EXPECT_EQ(edit.FileName(), names[2]);
    EXPECT_EQ(edit.Files(), (QStringList{names[2], names[1]}));
    edit.SetFileName(names[1]);  // a name set alone empties the list
    EXPECT_TRUE(edit.Files().isEmpty());
    edit.DropUrls(urls);
    edit.SetDialogOptions(ofHideReadOnly);
    EXPECT_TRUE(edit.Files().isEmpty());

    // A new kind of dialog keeps every setting of the old one.
    edit.Dialog.Title = "Select target...";
    edit.Dialog.Filter = "Icons (*.ico)|*.ico";
    edit.Dialog.FilterIndex = 1;
    edit.Dialog.DefaultExt = "ico";
    edit.Dialog.HistoryList = {"/tmp"};
    edit.SetDialogOptions(ofAllowMultiSelect | ofFileMustExist);
    edit.DropUrls(urls);
    for (TFileDialogKind kind : {TFileDialogKind::dkSave, TFileDialogKind::dkOpenPicture, TFileDialogKind::dkSavePicture}) {
        edit.SetDialogKind(kind);
        dialogs.answer.reset();
        edit.ButtonClicked();
        const TFileDialogRequest& r = dialogs.files.back();
        EXPECT_EQ(r.Kind, kind);
        EXPECT_EQ(r.Title, "Select target...");
        EXPECT_EQ(r.Filter, "Icons (*.ico)|*.ico");
        EXPECT_EQ(r.DefaultExt, "ico");
        EXPECT_EQ(r.HistoryList, QStringList{"/tmp"});
        EXPECT_EQ(r.Options, ofAllowMultiSelect | ofFileMustExist);
        EXPECT_EQ(r.Files, names);
    }
}

TEST(ComboEdits, TheDesktopDialogsNameFilesWithoutReadingThem) {
    qtApp();
    TempFolder dir;
    {
        std::ofstream(dir.path / "report") << "%PDF-1.4\n";  // what a type guess from contents would see
    }
    for (const bool folder : {false, true}) {
        QString seenType;
        bool seen = false;
        // Looks at the dialog once it runs, then closes it.
        std::function<void()> watch = [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return QTimer::singleShot(10, watch);
            ASSERT_NE(dialog->iconProvider(), nullptr);
            seenType = dialog->iconProvider()->type(QFileInfo(QString::fromStdString((dir.path / "report").string())));
            seen = true;
            dialog->reject();
        };
        QTimer::singleShot(0, watch);
        if (folder) {
            TFolderDialogRequest request;
            request.Text = "Select default folder...";
            request.Start = dir.path.c_str();
            EXPECT_FALSE(DesktopComboEditDialogs().ChooseFolder(nullptr, request));
        } else {
            TFileDialogRequest request;
            request.InitialDir = dir.path.c_str();
            EXPECT_FALSE(DesktopComboEditDialogs().ChooseFiles(nullptr, request));
        }
        ASSERT_TRUE(seen);
        EXPECT_FALSE(seenType.contains("PDF")) << seenType.toStdString();
    }
}

namespace {
// The caret's rectangle, which is as wide as the caret and a margin.
struct CaretProbe : TFilenameEdit {
    QRect Caret() {
        grab();  // the edit takes its caret's width when it paints
        return cursorRect();
    }
};
}  // namespace

TEST(ComboEdits, TheirDialogsGetTheEditsHelpContextAndFolderKindAndABoldTextAThickerCaret) {
    qtApp();
    ScriptedDialogs dialogs;
    CaretProbe file;
    TDirectoryEdit folder;
    folder.DialogKind = TDirDialogKind::dkWin32;
    folder.DialogOptions = sdAllowCreate;
    for (TCustomComboEdit* edit : {static_cast<TCustomComboEdit*>(&file), static_cast<TCustomComboEdit*>(&folder)}) {
        edit->SetDialogs(dialogs);
        edit->HelpContext = 500;
        edit->ButtonClicked();
    }
    EXPECT_EQ(dialogs.files.at(0).HelpContext, 500);
    const TFolderDialogRequest& r = dialogs.lastFolder;
    EXPECT_EQ(std::tuple(r.HelpContext, r.Kind, r.Options), std::tuple(500, TDirDialogKind::dkWin32, int(sdAllowCreate)));
    const int thin = file.Caret().width();
    for (bool bold : {true, false}) {
        QFont font = file.font();
        font.setBold(bold);
        file.setFont(font);
        EXPECT_EQ(file.Caret().width(), thin + bold);
    }
}

TEST(ComboEdits, TheDesktopDialogsPreviewPicturesLetMakeFoldersWhereAskedAndAnswerF1) {
    qtApp();
    TempFolder dir;
    std::vector<int> helped;
    SetComboEditHelp([&helped](int context) { helped.push_back(context); });
    const struct Case {
        std::optional<TFileDialogKind> file;  // else a folder dialog
        TDirDialogKind folderKind;
        int folderOptions;
        bool preview, readOnly;
    } cases[] = {
        {TFileDialogKind::dkOpen, {}, 0, false, false},
        {TFileDialogKind::dkSavePicture, {}, 0, true, false},
        {{}, TDirDialogKind::dkVCL, 0, false, true},
        {{}, TDirDialogKind::dkVCL, sdAllowCreate, false, false},
        {{}, TDirDialogKind::dkWin32, 0, false, false},
    };
    for (const Case& c : cases) {
        bool preview = false, readOnly = false;
        std::function<void()> watch = [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return QTimer::singleShot(10, watch);
            preview = dialog->findChild<TPicturePreview*>() != nullptr;
            readOnly = dialog->testOption(QFileDialog::ReadOnly);
            for (QShortcut* key : dialog->findChildren<QShortcut*>())
                if (key->key() == QKeySequence(Qt::Key_F1)) emit key->activated();
            dialog->reject();
        };
        QTimer::singleShot(0, watch);
        TFileDialogRequest file;
        file.Kind = c.file.value_or(TFileDialogKind::dkOpen);
        file.InitialDir = dir.path.c_str();
        file.HelpContext = 500;
        if (c.file) DesktopComboEditDialogs().ChooseFiles(nullptr, file);
        else DesktopComboEditDialogs().ChooseFolder(nullptr, {c.folderKind, "Folder", dir.path.c_str(), c.folderOptions, 500});
        EXPECT_EQ(preview, c.preview) << int(file.Kind);
        EXPECT_EQ(readOnly, c.readOnly) << c.folderOptions;
        EXPECT_EQ(helped, std::vector<int>{500});
        helped.clear();
    }
    SetComboEditHelp(nullptr);

    // The preview reads pictures, and nothing that is not a regular file with one.
    const QString png = QString::fromStdString((dir.path / "red.png").string());
    ASSERT_TRUE(QImage(300, 150, QImage::Format_RGB32).save(png));
    TPicturePreview view;
    for (const auto& [name, shown] : {std::pair{dir.file("note.txt"), false}, {"/proc/self/status", false}, {png, true}}) {
        view.ShowFile(name);
        EXPECT_EQ(view.HasPicture(), shown) << name.toStdString();
    }
    EXPECT_LE(view.pixmap().width(), view.width());  // scaled down to fit
}
