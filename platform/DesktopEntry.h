#pragma once
// XDG desktop entries, as far as the program registers itself with the file manager: the
// escaping of string values and the quoting of Exec arguments by the desktop-entry rules,
// a bounded reader of the "[Desktop Entry]" group, and a whole-file writer.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gs {

// A desktop entry larger than this is not one of ours and is not read.
inline constexpr std::uint64_t kMaxDesktopEntrySize = 64 * 1024;
inline constexpr const char* kDesktopEntryGroup = "Desktop Entry";

// The keys of the "[Desktop Entry]" group in file order, values unescaped.
struct TDesktopEntry {
    std::vector<std::pair<std::string, std::string>> Keys;

    // The value of the first key of that name (names are case-sensitive), else nothing.
    std::optional<std::string> Value(std::string_view key) const;
    void Set(const std::string& key, const std::string& value);
};

// String values: "\" "\n" "\t" "\r" become "\\" "\n" "\t" "\r" (two characters each).
std::string EscapeDesktopValue(std::string_view value);
std::string UnescapeDesktopValue(std::string_view value);
// One argument of an Exec line before the string escaping: quoted in double quotes (with
// " ` $ \ escaped by "\") when it holds a reserved character, and "%" doubled.
std::string QuoteExecArgument(std::string_view argument);

// ${XDG_DATA_HOME:-~/.local/share}/applications
std::filesystem::path DesktopApplicationsDir();

// Nothing when the file is missing, not a regular file, too large or unreadable.
std::optional<TDesktopEntry> ReadDesktopEntry(const std::filesystem::path& file);
// The "[Desktop Entry]" group of a file's text; other groups, comments and lines that
// are not "key=value" are passed over.
TDesktopEntry ParseDesktopEntry(std::string_view text);
// Written whole (temporary file, then rename), folders made as needed; throws EFCreateError.
void WriteDesktopEntry(const std::filesystem::path& file, const TDesktopEntry& entry);

}  // namespace gs
