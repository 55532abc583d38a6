// The main window listing a generated folder of 10,000 icons offscreen: time from the start
// of the listing to "done" with every row painted once, peak memory, how many batches the
// rows came in, and the longest time the event loop was kept from running meanwhile.
//
//   bench_mainwindow_listing [modules [groups-per-module]]   (default 100 x 100)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QListView>
#include <QPainter>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "MainWindowBench.h"
#include "app/ExtractMaterial.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/IconListView.h"

using namespace gs;

namespace {

long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int modules = argc > 1 ? std::atoi(argv[1]) : 100;
    const int groups = argc > 2 ? std::atoi(argv[2]) : 100;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));

    gstest::Tree folder;
    const gstest::TBytes module = gstest::peWithGroups(groups);
    for (int i = 0; i < modules; ++i) folder.put("m" + std::to_string(10000 + i) + ".dll", module);
    const long beforeKiB = peakKiB();

    gsbench::ShownWindow shown;
    TKAVUMain& window = shown.window;

    int batches = 0;
    QObject::connect(&window.ListView().Model(), &TIconListModel::Flushed, [&] { ++batches; });
    // The event loop's pulse: the longest gap between two ticks of a 5 ms timer.
    QElapsedTimer pulse;
    qint64 longestGap = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, pulse.restart());
    });

    QElapsedTimer clock;
    clock.start();
    pulse.start();
    ticker.start(5);
    gsbench::listFolder(window, folder.path.string());
    ticker.stop();
    const qint64 listedMs = clock.elapsed();

    // Every row painted once, as the views would paint them.
    QListView* view = window.ListView().IconView();
    QImage canvas(view->gridSize().expandedTo(QSize(96, 68)), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.state &= ~QStyle::State_HasFocus;  // the view gives it to its current row alone
    option.rect = canvas.rect();
    option.decorationSize = view->iconSize();
    option.decorationPosition = QStyleOptionViewItem::Top;
    option.displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
    option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    QAbstractItemModel* model = view->model();
    const int rows = model->rowCount();
    for (int r = 0; r < rows; ++r) view->itemDelegate()->paint(&painter, option, model->index(r, 0));
    painter.end();
    const qint64 doneMs = clock.elapsed();

    std::printf("icons listed: %d (rows %d) from %d modules\n", window.IconCount(), rows, modules);
    std::printf("listing to done: %lld ms; with every row painted once: %lld ms\n", (long long)listedMs,
                (long long)doneMs);
    std::printf("rows came in %d batches; longest event-loop gap %lld ms\n", batches, (long long)longestGap);
    std::printf("peak memory: %.1f MB (%.1f MB before the window)\n", peakKiB() / 1024.0, beforeKiB / 1024.0);
    return rows == window.IconCount() ? 0 : 1;
}
