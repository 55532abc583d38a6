#pragma once
// One e-mail message handed to the desktop's mail composer. The system's own mail interface
// is `xdg-email`: it is given the subject, body, recipients and attachments as an argument
// vector (never through a shell) and shows its compose window; its answer becomes the
// outcome events. What xdg-email cannot carry: the originator (the composer uses its own
// account) and sending without the compose window.
#include <chrono>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/ChildProcess.h"

namespace gs {

// Outcome codes, as the mail interface numbers them.
inline constexpr int kMapiSuccess = 0;
inline constexpr int kMapiUserAbort = 1;
inline constexpr int kMapiFailure = 2;
inline constexpr int kMapiAttachmentNotFound = 11;

// The composer usually returns at once; one that keeps running (it is the mail program
// itself) has the message by then.
inline constexpr std::chrono::milliseconds kMailWaitLimit{5000};

class TQBMapi {
public:
    using TNotifyEvent = std::function<void(TQBMapi& sender)>;
    using TMapiErrEvent = std::function<void(TQBMapi& sender, int errCode)>;
    using TRunner = std::function<TChildResult(const std::vector<std::string>& argv)>;

    std::string Subject;
    std::string Body;
    std::string FromName;    // kept for the interface: the composer uses its own account
    std::string FromAdress;  // likewise
    std::vector<std::string> Recipients;
    std::vector<std::string> CopyTo;
    std::vector<std::string> BlindCopyTo;
    std::vector<std::string> AttachedFiles;
    std::vector<std::string> DisplayFileName;  // rewritten by Send
    bool ShowDialog = false;                   // the composer always shows its window here
    bool UseAppHandle = false;
    TNotifyEvent OnUserAbort;
    TMapiErrEvent OnMapiError;
    TNotifyEvent OnSuccess;

    void SetRecipients(const std::vector<std::string>& list) { Recipients = list; }
    void SetCopyTo(const std::vector<std::string>& list) { CopyTo = list; }
    void SetBlindCopyTo(const std::vector<std::string>& list) { BlindCopyTo = list; }
    void SetAttachedFiles(const std::vector<std::string>& list) { AttachedFiles = list; }

    // Hands the message over; the outcome goes to the events (an unassigned one is
    // skipped). Only attachments that exist as files at this moment go with it.
    void Send();

    // The composer's argument vector for the message as it stands.
    std::vector<std::string> MailArguments() const;
    // The composer's answer as an outcome code.
    static int ResultCode(const TChildResult& run);

    // Tests replace the composer; by default it is started and waited for a bounded time.
    TRunner Runner;
    // Ends the wait for the composer early (the composer is left to run): a send on a
    // worker gives it the worker's stop token.
    std::stop_token Stop;
};

}  // namespace gs
