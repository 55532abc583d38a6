#include "app/ui/FormDesktopServices.h"

#include "app/ui/ExceptionGuard.h"
#include "app/ui/MainServices.h"
#include "framework/core/Exceptions.h"
#include "framework/core/RegUtils.h"

#include <stdexcept>
#include <vector>

namespace gs {

namespace {

// Raises the reason when no program starts.
void startSystemInformation(IMainServices& services, TRegistryStore& store) {
    // A path stored in the settings is the user's own choice and comes first.
    const std::string stored = RegReadString(store, HKEY_LOCAL_MACHINE, kSysInfoKey, "Path", "");
    std::vector<std::string> candidates;
    if (!stored.empty()) candidates.push_back(stored);
    std::string lookedFor;
    for (const char* program : kSystemInfoPrograms) {
        lookedFor += (lookedFor.empty() ? "" : ", ") + std::string(program);
        if (services.ProgramAvailable(program)) candidates.emplace_back(program);
    }
    if (candidates.empty()) throw std::runtime_error(kMsgSysInfoNone + lookedFor + ".");
    // One that is installed but does not start (a broken installation) gives way to the next.
    for (const std::string& program : candidates)
        if (services.Start({program})) return;
    throw std::runtime_error(kMsgSysInfoFailed);
}

}  // namespace

void RunSystemInformation(IMainServices& services, TRegistryStore& store) {
    try {
        startSystemInformation(services, store);
    } catch (const std::exception& e) {
        throw EQBException(kMsgSysInfoUnable, e.what(), TQBSeverity::Warning);
    }
}

void TFormDesktopServices::ShowHelp() {
    handler_.Guard([&] { gs::ShowHelp(services_, app_, helpContext_); });
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
