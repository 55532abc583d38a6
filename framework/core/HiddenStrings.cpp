#include "framework/core/HiddenStrings.h"

#include <stdexcept>

#include "crypto/CipherManager.h"

namespace gs {

// Each call keys its own manager with all defaults (Blowfish, CTS mode, RIPEMD-256, the
// vector made from the all-$FF block), so calls share nothing; the manager wipes the
// cipher when it goes, also when a step raises.
std::string DecipherString(std::string_view key, std::string_view text) {
    if (text.empty()) return {};
    crypto::TCipherManager manager;
    manager.InitKey(key);
    return manager.DecodeString(text);
}

std::string EncipherString(std::string_view key, std::string_view plain) {
    if (plain.empty()) return {};
    crypto::TCipherManager manager;
    manager.InitKey(key);
    return manager.EncodeString(plain);
}

std::string DecodeWithProgramKey(std::string_view text) { return DecipherString(kProgramKey, text); }

std::string DecodeHiddenString(std::string_view text) { return DecodeWithProgramKey(text); }

const std::vector<TStoredText>& StoredTexts() {
    // Made with `gsprobe crypt hidden --encode`; the plain wording is UTF-8.
    static const std::vector<TStoredText> texts{
        {kTextVersionWord, "iGFNpFy11g=="},
        {kTextSplashWarning,
         "L4twJ0l+Or86n1Etf2G+Eki9X4lSkwbxFxQ/zvRL+/xGp2YonkjTZLJvI3najz76lm3IzJYPiDjrxL8ZXTmUvdz7lESDXqgouz25ZcepkKJPocE5ntHD7un0XvEfTZjJZ4BeAedZg3hCP+8x2VK/Y/9PWRC0vefk"},
        {kTextContactsShow, "BBMj1adxk4u9QGQ6"},
        {kTextContactsHide, "BBMj1adxk4u9QGY4"},
        {kTextTipFileMissing,
         "xIB4qHafdEOL16aP8jXtRwxjdA46/Gi62bw9y529AoELkvhRj5TZbClqc4knA2N6wfNkFcCi5p6ED1w1SFRedwlPhIR19jwovcTaTHtr+ePhY8v1wSSI+96DRmdqAXYH"},
    };
    return texts;
}

std::string HiddenText(std::string_view name) {
    for (const TStoredText& t : StoredTexts())
        if (t.name == name) return DecodeHiddenString(t.stored);
    throw std::out_of_range("no stored text \"" + std::string(name) + "\"");
}

}  // namespace gs
