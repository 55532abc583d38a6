// Dragging dockable windows offscreen: the press starts the modal loop, the moves and the
// drop are sent from a timer inside it, as a mouse would send them.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>
#include <memory>

#include "DockForm.h"
#include "toolbar/ui/QtFloatingWindow.h"

using namespace tb;
using namespace tbtest;

namespace {

enum class Finish { Drop, Escape };

// Presses the left button on `widget` at `local`, then, inside the loop that starts, moves
// to each screen point and drops (or presses Esc); `during` runs before the finish. True
// when a drag loop held the mouse: a check that nothing moved means something only then.
bool drag(QWidget* widget, QPoint local, std::vector<QPoint> moves, Finish finish = Finish::Drop,
          Qt::KeyboardModifiers modifiers = {}, std::function<void()> during = {}) {
    auto looped = std::make_shared<bool>(false);
    QTimer::singleShot(0, [=] {
        *looped = QWidget::mouseGrabber() != nullptr;
        QWidget* to = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : widget;
        for (QPoint at : moves) {
            QMouseEvent move(QEvent::MouseMove, to->mapFromGlobal(at), at, Qt::NoButton, Qt::LeftButton, modifiers);
            QCoreApplication::sendEvent(QWidget::mouseGrabber() ? QWidget::mouseGrabber() : to, &move);
        }
        if (during) during();
        QWidget* end = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : to;
        if (finish == Finish::Escape) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QCoreApplication::sendEvent(end, &esc);
        } else {
            const QPoint at = moves.empty() ? widget->mapToGlobal(local) : moves.back();
            QMouseEvent up(QEvent::MouseButtonRelease, end->mapFromGlobal(at), at, Qt::LeftButton, Qt::NoButton, modifiers);
            QCoreApplication::sendEvent(end, &up);
        }
    });
    QTest::mousePress(widget, Qt::LeftButton, modifiers, local);
    return *looped;
}

struct DragForm : Form {
    Bar main{nullptr, 100, 22, "tbMain"};
    DragForm() {
        main.SmoothDrag = false;
        main.SetHideWhenInactive(false);
        main.setWindowTitle("Standard Toolbar");
        main.SetCurrentDock(top);
        settle();
    }
    QPoint handle() const { return {4, 10}; }
};

}  // namespace

TEST(DockDragLoop, BetweenDocksFloatingAndBack) {
    DragForm f;
    drag(&f.main, f.handle(), {f.left->mapToGlobal(QPoint(2, 60))});
    f.settle();
    EXPECT_EQ(f.main.CurrentDock(), f.left);
    EXPECT_EQ(f.top->height(), 0);
    EXPECT_EQ(f.left->width(), 100 + 4);

    const QPoint middle = f.form.mapToGlobal(QPoint(300, 200));
    drag(&f.main, QPoint(10, 4), {middle});
    ASSERT_TRUE(f.main.Floating());
    TTBFloatingWindowParent* floating = f.main.FloatingParent();
    EXPECT_TRUE(floating->geometry().contains(middle));
    EXPECT_TRUE(floating->isVisible());
    EXPECT_EQ(f.left->width(), 0);

    // By its caption, with Ctrl held over a dock: it stays floating.
    const QPoint caption = floating->CaptionRect().center();
    EXPECT_TRUE(drag(floating, caption, {f.top->mapToGlobal(QPoint(100, 2))}, Finish::Drop, Qt::ControlModifier));
    EXPECT_TRUE(f.main.Floating());
    // Esc in an outline drag: nothing moves.
    const QRect before = f.main.FloatingParent()->geometry();
    EXPECT_TRUE(drag(f.main.FloatingParent(), caption, {f.form.mapToGlobal(QPoint(100, 300))}, Finish::Escape));
    EXPECT_EQ(f.main.FloatingParent()->geometry(), before);
    // Onto the top dock: docked, the floating window gone.
    drag(f.main.FloatingParent(), caption, {f.top->mapToGlobal(QPoint(150, 2))});
    f.settle();
    EXPECT_EQ(f.main.CurrentDock(), f.top);
    EXPECT_EQ(f.main.FloatingParent(), nullptr);
    EXPECT_EQ(f.form.findChildren<TTBFloatingWindowParent*>().size(), 0);
    EXPECT_EQ(f.top->height(), 26);
}

TEST(DockDragLoop, RefusedDockAndLostActivation) {
    DragForm f;
    std::vector<TTBCustomDockableWindow*> asked;
    f.left->OnRequestDock = [&](TTBDock*, TTBCustomDockableWindow* bar, bool& accept) {
        asked.push_back(bar);
        accept = false;
    };
    drag(&f.main, f.handle(), {f.left->mapToGlobal(QPoint(2, 60))});
    EXPECT_EQ(asked, std::vector<TTBCustomDockableWindow*>{&f.main});
    EXPECT_TRUE(f.main.Floating());  // refused, the next candidate is floating
    f.main.setWindowTitle("Renamed");
    EXPECT_EQ(f.main.FloatingParent()->windowTitle(), "Renamed");

    // The application losing the activation ends a drag as Esc would.
    const QRect before = f.main.FloatingParent()->geometry();
    EXPECT_TRUE(drag(f.main.FloatingParent(), f.main.FloatingParent()->CaptionRect().center(),
                     {f.form.mapToGlobal(QPoint(100, 300))}, Finish::Drop, {}, [] {
                         QEvent away(QEvent::ApplicationDeactivate);
                         QCoreApplication::sendEvent(qApp, &away);
                     }));
    EXPECT_EQ(f.main.FloatingParent()->geometry(), before);
}

TEST(DockDragLoop, QuarterOpensARowMiddleJoinsIt) {
    DragForm f;
    Bar other(nullptr, 100, 22, "other");
    other.SetDockRow(1);
    other.SmoothDrag = false;
    other.SetCurrentDock(f.top);
    f.settle();
    ASSERT_EQ(other.EffectiveRow(), 1);
    // The window's centre comes 3 pixels below the cursor (grabbed 10 down a 26-pixel bar):
    // a cursor at 1 puts it in row 0's upper quarter.
    drag(&other, f.handle(), {f.top->mapToGlobal(QPoint(300, 1))});
    f.settle();
    EXPECT_EQ(other.DockRow(), 0);
    EXPECT_EQ(f.main.DockRow(), 1);
    EXPECT_EQ(other.EffectiveRow(), 0);
    // Into the middle of row 1: joins tbMain there.
    drag(&other, f.handle(), {f.top->mapToGlobal(QPoint(300, 26 + 10))});
    f.settle();
    EXPECT_EQ(other.EffectiveRow(), 0);  // the empty row 0 closed up
    EXPECT_EQ(f.main.EffectiveRow(), 0);
    EXPECT_EQ(other.EffectivePos(), 300 - 4);
    EXPECT_EQ(f.top->height(), 26);
}

TEST(DockDragLoop, CrowdedRowSplitsAndCannotFloatStays) {
    DragForm f;
    f.top->SetLimitToOneRow(true);
    Bar wide(nullptr, 540, 22, "wide");  // with tbMain, longer than the dock
    wide.SetDockPos(200);
    wide.SetCurrentDock(f.top);  // dragged smoothly: each move applies at once
    f.settle();
    ASSERT_EQ(wide.EffectiveRow(), 0);
    bool splitting = false;
    const QPoint start = wide.mapToGlobal(f.handle());
    drag(&wide, f.handle(), {start + QPoint(5, 0), start + QPoint(20, 0)}, Finish::Drop, {},
         [&] { splitting = f.top->Splitting; });
    EXPECT_TRUE(splitting);
    EXPECT_FALSE(f.top->Splitting);
    EXPECT_EQ(wide.EffectiveRow(), 0);
    EXPECT_EQ(f.main.EffectiveRow(), 0);

    f.main.DockMode = TTBDockMode::dmCannotFloat;
    Qt::CursorShape shape = Qt::ArrowCursor;
    const QRect place = f.main.geometry();
    drag(&f.main, f.handle(), {f.form.mapToGlobal(QPoint(300, 200))}, Finish::Drop, {},
         [&] { shape = QGuiApplication::overrideCursor()->shape(); });
    EXPECT_EQ(shape, Qt::ForbiddenCursor);
    EXPECT_EQ(f.main.CurrentDock(), f.top);
    EXPECT_EQ(f.main.geometry(), place);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(DockDragLoop, FloatingResizeByAnEdge) {
    DragForm f;
    SetFloating(f.main, true);
    TTBFloatingWindowParent* floating = f.main.FloatingParent();
    const QRect before = floating->geometry();
    const QPoint edge(floating->width() - 1, floating->height() / 2);
    ASSERT_EQ(floating->HitTest(edge), TTBFloatingWindowParent::htRight);
    drag(floating, edge, {floating->mapToGlobal(edge) + QPoint(30, 7)});
    EXPECT_EQ(floating->geometry(), before.adjusted(0, 0, 30, 0));
    EXPECT_EQ(f.main.size(), QSize(130, 22));
    drag(floating, edge + QPoint(30, 0), {floating->mapToGlobal(edge) + QPoint(-500, 0)});
    EXPECT_EQ(floating->width(), FloatingNonClient(f.main).left() * 2);  // nothing smaller than its frame
}

// Another form's dock takes the window only once that form is in its dock-forms list
// (listed once); a form that goes leaves the list.
TEST(DockDragLoop, FurtherFormsDocks) {
    DragForm f;
    auto other = std::make_unique<Form>();
    other->form.move(700, 0);
    for (bool listed : {false, true}) {
        for (int twice = 0; listed && twice < 2; ++twice) f.main.AddDockForm(&other->form);
        EXPECT_EQ(f.main.DockForms().size(), listed ? 1u : 0u);
        f.main.SetCurrentDock(f.top);
        f.settle();
        drag(&f.main, f.handle(), {other->top->mapToGlobal(QPoint(100, 2))});
        EXPECT_EQ(f.main.CurrentDock(), listed ? other->top : nullptr);
        EXPECT_EQ(f.main.Floating(), !listed);
    }
    f.main.SetCurrentDock(f.top);
    other.reset();
    EXPECT_TRUE(f.main.DockForms().empty());
}
