#include "framework/core/Application.h"

#include <atomic>
#include <filesystem>
#include <stdexcept>

namespace gs {

namespace {
std::atomic<TQBApplication*> installed{nullptr};
}

void TQBApplication::SetExeName(const std::string& exeName) {
    ExeName = exeName;
    if (!exeName.empty() && Logger.FileName.empty())
        Logger.FileName = std::filesystem::path(exeName).replace_extension(".log").string();
}

void installApplication(std::unique_ptr<TQBApplication> app) {
    if (!app) throw std::logic_error("installApplication: no descriptor");
    TQBApplication* expected = nullptr;
    if (!installed.compare_exchange_strong(expected, app.get()))
        throw std::logic_error("installApplication: the descriptor is already installed");
    app.release();
}

const TQBApplication& application() {
    TQBApplication* app = installed.load();
    if (!app) throw std::logic_error("application(): start-up has not installed the descriptor");
    return *app;
}

bool hasApplication() { return installed.load() != nullptr; }

std::unique_ptr<TQBApplication> uninstallApplication() {
    return std::unique_ptr<TQBApplication>(installed.exchange(nullptr));
}

}  // namespace gs
