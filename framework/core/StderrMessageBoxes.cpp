#include "framework/core/StderrMessageBoxes.h"

#include <iostream>
#include <sstream>

#include "framework/core/MessageBoxRules.h"
#include "platform/Errors.h"

namespace gs {

namespace {

constexpr std::string_view kIndent = "  ";

// Every line of text after the first goes on its own indented line.
void writeIndentedLines(std::ostream& out, const std::string& text, bool indentFirst) {
    std::istringstream lines(DisplayLineBreaks(text));
    std::string line;
    bool first = true;
    while (std::getline(lines, line)) {
        if (!first || indentFirst) out << kIndent;
        out << line << '\n';
        first = false;
    }
    if (first && !indentFirst) out << '\n';  // an empty message still ends its line
}

// The program's one prefix stands where a window would show its caption: on a terminal the
// caption only repeats who is speaking.
void writeHeading(std::ostream& out, TQBMessageType type, TQBLanguageId language) {
    out << kMessagePrefix << MessageKindName(type, language) << ": ";
}

}  // namespace

TStderrMessageBoxes::TStderrMessageBoxes() : out_(std::cerr) {}
TStderrMessageBoxes::TStderrMessageBoxes(std::ostream& out) : out_(out) {}

TQBMessageResult TStderrMessageBoxes::ShowQBMessage(const std::string& msg, const std::string& /*caption*/,
                                                    std::uint8_t messageType, std::uint8_t buttonSet,
                                                    std::uint16_t /*defaultButton*/, std::uint8_t languageId,
                                                    const std::string& /*fontName*/) {
    const TQBMessageArgs args = CheckMessageArgs(messageType, buttonSet, languageId);
    const TQBButtonLayout layout = ButtonLayoutFor(args.ButtonSet, args.Language);
    writeHeading(out_, args.Type, args.Language);
    writeIndentedLines(out_, msg, false);
    const TQBMessageResult answer = MessageResultFor(layout, 0);
    if (args.ButtonSet != TQBButtonSet::bsOK) {
        // Name the answer taken, so the log shows what the run went on with.
        for (int i = 0; i < layout.Count; ++i)
            if (layout.Buttons[i].Result == answer)
                out_ << kIndent << "-> " << StripAccelerator(layout.Buttons[i].Caption) << '\n';
    }
    out_.flush();
    return answer;
}

void TStderrMessageBoxes::ShowQBMessageDetails(const std::string& msg, const std::string& details,
                                               const std::string& /*caption*/, std::uint8_t messageType,
                                               std::uint8_t languageId, const std::string& /*fontName*/,
                                               bool /*expand*/) {
    const TQBDetailsArgs args = CheckDetailsArgs(messageType, languageId);
    writeHeading(out_, args.Type, args.Language);
    writeIndentedLines(out_, NormalizeLineBreaks(msg), false);
    writeIndentedLines(out_, NormalizeLineBreaks(details), true);
    out_.flush();
}

}  // namespace gs
