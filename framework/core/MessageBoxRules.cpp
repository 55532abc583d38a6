#include "framework/core/MessageBoxRules.h"

#include <stdexcept>

#include "framework/core/Application.h"

namespace gs {

namespace {

constexpr TQBCaptions kPortugueseCaptions{"&Sim",         "&Não",   "&Cancelar",    "&OK",         "S&im a Todos",
                                          "Não &a Todos", "&Todos", "&Detalhes >>", "&Detalhes <<"};
constexpr TQBCaptions kEnglishCaptions{"&Yes",       "&No",  "&Cancel",     "&OK",        "Y&es to All",
                                       "No &to All", "&All", "&Details >>", "&Details <<"};

constexpr std::uint8_t kLastMessageType = 3;
constexpr std::uint8_t kLastDetailsType = 2;
constexpr std::uint8_t kLastButtonSet = 4;
constexpr std::uint8_t kLastLanguage = 1;

using R = TQBMessageResult;

TQBButtonDef def(std::string_view caption, int left, R result) { return TQBButtonDef{caption, left, result}; }

TQBLanguageId checkLanguage(std::uint8_t languageId, const char* box) {
    if (languageId > kLastLanguage)
        throw std::runtime_error(std::string("Invalid language id. in call to ") + box + ".");
    return static_cast<TQBLanguageId>(languageId);
}

}  // namespace

const TQBCaptions& CaptionsFor(TQBLanguageId languageId) {
    return languageId == TQBLanguageId::liEnglish ? kEnglishCaptions : kPortugueseCaptions;
}

TQBButtonLayout ButtonLayoutFor(TQBButtonSet set, TQBLanguageId languageId) {
    const TQBCaptions& c = CaptionsFor(languageId);
    TQBButtonLayout l;
    switch (set) {
        case TQBButtonSet::bsOK:
            l.Count = 1;
            l.Buttons = {def(c.OK, 168, R::mrOK)};
            l.ClosedResult = R::mrOK;
            break;
        case TQBButtonSet::bsYesNo:
            l.Count = 2;
            l.Buttons = {def(c.Yes, 120, R::mrYes), def(c.No, 208, R::mrNo)};
            l.ClosedResult = R::mrNo;
            break;
        case TQBButtonSet::bsYesNoCancel:
            l.Count = 3;
            l.Buttons = {def(c.Yes, 88, R::mrYes), def(c.No, 168, R::mrNo), def(c.Cancel, 248, R::mrCancel)};
            l.ClosedResult = R::mrCancel;
            break;
        case TQBButtonSet::bsYesNoCancelAll:
            l.Count = 4;
            l.Buttons = {def(c.Yes, 48, R::mrYes), def(c.No, 128, R::mrNo), def(c.Cancel, 208, R::mrCancel),
                         def(c.All, 288, R::mrAll)};
            l.ClosedResult = R::mrCancel;
            break;
        case TQBButtonSet::bsYesYesToAllNoNoToAllCancel:
            l.Count = 5;
            l.Buttons = {def(c.Yes, 8, R::mrYes), def(c.YesToAll, 88, R::mrYesToAll), def(c.No, 168, R::mrNo),
                         def(c.NoToAll, 248, R::mrNoToAll), def(c.Cancel, 328, R::mrCancel)};
            l.ClosedResult = R::mrCancel;
            break;
    }
    return l;
}

TQBMessageResult MessageResultFor(const TQBButtonLayout& layout, int pressed) {
    if (pressed < 1 || pressed > layout.Count) return layout.ClosedResult;
    return layout.Buttons[pressed - 1].Result;
}

int EffectiveDefaultButton(int defaultButton, int visibleCount) {
    return defaultButton >= 1 && defaultButton <= visibleCount ? defaultButton : 1;
}

int TabPositionFor(int button, int defaultButton) {
    return ((button - defaultButton) % kQBMaxButtons + kQBMaxButtons) % kQBMaxButtons;
}

TQBMessageArgs CheckMessageArgs(std::uint8_t messageType, std::uint8_t buttonSet, std::uint8_t languageId) {
    const TQBLanguageId language = checkLanguage(languageId, "QBMessage");
    if (messageType > kLastMessageType) throw std::runtime_error("Invalid message type in call to QBMessage.");
    if (buttonSet > kLastButtonSet) throw std::runtime_error("Invalid button definition in call to QBMessage.");
    return {static_cast<TQBMessageType>(messageType), static_cast<TQBButtonSet>(buttonSet), language};
}

TQBDetailsArgs CheckDetailsArgs(std::uint8_t messageType, std::uint8_t languageId) {
    const TQBLanguageId language = checkLanguage(languageId, "QBMessageDetails");
    if (messageType > kLastDetailsType)
        throw std::runtime_error("Invalid message type in call to QBMessageDetails.");
    return {static_cast<TQBMessageType>(messageType), language};
}

std::string NormalizeLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\n') {
            out += s[i];
        } else if (i > 0 && s[i - 1] == '\r') {
            out += '\n';
        } else if (i + 1 < s.size()) {
            out += "\r\n";
        }
        // A final line feed of its own is dropped.
    }
    return out;
}

std::string DisplayLineBreaks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string StripAccelerator(std::string_view caption) {
    std::string out;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

std::string_view MessageKindName(TQBMessageType type, TQBLanguageId languageId) {
    static constexpr std::string_view kEnglish[] = {"Error", "Warning", "Information", "Question"};
    static constexpr std::string_view kPortuguese[] = {"Erro", "Aviso", "Informação", "Pergunta"};
    const auto index = static_cast<std::size_t>(type) & 3;
    return languageId == TQBLanguageId::liEnglish ? kEnglish[index] : kPortuguese[index];
}

std::string BoxCaption(const std::string& caption) {
    if (!caption.empty() || !hasApplication()) return caption;
    return application().Title;
}

}  // namespace gs
