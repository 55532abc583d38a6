#pragma once
// Texts the program keeps enciphered become plain here: MIME base-64 text of bytes
// enciphered with Blowfish in the library's CTS mode under a key made by RIPEMD-256 from a
// key text. The results are bytes (NUL included); windows take them with QString::fromUtf8.
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// The key built into the program.
inline constexpr std::string_view kProgramKey = "wtrbnxqe60419275318846";

// Raises the library's errors (EStringFormat for text that is not base 64) unchanged.
std::string DecipherString(std::string_view key, std::string_view text);
// The reverse steps: bytes enciphered under `key`, written in MIME base 64.
std::string EncipherString(std::string_view key, std::string_view plain);
std::string DecodeWithProgramKey(std::string_view text);
// The entry every caller uses.
std::string DecodeHiddenString(std::string_view text);

// The texts the program keeps enciphered, by name.
struct TStoredText {
    std::string_view name;
    std::string_view stored;
};
const std::vector<TStoredText>& StoredTexts();
// The plain text of the stored text `name`; std::out_of_range for an unknown name.
std::string HiddenText(std::string_view name);

// Names of the stored texts.
inline constexpr std::string_view kTextVersionWord = "VersionWord";
inline constexpr std::string_view kTextSplashWarning = "SplashWarning";
inline constexpr std::string_view kTextContactsShow = "ContactsShow";
inline constexpr std::string_view kTextContactsHide = "ContactsHide";
inline constexpr std::string_view kTextTipFileMissing = "TipFileMissing";

}  // namespace gs
