#pragma once
// Scripted desktop services and list dialogs for the main window's list tests, and a
// window over an in-memory store that lists a folder through the worker.
#include <QEventLoop>
#include <QTimer>

#include "app/MainWindowProbe.h"
#include "app/ExtractMaterial.h"
#include "support/QtTestApp.h"
#include "app/core/AppContext.h"
#include "app/core/AppIdentity.h"
#include "app/ui/IconListView.h"
#include "app/ui/ListDialogs.h"
#include "app/ui/MainServices.h"
#include "app/ui/MainWindow.h"
#include "framework/core/MessageBoxes.h"

namespace gstest {

struct ShownBox {
    std::string msg;
    int type;
};

struct ScriptedServices : gs::IMainServices, gs::IMessageBoxes {
    std::vector<ShownBox> boxes;
    int terminations = 0;

    gs::TQBMessageResult ShowQBMessage(const std::string& msg, const std::string&, std::uint8_t type, std::uint8_t,
                                       std::uint16_t, std::uint8_t, const std::string&) override {
        boxes.push_back({msg, type});
        return gs::TQBMessageResult::mrOK;
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string&, const std::string&, std::uint8_t type,
                              std::uint8_t, const std::string&, bool) override {
        boxes.push_back({msg, type});
    }
    gs::IMessageBoxes& Boxes() override { return *this; }
    std::optional<std::string> BrowseForFolder(QWidget*, const std::string&, const std::string&, int) override { return {}; }
    std::optional<std::string> OpenFileName(QWidget*, const gs::TOpenDialogSpec&) override { return {}; }
    bool Start(const std::vector<std::string>&) override { return true; }
    bool ProgramAvailable(const std::string&) override { return true; }
    int MemoryLoad() override { return 0; }
    void Terminate() override { ++terminations; }
};

// The dialogs answer with what the test put here.
struct ScriptedDialogs : gs::IListDialogs {
    std::function<bool(std::unique_ptr<gs::TFilters>&)> filter;
    std::optional<gs::TFindInfo> find;

    bool ShowFilterDlg(QWidget*, std::unique_ptr<gs::TFilters>& filters) override { return filter && filter(filters); }
    bool ShowFindDlg(QWidget*, gs::TAppContext& context) override {
        if (!find) return false;
        context.FindInfo = *find;
        return true;
    }
};

struct ListWindow {
    gs::TRegistryStore& store;
    gs::TAppContext context{store};
    ScriptedServices services;
    ScriptedDialogs dialogs;
    std::unique_ptr<gs::TKAVUMain> w;

    explicit ListWindow(gs::TRegistryStore& s, bool saveWindow = true) : store(s) {
        qtTestApp();
        if (!gs::hasApplication()) gs::installApplication(gs::makeApplicationDescriptor("/opt/glyphscope/glyphscope"));
        context.Options.SaveWindow = saveWindow;
        w = std::make_unique<gs::TKAVUMain>(context, services);
        gs::TMainWindowProbe(*w).SetListDialogs(dialogs);
    }
    void list(const std::string& folder) {
        QEventLoop loop;
        QObject::connect(w.get(), &gs::TKAVUMain::ExtractionEnded, &loop, &QEventLoop::quit, Qt::QueuedConnection);
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);  // a bound for "it ends", not a measure
        w->Guard([&] { w->SelectFolder(folder); });
        if (w->ExtractionRunning()) loop.exec();
        QCoreApplication::processEvents();
    }
    // The captions in view order.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (int i = 0; i < w->ListView().RowCount(); ++i) out.push_back(w->ListView().DefAt(i)->Name);
        return out;
    }
    void select(std::initializer_list<int> rows) {
        w->ListView().Selection().clearSelection();
        for (int row : rows) w->ListView().SelectRow(row);
        w->Guard([&] { w->alMainUpdate(); });
    }
    // A command as the menu runs it: errors reach the window's handler.
    void run(gs::TMainAction id) {
        w->Guard([&] { w->Execute(id); });
    }
};

}  // namespace gstest
