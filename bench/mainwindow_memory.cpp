// The main window's resident memory over listings, offscreen: before any listing, after a
// generated folder of 40,000 icons, after an empty folder (the window emptied), and after
// each of five listings of the large folder in a row. It passes (exit 0) when the empty
// folder brings the memory back within 60 MB of its first level and the five listings
// grow it by no more than 10 %.
//
//   bench_mainwindow_memory [modules [groups-per-module]]   (default 400 x 100)
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "MainWindowBench.h"
#include "app/ExtractMaterial.h"
#include "app/core/AllocatorTrim.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"

using namespace gs;

namespace {

double residentMB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program starts.
    LimitAllocatorArenas();
    const int modules = argc > 1 ? std::atoi(argv[1]) : 400;
    const int groups = argc > 2 ? std::atoi(argv[2]) : 100;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));

    gstest::Tree full, empty;
    {
        const gstest::TBytes module = gstest::peWithGroups(groups);
        for (int i = 0; i < modules; ++i) full.put("m" + std::to_string(10000 + i) + ".dll", module);
    }
    gsbench::ShownWindow shown;
    TKAVUMain& window = shown.window;
    // The empty folder once, so what a first listing sets up for good (the list's views,
    // the reader pool's stacks) is in the level before.
    gsbench::listFolder(window, empty.path.string());
    GiveBackFreedMemory();
    const double before = residentMB();

    gsbench::listFolder(window, full.path.string());
    const int listed = window.IconCount();
    const double afterFull = residentMB();
    gsbench::listFolder(window, empty.path.string());
    const double afterEmpty = residentMB();

    std::vector<double> repeated;
    for (int i = 0; i < 5; ++i) {
        gsbench::listFolder(window, full.path.string());
        repeated.push_back(residentMB());
    }
    gsbench::listFolder(window, empty.path.string());
    const double finalEmpty = residentMB();

    std::printf("icons listed: %d from %d modules\n", listed, modules);
    std::printf("resident before the first listing: %.1f MB\n", before);
    std::printf("after the listing: %.1f MB; after an empty folder: %.1f MB (%+.1f MB from before)\n", afterFull,
                afterEmpty, afterEmpty - before);
    std::printf("five listings in a row:");
    for (double mb : repeated) std::printf(" %.1f", mb);
    const double growth = (repeated.back() - repeated.front()) / repeated.front() * 100.0;
    std::printf(" MB (%+.1f %% from the first)\n", growth);
    std::printf("after an empty folder again: %.1f MB (%+.1f MB from before)\n", finalEmpty, finalEmpty - before);
    const bool givenBack = afterEmpty - before <= 60.0 && finalEmpty - before <= 60.0;
    const bool steady = growth <= 10.0;
    std::printf("given back within 60 MB: %s; five listings within 10 %%: %s\n", givenBack ? "yes" : "NO",
                steady ? "yes" : "NO");
    return listed == modules * groups && givenBack && steady ? 0 : 1;
}
