#pragma once
// The vocabulary of the program's two modal boxes (the message box and the error-details
// box) and the one interface every caller reaches them through. Windows get a Qt
// implementation; batch runs without a display and tests get others.
#include <cstdint>
#include <string>

namespace gs {

enum class TQBMessageType : std::uint8_t { mtError = 0, mtWarning = 1, mtInformation = 2, mtQuestion = 3 };
enum class TQBButtonSet : std::uint8_t {
    bsOK = 0,
    bsYesNo = 1,
    bsYesNoCancel = 2,
    bsYesNoCancelAll = 3,
    bsYesYesToAllNoNoToAllCancel = 4
};
enum class TQBMessageResult : std::uint8_t {
    mrOK = 0,
    mrYes = 1,
    mrYesToAll = 2,
    mrNo = 3,
    mrNoToAll = 4,
    mrCancel = 5,
    mrAll = 6
};
enum class TQBLanguageId : std::uint8_t { liPortuguese = 0, liEnglish = 1 };

// Default buttons are counted from 1, left to right; one that is not shown becomes the first.
inline constexpr std::uint16_t kFirstButton = 1;

class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    // Arguments as raw bytes, as callers pass them; invalid ones raise std::runtime_error
    // with the box's own message before anything is shown.
    virtual TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, std::uint8_t messageType,
                                           std::uint8_t buttonSet, std::uint16_t defaultButton,
                                           std::uint8_t languageId, const std::string& fontName) = 0;
    virtual void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                                      std::uint8_t messageType, std::uint8_t languageId, const std::string& fontName,
                                      bool expand) = 0;

    // The same with the box's own types, for callers that name them.
    TQBMessageResult ShowQBMessage(const std::string& msg, const std::string& caption, TQBMessageType messageType,
                                   TQBButtonSet buttonSet, std::uint16_t defaultButton, std::uint8_t languageId,
                                   const std::string& fontName) {
        return ShowQBMessage(msg, caption, std::uint8_t(messageType), std::uint8_t(buttonSet), defaultButton,
                             languageId, fontName);
    }
    void ShowQBMessageDetails(const std::string& msg, const std::string& details, const std::string& caption,
                              TQBMessageType messageType, std::uint8_t languageId, const std::string& fontName,
                              bool expand) {
        ShowQBMessageDetails(msg, details, caption, std::uint8_t(messageType), languageId, fontName, expand);
    }
};

}  // namespace gs
