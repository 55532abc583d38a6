#include "framework/core/QBMapi.h"

#include "framework/core/FileUtils.h"
#include "framework/core/SysUtils.h"

namespace gs {

namespace {

// xdg-email's exit codes.
constexpr int kXdgFileNotFound = 2;
constexpr int kXdgToolNotFound = 3;

std::string fileNamePart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<std::string> TQBMapi::MailArguments() const {
    std::vector<std::string> argv{kMailProgram, "--utf8"};
    for (const std::string& cc : CopyTo) argv.insert(argv.end(), {"--cc", cc});
    for (const std::string& bcc : BlindCopyTo) argv.insert(argv.end(), {"--bcc", bcc});
    if (!Subject.empty()) argv.insert(argv.end(), {"--subject", Subject});
    if (!Body.empty()) argv.insert(argv.end(), {"--body", Body});
    for (const std::string& file : AttachedFiles)
        if (SafeFileExists(file)) argv.insert(argv.end(), {"--attach", file});
    argv.insert(argv.end(), Recipients.begin(), Recipients.end());
    return argv;
}

int TQBMapi::ResultCode(const TChildResult& run) {
    switch (run.End) {
    case TChildEnd::NotStarted: return kMapiUserAbort;  // no mail system: as the user's cancel
    case TChildEnd::StillRunning: return kMapiSuccess;  // the composer has the message
    case TChildEnd::Exited: break;
    }
    if (run.ExitCode == 0) return kMapiSuccess;
    if (run.ExitCode == kXdgToolNotFound) return kMapiUserAbort;
    if (run.ExitCode == kXdgFileNotFound) return kMapiAttachmentNotFound;
    return kMapiFailure;
}

void TQBMapi::Send() {
    DisplayFileName.clear();
    for (const std::string& file : AttachedFiles) DisplayFileName.push_back(fileNamePart(file));
    const std::vector<std::string> argv = MailArguments();
    const int result = ResultCode(Runner ? Runner(argv) : RunBounded(argv, kMailWaitLimit, Stop));
    if (result == kMapiSuccess) {
        if (OnSuccess) OnSuccess(*this);
    } else if (result == kMapiUserAbort) {
        if (OnUserAbort) OnUserAbort(*this);
    } else if (OnMapiError) {
        OnMapiError(*this, result);
    }
}

}  // namespace gs
