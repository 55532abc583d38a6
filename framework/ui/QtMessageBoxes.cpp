#include "framework/ui/QtMessageBoxes.h"

#include <QApplication>

#include "framework/core/StderrMessageBoxes.h"
#include "framework/ui/BoxParts.h"
#include "framework/ui/QBMsgDetailsFrm.h"
#include "framework/ui/QBMsgFrm.h"

namespace gs {

namespace {
bool haveWindows() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }
}  // namespace

TQBMessageResult TQtMessageBoxes::ShowQBMessage(const std::string& msg, const std::string& caption,
                                                std::uint8_t messageType, std::uint8_t buttonSet,
                                                std::uint16_t defaultButton, std::uint8_t languageId,
                                                const std::string& fontName) {
    if (!haveWindows())
        return TStderrMessageBoxes().ShowQBMessage(msg, caption, messageType, buttonSet, defaultButton, languageId,
                                                   fontName);
    TQBMessage box;
    box.Setup(msg, caption, messageType, buttonSet, defaultButton, languageId, fontName);
    CenterOnScreen(&box);
    box.exec();
    return box.MessageResult();
}

void TQtMessageBoxes::ShowQBMessageDetails(const std::string& msg, const std::string& details,
                                           const std::string& caption, std::uint8_t messageType,
                                           std::uint8_t languageId, const std::string& fontName, bool expand) {
    if (!haveWindows()) {
        TStderrMessageBoxes().ShowQBMessageDetails(msg, details, caption, messageType, languageId, fontName, expand);
        return;
    }
    TQBMessageDetails box;
    box.Setup(msg, details, caption, messageType, languageId, fontName, expand);
    CenterOnScreen(&box);
    box.exec();
}

}  // namespace gs
