#pragma once
// The framework's small windows reach the desktop through the main window's services; their
// failures go to the program's error handler, so nothing crosses a Qt frame.
#include "framework/ui/FormDesktop.h"

namespace gs {

class IMainServices;
class RegistryStore;
class TAppExceptionHandler;
class TQBApplication;

inline constexpr const char* kSysInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char* kMsgSysInfoEmpty =
    "The Operating System registry contains an empty path definition for System Info.";
inline constexpr const char* kMsgSysInfoFailed = "An error was raised by the Operating System while running System Info.";
inline constexpr const char* kMsgSysInfoUnable = "Unable to run System Info at this time.";

// Starts the system information tool the settings name; EQBException ("Unable to run System
// Info at this time.", the cause as details) when there is none or it cannot start.
void RunSystemInformation(IMainServices& services, RegistryStore& store);

class TFormDesktopServices : public IFormDesktop {
public:
    TFormDesktopServices(IMainServices& services, RegistryStore& store, const TQBApplication& app,
                         TAppExceptionHandler& handler)
        : services_(services), store_(store), app_(app), handler_(handler) {}

    void ShowHelp() override;
    void OpenURL(const std::string& url) override;
    void SendMail(const std::string& address) override;
    void RunSystemInformation() override;

private:
    IMainServices& services_;
    RegistryStore& store_;
    const TQBApplication& app_;
    TAppExceptionHandler& handler_;
};

}  // namespace gs
