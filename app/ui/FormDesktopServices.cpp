#include "app/ui/FormDesktopServices.h"

#include "app/ui/ExceptionGuard.h"
#include "app/ui/MainServices.h"
#include "framework/core/Exceptions.h"
#include "framework/core/RegUtils.h"

namespace gs {

void RunSystemInformation(IMainServices& services, RegistryStore& store) {
    try {
        const std::string path = RegReadString(store, HKEY_LOCAL_MACHINE, kSysInfoKey, "Path", "");
        if (path.empty()) throw EQBException(kMsgSysInfoEmpty, "", TQBSeverity::Warning);
        if (!services.Start({path})) throw EQBException(kMsgSysInfoFailed, "", TQBSeverity::Warning);
    } catch (const std::exception& e) {
        throw EQBException(kMsgSysInfoUnable, e.what(), TQBSeverity::Warning);
    }
}

void TFormDesktopServices::ShowHelp() {
    handler_.Guard([&] { gs::ShowHelp(services_, app_); });
}

void TFormDesktopServices::OpenURL(const std::string& url) {
    handler_.Guard([&] { gs::OpenURL(services_, url); });
}

void TFormDesktopServices::SendMail(const std::string& address) {
    handler_.Guard([&] { SendMailTo(services_, app_, address); });
}

void TFormDesktopServices::RunSystemInformation() {
    handler_.Guard([&] { gs::RunSystemInformation(services_, store_); });
}

}  // namespace gs
