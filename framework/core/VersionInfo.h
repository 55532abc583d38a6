#pragma once
// A version block (VS_VERSIONINFO) read from bytes that come from a file: every length is
// checked against the bytes there, so a damaged block is refused as a whole, never read
// past its end. Queries use the block's `\`-separated paths; keys match without regard
// to case.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ByteSource.h"

namespace gs {

struct TVsFixedFileInfo {
    static constexpr std::uint32_t kSignature = 0xFEEF04BD;
    static constexpr std::size_t kSize = 52;
    std::uint32_t signature = 0, strucVersion = 0;
    std::uint32_t fileVersionMS = 0, fileVersionLS = 0;
    std::uint32_t productVersionMS = 0, productVersionLS = 0;
    std::uint32_t fileFlagsMask = 0, fileFlags = 0, fileOS = 0, fileType = 0, fileSubtype = 0;
    std::uint32_t fileDateMS = 0, fileDateLS = 0;
};

struct TVersionTranslation {
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};

class TVersionInfo {
public:
    struct Node {
        std::string key;
        std::uint16_t type = 0;  // 1 text, 0 binary
        TBytes value;
        std::vector<Node> children;
    };

    // Throws EReadError when the bytes are not a well-formed version block.
    static TVersionInfo parse(std::span<const std::uint8_t> block);

    // The entry at a path such as "\StringFileInfo\040904E4\LegalCopyright"; "\" is the
    // block itself.
    const Node* find(std::string_view path) const;

    std::optional<TVsFixedFileInfo> GetFixedFileInfo() const;
    // The first entry of the translation table.
    std::optional<TVersionTranslation> GetTranslationTable() const;
    // Eight upper-case hex digits, language then code page ("040904E4"); empty without one.
    std::string GetTranslationText() const;
    // A string of the first translation's string table, or empty.
    std::string GetVersionString(std::string_view name) const;

    const Node& root() const { return root_; }

private:
    Node root_;
};

}  // namespace gs
