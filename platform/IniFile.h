#pragma once
// A small INI file: sections of "key=value" lines. Section and key names compare without
// regard to case and keep their first spelling; a value that a pair of double or single
// quotes encloses loses that pair on reading. The file is read once (a file larger than
// kMaxIniSize is refused, any line that is neither a section nor a key is ignored) and
// written whole, through a temporary file, by every change. Values, keys and sections hold
// no line breaks: each is written with its line breaks made blanks.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class TIniFile {
public:
    static constexpr std::size_t kMaxIniSize = 16u << 20;

    // A missing or unreadable file reads as empty.
    explicit TIniFile(std::filesystem::path fileName);
    // As if the file held `text` (it is not read).
    TIniFile(std::filesystem::path fileName, std::string_view text);

    const std::filesystem::path& FileName() const { return fileName_; }
    std::optional<std::string> Read(std::string_view section, std::string_view ident) const;
    std::string ReadString(std::string_view section, std::string_view ident, const std::string& def) const;
    // Throws EFCreateError when the file cannot be written.
    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    void EraseSection(std::string_view section);
    std::vector<std::string> Sections() const;
    std::vector<std::string> Keys(std::string_view section) const;

private:
    struct Entry {
        std::string key, value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    const Section* Find(std::string_view section) const;
    void Parse(std::string_view text);
    void Save() const;

    std::filesystem::path fileName_;
    std::vector<Section> sections_;
};

}  // namespace gs
