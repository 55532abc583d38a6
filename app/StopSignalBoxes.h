#pragma once
// Boxes that a stop signal closes. A batch run waits on its result, warning or failure box
// in an event loop that never looks at the signal's flag; a script's SIGTERM (or Ctrl-C,
// SIGHUP) must still end the program. While such a box waits, the signal closes it as its
// close button would; a box asked for after the signal is printed on stderr instead of
// shown, so what it said stays in the log and nothing waits.
#include "framework/core/MessageBoxes.h"
#include "framework/core/StderrMessageBoxes.h"

namespace gs {

class TStopSignalBoxes final : public IMessageBoxes {
public:
    explicit TStopSignalBoxes(IMessageBoxes& windows) : windows_(windows) {}

    using IMessageBoxes::ShowQBMessage;
    using IMessageBoxes::ShowQBMessageDetails;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, std::uint8_t messageType,
                                   std::uint8_t buttonSet, std::uint16_t defaultButton, std::uint8_t languageId,
                                   const std::string& fontName) override;
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) override;

private:
    IMessageBoxes& windows_;
    TStderrMessageBoxes printed_;
};

}  // namespace gs
