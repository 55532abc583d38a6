// Saving every icon of a generated folder of modules as icon files: from the main window
// (listed, all selected, Save Icons into the default folder) and by the silent batch export
// over the same folder, in process. Both read every module and write one file per icon, so
// the window should take about as long as the batch; the last line gives the ratio.
//
//   bench_mainwindow_save [modules [groups-per-module [rounds]]]   (default 12 x 200, 3)
//
// Each side's time is the best of its rounds, into an emptied folder each time; every round
// lists the folder afresh, so that the window's save reads the icons again (a listed icon
// keeps its full icon once read).
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>

#include "MainWindowBench.h"
#include "app/ExtractMaterial.h"
#include "app/core/AppIdentity.h"
#include "app/core/BatchExport.h"
#include "app/ui/IconListView.h"

using namespace gs;

namespace {

int filesIn(const std::filesystem::path& folder) {
    return int(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()));
}

// Bytes the process has read so far, all its threads together (rchar of /proc/self/io).
long long bytesRead() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "rchar:") return value;
    return 0;
}

void emptyFolder(const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

// Lets the window finish what the listing left to do (the views lay out their rows in
// slices after a listing), so that the save is timed alone.
void settle() {
    QEventLoop loop;
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
}

// Save Icons over the whole list, waited for; the milliseconds from the command to idle.
qint64 saveFromWindow(TKAVUMain& window) {
    QElapsedTimer clock;
    clock.start();
    window.Execute(TMainAction::actIconSaveIcons);
    // Waits for events without spinning: the job's end arrives as one.
    while (!window.Idle()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return clock.elapsed();
}

qint64 saveByBatch(const std::filesystem::path& sources, const std::filesystem::path& out) {
    TBatchJob job;
    job.FileSpec = (sources / "*.dll").string();
    job.TargetDir = out.string();
    job.Silent = true;
    TSilentBatchObserver observer;
    QElapsedTimer clock;
    clock.start();
    const TBatchResult result = TBatchExport(job, observer).ExtractFiles();
    const qint64 ms = clock.elapsed();
    if (result.End.Failed()) std::fprintf(stderr, "batch failed: %s\n", result.End.Reason.c_str());
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int modules = argc > 1 ? std::atoi(argv[1]) : 12;
    const int groups = argc > 2 ? std::atoi(argv[2]) : 200;
    const int rounds = std::max(1, argc > 3 ? std::atoi(argv[3]) : 3);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    installApplication(makeApplicationDescriptor("/opt/glyphscope/glyphscope"));

    gstest::Tree tree;
    const std::filesystem::path sources = tree.dir("modules");
    const std::filesystem::path windowOut = tree.dir("window"), batchOut = tree.dir("batch");
    for (int i = 0; i < modules; ++i)
        tree.put("modules/m" + std::to_string(10000 + i) + ".dll", gstest::peWithGroups(groups, unsigned(i * groups)));

    gsbench::ShownWindow shown;
    TKAVUMain& window = shown.window;
    shown.context.Options.DefaultFolder = windowOut.string();
    shown.context.Options.PromptForFileName = false;
    shown.context.Options.SaveAllSizes = true;  // the whole icon, as the batch writes it
    qint64 windowMs = std::numeric_limits<qint64>::max(), batchMs = windowMs;
    int icons = 0, windowFiles = 0, batchFiles = 0;
    long long windowRead = 0, batchRead = 0;
    for (int r = 0; r < rounds; ++r) {
        gsbench::listFolder(window, sources.string());
        window.ListView().Model().Flush();
        window.ListView().SelectAll();
        settle();
        icons = window.IconCount();
        emptyFolder(windowOut);
        const long long beforeWindow = bytesRead();
        windowMs = std::min(windowMs, saveFromWindow(window));
        windowRead = bytesRead() - beforeWindow;
        windowFiles = filesIn(windowOut);
        emptyFolder(batchOut);
        const long long beforeBatch = bytesRead();
        batchMs = std::min(batchMs, saveByBatch(sources, batchOut));
        batchRead = bytesRead() - beforeBatch;
        batchFiles = filesIn(batchOut);
        std::printf("round %d: window %d files, batch %d files\n", r + 1, windowFiles, batchFiles);
    }
    long long sourceBytes = 0;
    for (const auto& entry : std::filesystem::directory_iterator(sources)) sourceBytes += (long long)entry.file_size();
    std::printf("read in the last round: window %.1f MB, batch %.1f MB, of %.1f MB of modules\n", windowRead / 1e6,
                batchRead / 1e6, sourceBytes / 1e6);
    const double ratio = double(windowMs) / double(std::max<qint64>(batchMs, 1));
    std::printf("save: %d icons, window %lld ms, batch %lld ms, ratio %.2f\n", icons, (long long)windowMs,
                (long long)batchMs, ratio);
    return windowFiles == icons && batchFiles == icons ? 0 : 1;
}
