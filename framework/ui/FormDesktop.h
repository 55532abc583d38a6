#pragma once
// What the framework's small windows reach of the desktop: the help, the browser, the mail
// composer and the system information tool. The program hands in its own services; tests
// record the calls. None of these throws: failures go to the program's error handler.
#include <string>

class QWidget;

namespace gs {

class IFormDesktop {
public:
    virtual ~IFormDesktop() = default;
    virtual void ShowHelp() = 0;
    virtual void OpenURL(const std::string& url) = 0;
    virtual void SendMail(const std::string& address) = 0;
    virtual void RunSystemInformation() = 0;
};

}  // namespace gs
