#pragma once
// Small text routines. Text is UTF-8; "characters" are code points, so a routine that
// cuts or reverses text never splits one (a malformed byte counts as one character).
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

bool IsDigitChar(char c);   // "0" to "9"
bool IsLetterChar(char c);  // "A" to "Z" and "a" to "z" only

std::string LeftText(std::string_view s, int n);
std::string RightText(std::string_view s, int n);
std::string ReverseText(std::string_view s);
// Separator before every third character counted from the right ("1234567" -> "1,234,567").
std::string GroupDigits(std::string_view s, std::string_view separator);
// Puts the strings in a random order, every order equally likely.
void ShuffleStrings(std::vector<std::string>& strings);
void ShuffleStrings(std::vector<std::string>& strings, std::mt19937& random);

}  // namespace gs
