#pragma once
// What the two boxes show and answer, as data: captions per language, the button sets with
// their places and answers, the default-button and tab-order rules, argument checking and
// line-break handling. Both the windows and the display-less boxes are built on these, so
// they answer alike.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "framework/core/MessageBoxes.h"

namespace gs {

inline constexpr int kQBMaxButtons = 5;

struct TQBCaptions {
    std::string_view Yes, No, Cancel, OK, YesToAll, NoToAll, All, DetailsFolded, DetailsUnfolded;
};
const TQBCaptions& CaptionsFor(TQBLanguageId languageId);

struct TQBButtonDef {
    std::string_view Caption;  // with its "&" accelerator
    int Left = 0;              // left edge in the button panel, pixels
    TQBMessageResult Result = TQBMessageResult::mrOK;
};

struct TQBButtonLayout {
    int Count = 0;  // buttons cmdBtn01 onwards that are shown
    std::array<TQBButtonDef, kQBMaxButtons> Buttons{};
    TQBMessageResult ClosedResult = TQBMessageResult::mrOK;  // Esc or the close box
};
TQBButtonLayout ButtonLayoutFor(TQBButtonSet set, TQBLanguageId languageId);

// The answer of a closed box: pressed is 0 when no button closed it, else 1 to Count.
TQBMessageResult MessageResultFor(const TQBButtonLayout& layout, int pressed);
// A default button that is not one of the shown buttons becomes the first.
int EffectiveDefaultButton(int defaultButton, int visibleCount);
// Tab position of button k (1 to 5): the order is rotated so the default comes first.
int TabPositionFor(int button, int defaultButton);

// Arguments checked in the order the boxes check them; a bad one raises std::runtime_error
// with the box's own message.
struct TQBMessageArgs {
    TQBMessageType Type;
    TQBButtonSet ButtonSet;
    TQBLanguageId Language;
};
TQBMessageArgs CheckMessageArgs(std::uint8_t messageType, std::uint8_t buttonSet, std::uint8_t languageId);
struct TQBDetailsArgs {
    TQBMessageType Type;  // mtError, mtWarning or mtInformation
    TQBLanguageId Language;
};
TQBDetailsArgs CheckDetailsArgs(std::uint8_t messageType, std::uint8_t languageId);

// Every line feed becomes a carriage return and line feed pair, except one that already
// follows a carriage return; a final line feed is dropped.
std::string NormalizeLineBreaks(std::string_view s);
// Text as a widget or terminal breaks lines: every CR LF pair and lone CR becomes one LF.
std::string DisplayLineBreaks(std::string_view s);
// "&Yes" -> "Yes"; "&&" stays one "&".
std::string StripAccelerator(std::string_view caption);
// The word for the kind of box, in the box's language ("Error", "Aviso", ...).
std::string_view MessageKindName(TQBMessageType type, TQBLanguageId languageId);
// The caller's caption, or the program's title when it is empty (empty before start-up).
std::string BoxCaption(const std::string& caption);

}  // namespace gs
