#pragma once
// Small routines the windows and the window library share: words and tokens of a text, a
// keyed scrambling of stored values, command-line splitting, file-name checks, screen
// rectangles and text cut to a width. Text is UTF-8 bytes; positions count bytes from 1.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// Every occurrence of `search` (case counts, left to right, not overlapping) replaced; an
// empty `search` changes nothing.
std::string ReplaceSubstring(std::string_view s, std::string_view search, std::string_view replace);
// Words are maximal runs of characters that are not delimiters.
int CountWordsIn(std::string_view s, std::string_view delims);
// 1-based position of word n's first character (words counted from 1); 0 when there are fewer.
std::size_t NthWordStart(int n, std::string_view s, std::string_view delims);
std::string NthWord(int n, std::string_view s, std::string_view delims);
// The text from `pos` (1-based) up to the next delimiter or the end; `pos` moves past that
// delimiter (or to the end + 1).
std::string NextDelimitedToken(std::string_view s, std::size_t& pos, std::string_view delims);
// Each byte XOR the key byte at the same index modulo the key length (none with an empty
// key), written as two lower-case hexadecimal digits; decoding takes a pair that is not
// hexadecimal as a blank and ignores an odd last digit.
std::string XorEncodeString(std::string_view key, std::string_view s);
std::string XorDecodeString(std::string_view key, std::string_view s);

// Parameters of a command line: blanks and control characters separate them, double quotes
// group (and are dropped). Parameters are never cut.
std::vector<std::string> CommandLineParams(std::string_view commandLine);
// Program := parameter 0; Params := the rest joined by one blank, each holding a blank
// quoted again.
void SplitProgramAndParams(std::string_view commandLine, std::string& program, std::string& params);

// One trailing "/" removed from a path longer than one character (the root stays "/").
std::string StripTrailingBackslash(std::string_view path);
bool HasAnyChar(std::string_view s, std::string_view chars);
// Not empty and free of < > " [ ] |
bool IsValidFileNameText(std::string_view name);

struct TScreenRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TScreenRect&, const TScreenRect&) = default;
};
// Moved (size kept) so it ends within the screen and starts at 0 or beyond, per axis in that order.
TScreenRect ClampRectToScreen(TScreenRect r, int screenWidth, int screenHeight);
// Centred on the screen (offsets rounded toward zero), then clamped.
TScreenRect CenterRectOnScreen(const TScreenRect& r, int screenWidth, int screenHeight);
// The text when it fits; otherwise shorter heads followed by "..." until one fits (or none
// is left). `width` measures a text.
std::string ShortenTextToWidth(const std::string& text, const std::function<int(const std::string&)>& width,
                               int maxWidth);

}  // namespace gs
