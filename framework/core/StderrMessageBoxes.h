#pragma once
// The boxes of a run without a display: each prints what it would show, after the program's
// prefix and the kind of box, and answers as a box closed without a button would, so a
// batch run never waits for a person.
#include <iosfwd>

#include "framework/core/MessageBoxes.h"

namespace gs {

class TStderrMessageBoxes : public IMessageBoxes {
public:
    TStderrMessageBoxes();                         // prints to stderr
    explicit TStderrMessageBoxes(std::ostream& out);

    using IMessageBoxes::ShowQBMessage;
    using IMessageBoxes::ShowQBMessageDetails;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, std::uint8_t messageType,
                                   std::uint8_t buttonSet, std::uint16_t defaultButton, std::uint8_t languageId,
                                   const std::string& fontName) override;
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) override;

private:
    std::ostream& out_;
};

}  // namespace gs
