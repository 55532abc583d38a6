// The main window's list commands offscreen: preview lines, renaming, removal with and
// without a filter, sorting, finding and filtering, with scripted dialogs and boxes.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QScrollBar>

#include "app/MainWindowProbe.h"
#include "app/FakeMainServices.h"
#include "app/core/Filters.h"
#include "app/ui/ElidedLabel.h"
#include "app/core/ListWork.h"
#include "app/ui/IconListView.h"

using namespace gs;
using namespace gstest;
using A = TMainAction;

namespace {

// Ten icon files; those at 3 and 7 of the sorted list carry "shell" in their names.
struct TenIcons : Tree {
    TenIcons() {
        for (const char* name : {"a", "b", "c", "d_shell", "e", "f", "g", "h_shell", "i", "j"})
            put(std::string(name) + ".ico", makeIcoFile({dibSpec(16, 4), dibSpec(32, 8), dibSpec(48, 8)}));
    }
};

struct Listed {
    TRegistryStore store{":memory:"};
    TenIcons dir;
    ListWindow t{store};
    Listed() { t.list(dir.path.string()); }
    TIconListModel& model() { return t.w->ListView().Model(); }
    // The caption editor's answer, as the view would pass it.
    bool rename(int row, const QString& text) {
        QAbstractItemModel* view = t.w->ListView().IconView()->model();
        return view->setData(view->index(row, 0), text, Qt::EditRole);
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> out;
        for (const ShownBox& b : t.services.boxes) out.push_back(b.msg);
        return out;
    }
};

std::string header(TKAVUMain& w, int column) {
    return w.ListView().Model().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toStdString();
}

}  // namespace

TEST(ListCommands, PreviewShowsOneLinePerImageFourPixelsTallerThanIt) {
    Listed l;
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLines(), QStringList{"No icon selected"});
    l.t.select({2});
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLines(), QStringList({"16x16x16", "32x32x256", "48x48x256"}));
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLineHeight(0), 20);
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLineHeight(1), 36);
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLineHeight(2), 52);
    l.t.select({2, 4});
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLines(), QStringList{"Multiple icons selected"});
    l.t.select({});
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PreviewLines(), QStringList{"No icon selected"});
    std::filesystem::remove(l.dir.path / "a.ico");
    l.t.select({0});
    EXPECT_EQ(l.boxes(), std::vector<std::string>{"Unable to preview selected icon."});
}

TEST(ListCommands, RenameRefusesEmptyInvalidAndDuplicateNamesAndTakesAValidOne) {
    Listed l;
    EXPECT_FALSE(l.rename(0, ""));
    EXPECT_FALSE(l.rename(0, "a:b"));
    EXPECT_FALSE(l.rename(0, "B_2"));
    EXPECT_FALSE(l.rename(0, "a_1"));
    EXPECT_EQ(l.boxes(), (std::vector<std::string>{
                             "An icon name cannot contain any of the following characters: / \\ : * ? \" ' < > |.",
                             "An icon named 'B_2' already exists.", "An icon named 'a_1' already exists."}));
    EXPECT_EQ(l.t.services.boxes[0].type, int(TQBMessageType::mtInformation));
    EXPECT_EQ(l.t.services.boxes[1].type, int(TQBMessageType::mtWarning));
    EXPECT_TRUE(l.rename(0, "floppy"));
    EXPECT_EQ(l.t.shown()[0], "b_2");  // the list keeps its order by name
    EXPECT_EQ(TMainWindowProbe(*l.t.w).Listing().Icons()->GetItem(0)->Name, "floppy");
    // Entries that a filter hides count too.
    TMainWindowProbe(*l.t.w).Listing().Filters() = std::make_unique<TFilters>();
    TMainWindowProbe(*l.t.w).Listing().Filters()->Items.Add(std::make_unique<TFilter>(TFilter{0, 3, "shell"}));
    l.t.w->RefreshFilteredList();
    EXPECT_FALSE(l.rename(0, "D_SHELL_4"));
    EXPECT_EQ(l.boxes().back(), "An icon named 'D_SHELL_4' already exists.");
    EXPECT_EQ(l.t.services.terminations, 0);
}

TEST(ListCommands, RemoveTakesEverythingOrOnlyTheListedSelectedEntries) {
    Listed l;
    l.t.select({1, 3});
    l.t.run(A::actEditRemove);
    EXPECT_EQ(l.t.shown(), (std::vector<std::string>{"a_1", "c_3", "e_5", "f_6", "g_7", "h_shell_8", "i_9", "j_10"}));
    EXPECT_EQ(TMainWindowProbe(*l.t.w).Listing().Icons()->Count(), 8);
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PanelText(1), "Icons: 8");
    l.t.dialogs.filter = [](std::unique_ptr<TFilters>& f) {
        f = std::make_unique<TFilters>();
        f->Items.Add(std::make_unique<TFilter>(TFilter{0, 4, "A"}));
        return true;
    };
    l.t.run(A::actViewFilter);
    EXPECT_EQ(l.t.shown(), std::vector<std::string>{"a_1"});
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PanelText(2), "Filtered");
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PanelText(1), "Icons: 1");
    l.t.run(A::actEditSelectAll);
    l.t.run(A::actEditRemove);
    EXPECT_TRUE(l.t.shown().empty());
    EXPECT_EQ(TMainWindowProbe(*l.t.w).Listing().Icons()->Count(), 7);  // the filtered-out definitions stay
    EXPECT_TRUE(TMainWindowProbe(*l.t.w).ActionStates()[std::size_t(A::actViewRemoveFilter)].Enabled);
    l.t.run(A::actViewRemoveFilter);
    EXPECT_EQ(l.t.shown().size(), 7u);
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PanelText(2), "");
    EXPECT_FALSE(TMainWindowProbe(*l.t.w).Listing().ActiveFilters());
    l.t.run(A::actEditSelectAll);
    l.t.run(A::actEditRemove);
    EXPECT_EQ(TMainWindowProbe(*l.t.w).Listing().Icons()->Count(), 0);
    EXPECT_EQ(TMainWindowProbe(*l.t.w).PanelText(1), "Icons: 0");
}

TEST(ListCommands, ColumnClicksSortByNameBothWaysThenByFile) {
    Listed l;
    TKAVUMain& w = *l.t.w;
    TMainWindowProbe(w).Listing().Icons()->GetItem(0)->FileName = "/z/last.ico";  // a_1 comes last by file
    EXPECT_EQ(header(w, 0), "Icon (ASC)");
    w.lvIconsColumnClick(0);
    EXPECT_EQ(header(w, 0), "Icon (DESC)");
    EXPECT_EQ(header(w, 1), "Original File");
    EXPECT_EQ(l.t.shown().front(), "j_10");
    w.lvIconsColumnClick(0);
    EXPECT_EQ(header(w, 0), "Icon (ASC)");
    EXPECT_EQ(l.t.shown().front(), "a_1");
    w.lvIconsColumnClick(1);
    EXPECT_EQ(header(w, 0), "Icon");
    EXPECT_EQ(header(w, 1), "Original File (ASC)");
    EXPECT_EQ(l.t.shown().front(), "b_2");
    EXPECT_EQ(l.t.shown().back(), "a_1");
    w.lvIconsColumnClick(1);
    EXPECT_EQ(header(w, 1), "Original File (DESC)");
    EXPECT_EQ(l.t.shown().front(), "a_1");
}

// Each hit joins the entries already selected; a miss leaves the selection and the preview
// as they were.
TEST(ListCommands, FindHitsThreeAndSevenThenSaysNotFoundTwice) {
    Listed l;
    TIconListView& list = l.t.w->ListView();
    auto selected = [&](std::initializer_list<int> rows) {
        std::vector<TIconDef*> defs;
        for (int row : rows) defs.push_back(list.DefAt(row));
        return defs;
    };
    const TMainWindowProbe probe(*l.t.w);
    EXPECT_FALSE(probe.ActionStates()[std::size_t(A::actEditFindNext)].Enabled);
    l.t.dialogs.find = TFindInfo{0, "SHELL", false, -1};
    l.t.select({0, 1});
    l.t.run(A::actEditFind);
    EXPECT_EQ(list.SelectedInOrder(), selected({0, 1, 3}));
    EXPECT_EQ(list.CurrentView()->currentIndex().row(), 3);
    l.t.run(A::actEditFindNext);
    EXPECT_EQ(list.SelectedInOrder(), selected({0, 1, 3, 7}));
    l.t.run(A::actEditFindNext);
    l.t.run(A::actEditFindNext);
    EXPECT_EQ(l.boxes(), std::vector<std::string>(2, "Search string 'SHELL' not found."));
    EXPECT_EQ(l.t.services.boxes[0].type, int(TQBMessageType::mtInformation));
    EXPECT_EQ(list.SelectedInOrder(), selected({0, 1, 3, 7}));
    EXPECT_EQ(list.CurrentView()->currentIndex().row(), 7);
    EXPECT_EQ(l.t.context.FindInfo.LastIndex, 7);
    EXPECT_EQ(l.t.services.terminations, 0);

    // One icon selected and previewed: a search that finds nothing keeps both.
    l.t.select({2});
    const QStringList previewed = probe.PreviewLines();
    ASSERT_EQ(previewed.size(), 3);
    l.t.dialogs.find = TFindInfo{1, "nowhere", true, -1};
    l.t.run(A::actEditFind);
    l.t.w->Guard([&] { l.t.w->alMainUpdate(); });
    EXPECT_EQ(l.boxes().back(), "Search string 'nowhere' not found.");
    EXPECT_EQ(list.SelectedInOrder(), selected({2}));
    EXPECT_EQ(probe.PreviewLines(), previewed);
}

TEST(ListCommands, RemoveDeletesInTheCaptionEditorWhileItIsOpen) {
    Listed l;
    l.t.w->show();
    l.t.select({0});
    l.t.run(A::actEditRename);
    QLineEdit* editor = l.t.w->ListView().Editor();
    ASSERT_NE(editor, nullptr);
    editor->setText("abc");
    editor->setCursorPosition(1);
    l.t.run(A::actEditRemove);
    EXPECT_EQ(editor->text(), "ac");
    EXPECT_EQ(l.t.shown().size(), 10u);
}

// A path longer than its place is elided in the middle (its start and its last folder both
// show) in the status bar, and a preview line wider than the pane ends in an ellipsis
// instead of running into the pane's edge. The whole texts stay what the window holds.
// An icon of more large images than the preview may hold in pictures: every image has its
// line and its room, the small ones and the large that fit are drawn, the rest stay blank.
TEST(ListCommands, PreviewLinesPastThePreviewsPixelsKeepTheirRoomWithoutAPicture) {
    TRegistryStore store{":memory:"};
    Tree dir;
    TRaster solid(1024, 1024);
    solid.Fill(makeArgb(1, 2, 3));
    const std::size_t fitting = std::size_t((kPreviewPixels - 16 * 16) / (1024 * 1024));
    std::vector<ImageSpec> images(fitting + 3, ImageSpec{makePngImage(solid), 0, 0, 0, 32});
    images.push_back(dibSpec(16, 4));
    dir.put("large.ico", makeIcoFile(images));
    ListWindow t{store};
    t.list(dir.path.string());
    t.select({0});
    const TMainWindowProbe probe(*t.w);
    ASSERT_EQ(probe.PreviewLines().size(), qsizetype(images.size()));
    for (int i = 0; i < int(images.size()); ++i) {
        EXPECT_EQ(probe.PreviewLineHasPicture(i), i <= int(fitting)) << i;  // the 16 first, then the large
        EXPECT_EQ(probe.PreviewLineHeight(i), i == 0 ? 20 : 1024 + 4) << i;
    }
}

TEST(ListCommands, LongPathsAndPreviewLinesAreElidedNotCut) {
    TRegistryStore store{":memory:"};
    TenIcons dir;
    std::string deep;
    for (int i = 0; i < 8; ++i) deep += "/a-rather-long-folder-name-" + std::to_string(i);
    const std::filesystem::path folder = dir.dir(deep.substr(1) + "/last-folder");
    for (const char* name : {"a.ico", "b.ico"})
        std::filesystem::copy_file(dir.path / name, folder / name);
    ListWindow t{store};
    t.w->resize(1000, 480);
    t.w->show();
    t.list(folder.string());
    auto* panel = t.w->findChild<TElidedLabel*>("sbMainPanel3");
    ASSERT_NE(panel, nullptr);
    const QString whole = "Selected Folder: " + QString::fromStdString(folder.string());
    EXPECT_EQ(TMainWindowProbe(*t.w).PanelText(3), whole);
    const QString shown = panel->ShownText();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("Selected Folder: /")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("/last-folder")) << shown.toStdString();
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(shown), panel->contentsRect().width());
    EXPECT_LT(panel->minimumSizeHint().width(), 100);  // the long path never widens the window

    // Two selected: the preview's one line, in a pane narrower than it.
    t.select({0, 1});
    auto* preview = t.w->findChild<QListWidget*>("lbIconPreview");
    ASSERT_NE(preview, nullptr);
    preview->setFixedWidth(90);
    QCoreApplication::processEvents();
    const QImage shot = preview->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb back = shot.pixel(shot.width() - 1, shot.height() - 1);
    int rightmost = -1;
    for (int y = 0; y < std::min(shot.height(), preview->fontMetrics().height() + 6); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) != back) rightmost = std::max(rightmost, x);
    ASSERT_GE(rightmost, 0) << "nothing drawn";
    EXPECT_LT(rightmost, shot.width() - 3) << "the line runs into the pane's edge";
    EXPECT_EQ(preview->horizontalScrollBar()->isVisible(), false);
}
