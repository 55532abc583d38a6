#pragma once
// The framework's small windows reach the desktop through the main window's services; their
// failures go to the program's error handler, so nothing crosses a Qt frame.
#include "framework/ui/FormDesktop.h"

namespace gs {

class IMainServices;
class TRegistryStore;
class TAppExceptionHandler;
class TQBApplication;

inline constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kMsgSysInfoFailed = "An error was raised by the Operating System while running System Info.";
inline constexpr const char* kMsgSysInfoUnable = "Unable to run System Info at this time.";
inline constexpr const char* kMsgSysInfoNone = "No system information program is installed. Looked for: ";

// The desktops' system information programs, in the order they are tried: the hardware
// and system profiler first, then the system monitors of GNOME, KDE Plasma (new and old),
// MATE, Xfce and LXDE.
inline constexpr const char* kSystemInfoPrograms[] = {"hardinfo",          "gnome-system-monitor",
                                                      "plasma-systemmonitor", "ksysguard",
                                                      "mate-system-monitor",  "xfce4-taskmanager",
                                                      "lxtask"};

// Starts a system information program: the one the settings name, when they name one, else
// the first of kSystemInfoPrograms installed that starts. EQBException ("Unable to run
// System Info at this time.", the cause as details) when none is installed or none starts.
void RunSystemInformation(IMainServices& services, TRegistryStore& store);

class TFormDesktopServices : public IFormDesktop {
public:
    // F1 in the window opens the help at `helpContext` (0: the manual's start).
    TFormDesktopServices(IMainServices& services, TRegistryStore& store, const TQBApplication& app,
                         TAppExceptionHandler& handler, int helpContext = 0)
        : services_(services), store_(store), app_(app), handler_(handler), helpContext_(helpContext) {}

    void ShowHelp() override;
    void OpenURL(const std::string& url) override;
    void SendMail(const std::string& address) override;
    void RunSystemInformation() override;

private:
    IMainServices& services_;
    TRegistryStore& store_;
    const TQBApplication& app_;
    TAppExceptionHandler& handler_;
    int helpContext_;
};

}  // namespace gs
