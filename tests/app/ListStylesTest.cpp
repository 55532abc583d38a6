// The icon list's view styles offscreen: whatever style the list showed before, a style
// lays its entries out as it does in a list that never showed another; and an entry's
// selection highlight is painted on that entry only, inside the rectangle the view repaints.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QTest>

#include <memory>

#include "support/QtTestApp.h"
#include "app/core/IconDef.h"
#include "app/ui/IconListView.h"
#include "iconlib/IconPicture.h"

using namespace gs;

namespace {

constexpr TViewStyle kStyles[] = {TViewStyle::vsIcon, TViewStyle::vsSmallIcon, TViewStyle::vsList,
                                  TViewStyle::vsReport};

const char* nameOf(TViewStyle s) {
    static const char* const names[] = {"Large Icons", "Small Icons", "List", "Details"};
    return names[int(s)];
}

TListPicture square(QColor colour, int size) {
    TIconPicture p;
    p.width = p.height = size;
    p.colour.assign(std::size_t(size * size), Argb(colour.rgba()));
    p.hasAlpha = true;
    return TListPicture(p);
}

// A shown list of `n` entries with names of different lengths.
struct ShownList {
    QApplication& app = gstest::qtTestApp();
    std::vector<std::unique_ptr<TIconDef>> defs;
    TIconListView view;

    explicit ShownList(int n = 14) {
        for (int i = 0; i < n; ++i) {
            auto def = std::make_unique<TIconDef>();
            def->Name = "icon" + std::string(std::size_t(i % 4) * 3, 'x') + std::to_string(i);
            def->FileName = "/icons/" + def->Name + ".ico";
            const QColor colour = QColor::fromHsv(i * 360 / n, 200, 160);
            def->Icon32 = square(colour, 32);
            def->Icon16 = square(colour, 16);
            view.Model().Append(def.get());
            defs.push_back(std::move(def));
        }
        view.Model().Flush();
        view.resize(520, 300);
        view.show();
    }

    QListView& icons() const { return *view.IconView(); }
    QModelIndex row(int r) const { return icons().model()->index(r, 0); }

    // Waits (bounded) until the icon view has laid out every entry.
    void laidOut() {
        QElapsedTimer clock;
        clock.start();
        const int last = icons().model()->rowCount() - 1;
        while (clock.elapsed() < 10000) {
            QCoreApplication::processEvents();
            if (last < 0 || icons().visualRect(row(last)).isValid()) return;
        }
        ADD_FAILURE() << "the icon view never laid out its entries";
    }
};

// What a user sees of a style's layout: the view's layout properties and where each entry is.
struct Layout {
    int mode, flow, movement, resize, layoutMode, elide;
    bool wrapping, wordWrap, uniform, band;
    QSize icon, grid;
    int spacing;
    std::vector<QRect> places;

    bool operator==(const Layout&) const = default;
};

Layout layoutOf(ShownList& l) {
    l.laidOut();
    const QListView& v = l.icons();
    Layout out{int(v.viewMode()), int(v.flow()), int(v.movement()), int(v.resizeMode()), int(v.layoutMode()),
               int(v.textElideMode()), v.isWrapping(), v.wordWrap(), v.uniformItemSizes(), v.isSelectionRectVisible(),
               v.iconSize(), v.gridSize(), v.spacing(), {}};
    for (int r = 0; r < v.model()->rowCount(); ++r) out.places.push_back(v.visualRect(l.row(r)));
    return out;
}

std::ostream& operator<<(std::ostream& os, const Layout& l) {
    os << "mode " << l.mode << " flow " << l.flow << " grid " << l.grid.width() << "x" << l.grid.height() << " at";
    for (const QRect& r : l.places) os << " " << r.x() << "," << r.y();
    return os;
}

// The highlight colour's pixels of the icon view as it paints itself now.
std::vector<QPoint> highlighted(QListView& view) {
    const QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb mark = view.palette().color(QPalette::Active, QPalette::Highlight).rgb();
    std::vector<QPoint> out;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if (shot.pixel(x, y) == mark) out.emplace_back(x, y);
    return out;
}

}  // namespace

TEST(ListStyles, AStyleLaysOutAsInAListThatNeverShowedAnother) {
    // The oracle: each style as a fresh list shows it (a fresh list starts in Large Icons).
    std::vector<Layout> fresh;
    for (TViewStyle style : kStyles) {
        if (style == TViewStyle::vsReport) break;
        ShownList l;
        l.view.SetViewStyle(style);
        fresh.push_back(layoutOf(l));
    }
    ASSERT_EQ(fresh.size(), 3u);
    EXPECT_NE(fresh[0].places, fresh[2].places);  // Large Icons runs in rows, List in columns
    EXPECT_EQ(fresh[0].places[1].top(), fresh[0].places[0].top());
    EXPECT_EQ(fresh[2].places[1].left(), fresh[2].places[0].left());

    // Every way into a style, through every other one, ends in the same layout.
    for (TViewStyle before : kStyles)
        for (TViewStyle between : kStyles)
            for (std::size_t i = 0; i < fresh.size(); ++i) {
                ShownList l;
                l.view.SetViewStyle(before);
                layoutOf(l);
                l.view.SetViewStyle(between);
                l.view.SetViewStyle(kStyles[i]);
                EXPECT_EQ(layoutOf(l), fresh[i])
                    << nameOf(kStyles[i]) << " after " << nameOf(before) << " and " << nameOf(between);
                EXPECT_EQ(l.view.ViewStyle(), kStyles[i]);
            }
}

TEST(ListStyles, TheHighlightFollowsTheArrowKeysOnTheSelectedEntryOnly) {
    for (TViewStyle style : {TViewStyle::vsIcon, TViewStyle::vsSmallIcon, TViewStyle::vsList}) {
        ShownList l;
        l.view.SetViewStyle(TViewStyle::vsList);
        l.view.SetViewStyle(style);
        l.laidOut();
        QListView& v = l.icons();
        v.setFocus();
        v.setCurrentIndex(l.row(0));
        l.view.Selection().select(l.row(0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const Qt::Key keys[] = {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Left, Qt::Key_Down, Qt::Key_Up};
        for (Qt::Key key : keys) {
            QTest::keyClick(&v, key);
            ASSERT_EQ(l.view.SelectedCount(), 1) << nameOf(style);
            const QRect place = v.visualRect(v.currentIndex());
            const std::vector<QPoint> marks = highlighted(v);
            EXPECT_FALSE(marks.empty()) << nameOf(style) << ": the selected entry shows no highlight";
            // The view repaints an entry within its rectangle only: a highlight beyond it
            // would stay behind, offset, when the selection moves on.
            int outside = 0;
            for (const QPoint& p : marks) outside += !place.contains(p);
            EXPECT_EQ(outside, 0) << nameOf(style) << ": highlight pixels outside the entry at row "
                                  << v.currentIndex().row();
        }
    }
}

TEST(ListStyles, EveryStyleDrawsEachEntrysOwnPictureAndASelectedOneTinted) {
    ShownList l(6);
    // Pixels of exactly the entry's colour inside its rectangle: the picture drawn whole and
    // unchanged is its size squared.
    auto picturePixels = [&](QAbstractItemView& view, int r) {
        const QImage shot = view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect place = view.visualRect(view.model()->index(r, 0)) & shot.rect();
        // Rows are sorted by caption: the colour is that of the definition shown there.
        int made = 0;
        while (made < 6 && l.defs[std::size_t(made)].get() != l.view.DefAt(r)) ++made;
        const QRgb colour = QColor::fromHsv(made * 360 / 6, 200, 160).rgb();
        int n = 0;
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x) n += shot.pixel(x, y) == colour;
        return n;
    };
    const struct {
        TViewStyle style;
        int side;
    } cases[] = {{TViewStyle::vsIcon, 32}, {TViewStyle::vsSmallIcon, 16}, {TViewStyle::vsList, 16}, {TViewStyle::vsReport, 16}};
    for (const auto& c : cases) {
        l.view.SetViewStyle(c.style);
        l.laidOut();
        QAbstractItemView& view = *l.view.CurrentView();
        l.view.Selection().clear();
        l.view.SelectRow(2);
        QCoreApplication::processEvents();
        for (int r = 0; r < 6; ++r) {
            if (r == 2) EXPECT_LT(picturePixels(view, r), c.side * c.side / 2) << nameOf(c.style) << " row " << r;
            else EXPECT_EQ(picturePixels(view, r), c.side * c.side) << nameOf(c.style) << " row " << r;
        }
    }
    // The pictures made are kept for a bounded number of entries only.
    EXPECT_LE(l.view.Pixmaps().Count(), 2 * TListPixmaps::kKept);
    EXPECT_FALSE(l.view.Pixmaps().Large(*l.defs[0]).isNull());
    l.view.Clear();
    EXPECT_EQ(l.view.Pixmaps().Count(), 0);
}

// A renamed entry in Large Icons sits where a fresh layout puts it, centred in its cell,
// whether its caption grew or shrank, and at once: not after the next layout.
TEST(ListStyles, ARenamedLargeIconStaysCentredInItsCell) {
    ShownList l(6);
    l.view.Model().OnEdited = [](TIconDef* def, QString& text) {
        def->Name = text.toStdString();
        return true;
    };
    l.view.SetViewStyle(TViewStyle::vsIcon);
    // Names that keep the entry in its place in the sorted list: only its caption changes.
    for (const char* name : {"icon4 and a long caption", "icon4", "icon4 wider"}) {
        l.laidOut();
        QAbstractItemModel& m = *l.icons().model();
        ASSERT_TRUE(m.setData(l.row(1), QString(name), Qt::EditRole));
        l.laidOut();
        int renamed = -1;
        for (int r = 0; r < m.rowCount(); ++r)
            if (m.data(l.row(r)).toString() == name) renamed = r;
        ASSERT_GE(renamed, 0) << name;
        const QRect shown = l.icons().visualRect(l.row(renamed));
        l.icons().doItemsLayout();
        l.laidOut();
        EXPECT_EQ(shown, l.icons().visualRect(l.row(renamed))) << name;
        const int grid = l.icons().gridSize().width();
        const int inCell = (shown.center().x() + l.icons().horizontalScrollBar()->value()) % grid;
        EXPECT_NEAR(inCell, grid / 2, 1) << name;
    }
}

TEST(ListStyles, ACursorKeySelectsTheEntryItLandsOnEvenWhenTheCursorStays) {
    // After a listing the first entry has the focus and no selection: Home and Up keep the
    // cursor there and must select it all the same, in every style.
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool selects;
        bool staysOnFirst;
    };
    const Case cases[] = {
        {Qt::Key_Home, Qt::NoModifier, true, true},
        {Qt::Key_Up, Qt::NoModifier, true, true},
        {Qt::Key_End, Qt::NoModifier, true, false},
        {Qt::Key_Home, Qt::ControlModifier, false, true},  // Ctrl moves the focus alone
    };
    for (TViewStyle style : kStyles)
        for (const Case& c : cases) {
            ShownList l;
            l.view.SetViewStyle(style);
            l.laidOut();
            QAbstractItemView& v = *l.view.CurrentView();
            v.setFocus();
            v.setCurrentIndex(v.model()->index(0, 0));
            l.view.Selection().clearSelection();  // the cursor stays
            ASSERT_EQ(l.view.SelectedCount(), 0);
            ASSERT_EQ(v.currentIndex().row(), 0);
            QTest::keyClick(&v, c.key, c.modifiers);
            const std::string what = std::string(nameOf(style)) + ", key " + std::to_string(c.key);
            EXPECT_EQ(v.currentIndex().row() == 0, c.staysOnFirst) << what;
            if (!c.selects) {
                EXPECT_EQ(l.view.SelectedCount(), 0) << what;
                continue;
            }
            ASSERT_EQ(l.view.SelectedCount(), 1) << what;
            EXPECT_EQ(l.view.FirstSelected(), l.view.DefAt(v.currentIndex().row())) << what;
        }
}
