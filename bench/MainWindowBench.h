#pragma once
// What the main window's benchmarks share: services that answer no dialog and print every
// box, and a listing run to its end.
#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/core/AppContext.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "framework/core/MessageBoxes.h"
#include "platform/RegistryStore.h"

namespace gsbench {

struct QuietServices : gs::IMainServices, gs::IMessageBoxes {
    gs::TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t, std::uint8_t,
                                       std::uint16_t, std::uint8_t, const std::string&) override {
        std::fprintf(stderr, "box: %s\n", msg.c_str());
        return gs::TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string&, std::uint8_t,
                              std::uint8_t, const std::string&, bool) override {
        std::fprintf(stderr, "box: %s %s\n", msg.c_str(), details.c_str());
    }
    gs::IMessageBoxes& Boxes() override { return *this; }
    std::optional<std::string> BrowseForFolder(QWidget*, const std::string&, const std::string&, int) override { return {}; }
    std::optional<std::string> OpenFileName(QWidget*, const gs::TOpenDialogSpec&) override { return {}; }
    bool Start(const std::vector<std::string>&) override { return false; }
    bool ProgramAvailable(const std::string&) override { return false; }
    int MemoryLoad() override { return 0; }
    void Terminate() override { std::exit(1); }
};

// The main window shown offscreen over an in-memory store, as a user first sees it.
struct ShownWindow {
    gs::TRegistryStore store{":memory:"};
    gs::TAppContext context{store};
    QuietServices services;
    gs::TKAVUMain window{context, services};
    ShownWindow() {
        window.resize(1024, 768);
        window.show();
        QCoreApplication::processEvents();
    }
};

// Lists the folder and returns once the listing has ended.
inline void listFolder(gs::TKAVUMain& window, const std::string& folder) {
    QEventLoop loop;
    QObject::connect(&window, &gs::TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    window.Guard([&] { window.SelectFolder(folder); });
    if (window.ExtractionRunning()) loop.exec();
}

}  // namespace gsbench
