#include "app/ui/ExceptionGuard.h"

#include "framework/core/Application.h"
#include "framework/core/Exceptions.h"
#include "framework/core/MessageBoxes.h"

namespace gs {

namespace {

constexpr auto kLastSeverity = TQBSeverity::Information;

}  // namespace

TAppExceptionHandler::TAppExceptionHandler(IMessageBoxes& boxes, Action bringToFront, Action terminate)
    : boxes_(boxes), bringToFront_(std::move(bringToFront)), terminate_(std::move(terminate)) {}

void TAppExceptionHandler::Handle(std::exception_ptr error) noexcept {
    bool fatal = true;
    try {
        if (bringToFront_) bringToFront_();
        const TQBApplication& app = application();
        auto show = [&](const std::string& msg, const std::string& details, TQBMessageType type) {
            boxes_.ShowQBMessageDetails(msg, details, app.Title, type, app.LanguageId, app.FontName, false);
        };
        try {
            std::rethrow_exception(error);
        } catch (const EQBException& e) {
            fatal = e.Severity() == TQBSeverity::Critical;
            if (e.Severity() <= kLastSeverity) show(e.MessageCopy(), e.Details(), BoxTypeOf(e.Severity()));
        } catch (const std::exception& e) {
            show(kMsgUnexpectedError, e.what(), TQBMessageType::mtError);
        } catch (...) {
            show(kMsgUnexpectedError, "", TQBMessageType::mtError);
        }
    } catch (...) {
        // The box itself failed: nothing more can be shown, and the error stays fatal.
        fatal = true;
    }
    if (fatal && terminate_) terminate_();
}

}  // namespace gs
