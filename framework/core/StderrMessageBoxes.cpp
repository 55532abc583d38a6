#include "framework/core/StderrMessageBoxes.h"

#include <iostream>
#include <sstream>

#include "framework/core/MessageBoxRules.h"

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

void writeHeading(std::ostream& out, const std::string& caption, TQBMessageType type, TQBLanguageId language) {
    const std::string shown = BoxCaption(caption);
    if (!shown.empty()) out << shown << ": ";
    out << MessageKindName(type, language) << ": ";
}

}  // namespace

TStderrMessageBoxes::TStderrMessageBoxes() : out_(std::cerr) {}
TStderrMessageBoxes::TStderrMessageBoxes(std::ostream& out) : out_(out) {}

TQBMessageResult TStderrMessageBoxes::ShowQBMessage(const std::string& msg, const std::string& caption,
                                                    std::uint8_t messageType, std::uint8_t buttonSet,
                                                    std::uint16_t /*defaultButton*/, std::uint8_t languageId,
                                                    const std::string& /*fontName*/) {
    const TQBMessageArgs args = CheckMessageArgs(messageType, buttonSet, languageId);
    const TQBButtonLayout layout = ButtonLayoutFor(args.ButtonSet, args.Language);
    writeHeading(out_, caption, args.Type, args.Language);
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
                                               const std::string& caption, std::uint8_t messageType,
                                               std::uint8_t languageId, const std::string& /*fontName*/,
                                               bool /*expand*/) {
    const TQBDetailsArgs args = CheckDetailsArgs(messageType, languageId);
    writeHeading(out_, caption, args.Type, args.Language);
    writeIndentedLines(out_, NormalizeLineBreaks(msg), false);
    writeIndentedLines(out_, NormalizeLineBreaks(details), true);
    out_.flush();
}

}  // namespace gs
