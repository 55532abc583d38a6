#pragma once
// The boxes as modal windows. Without an application object (no display) they fall back
// to printing on stderr, so a caller never has to choose.
#include "framework/core/MessageBoxes.h"

namespace gs {

class TQtMessageBoxes : public IMessageBoxes {
public:
    using IMessageBoxes::ShowQBMessage;
    using IMessageBoxes::ShowQBMessageDetails;
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, std::uint8_t messageType,
                                   std::uint8_t buttonSet, std::uint16_t defaultButton, std::uint8_t languageId,
                                   const std::string& fontName) override;
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) override;
};

}  // namespace gs
