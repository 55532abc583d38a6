#include "app/StopSignalBoxes.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <memory>
#include <unistd.h>

#include "platform/StopSignals.h"

namespace gs {

namespace {

// Watches the stop signals' wake-up descriptor while a box waits; a signal closes the box
// that waits (the modal window on top), which then answers as closed without a button.
class TBoxCloser {
public:
    TBoxCloser() {
        const int fd = StopSignalWakeFd();
        // No handlers: a signal ends the program by itself. No application: no box waits.
        if (fd < 0 || !QCoreApplication::instance()) return;
        notifier_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [fd] {
            char drained[16];
            while (::read(fd, drained, sizeof drained) > 0) {
            }
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) box->reject();
        });
    }

private:
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace

TQBMessageResult TStopSignalBoxes::ShowQBMessage(const std::string& msg, const std::string& caption,
                                                 std::uint8_t messageType, std::uint8_t buttonSet,
                                                 std::uint16_t defaultButton, std::uint8_t languageId,
                                                 const std::string& fontName) {
    if (StopSignalReceived())
        return printed_.ShowQBMessage(msg, caption, messageType, buttonSet, defaultButton, languageId, fontName);
    TBoxCloser closer;  // only a box that waits is closed by a signal
    return windows_.ShowQBMessage(msg, caption, messageType, buttonSet, defaultButton, languageId, fontName);
}

void TStopSignalBoxes::ShowQBMessageDetails(const std::string& msg, const std::string& details,
                                            const std::string& caption, std::uint8_t messageType,
                                            std::uint8_t languageId, const std::string& fontName, bool expand) {
    if (StopSignalReceived())
        return printed_.ShowQBMessageDetails(msg, details, caption, messageType, languageId, fontName, expand);
    TBoxCloser closer;
    windows_.ShowQBMessageDetails(msg, details, caption, messageType, languageId, fontName, expand);
}

}  // namespace gs
