#include "framework/core/VersionInfo.h"

#include <cstdio>

#include "platform/ByteReader.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace gs {

namespace {

constexpr std::uint16_t kTextType = 1;
constexpr std::size_t kHeaderSize = 6;  // wLength, wValueLength, wType
// Real blocks nest four deep (block, StringFileInfo, table, string); more is damage.
constexpr int kMaxDepth = 8;

std::uint64_t align4(std::uint64_t pos) { return (pos + 3) & ~std::uint64_t(3); }

[[noreturn]] void fail(std::uint64_t at, const char* what) {
    throw EReadError("Version block: " + std::string(what) + " at offset " + std::to_string(at));
}

// UTF-16 text up to its terminating zero (or the end of the bytes when there is none).
std::string decodeText(std::span<const std::uint8_t> bytes) {
    std::u16string s;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char16_t c = char16_t(bytes[i] | (bytes[i + 1] << 8));
        if (c == 0) break;
        s.push_back(c);
    }
    return utf16ToUtf8(s);
}

TVersionInfo::Node parseNode(TByteReader& r, std::uint64_t parentEnd, int depth) {
    std::uint64_t start = r.Pos();
    if (depth > kMaxDepth) fail(start, "entries nested too deep");
    std::uint16_t length = r.U16();
    std::uint16_t valueLength = r.U16();
    TVersionInfo::Node node;
    node.type = r.U16();
    if (length < kHeaderSize || start + length > parentEnd) fail(start, "entry length outside its parent");
    std::uint64_t end = start + length;

    std::u16string key;
    for (;;) {
        if (r.Pos() + 2 > end) fail(start, "entry key without its end");
        char16_t c = r.U16();
        if (c == 0) break;
        key.push_back(c);
    }
    node.key = utf16ToUtf8(key);

    // Text values count characters, binary ones bytes; some writers count text in bytes
    // too, so the value is cut at the entry's end and text at its zero.
    std::uint64_t valueStart = std::min(align4(r.Pos()), end);
    std::uint64_t valueBytes = node.type == kTextType ? std::uint64_t(valueLength) * 2 : valueLength;
    valueBytes = std::min(valueBytes, end - valueStart);
    r.Seek(valueStart);
    node.value = r.Bytes(valueBytes);

    for (std::uint64_t pos = align4(r.Pos()); pos + kHeaderSize <= end;) {
        r.Seek(pos);
        if (r.U16At(pos) == 0) break;  // zero padding closes the list
        node.children.push_back(parseNode(r, end, depth + 1));
        pos = align4(r.Pos());
    }
    r.Seek(end);
    return node;
}

bool sameKey(std::string_view a, std::string_view b) { return foldCaseUtf8(a) == foldCaseUtf8(b); }

}  // namespace

TVersionInfo TVersionInfo::parse(std::span<const std::uint8_t> block) {
    TSpanSource src(block);
    TByteReader r(src);
    TVersionInfo info;
    info.root_ = parseNode(r, src.Size(), 0);
    return info;
}

const TVersionInfo::Node* TVersionInfo::find(std::string_view path) const {
    const Node* node = &root_;
    while (!path.empty()) {
        std::size_t cut = path.find('\\');
        std::string_view part = path.substr(0, cut);
        path = cut == std::string_view::npos ? std::string_view() : path.substr(cut + 1);
        if (part.empty()) continue;
        const Node* next = nullptr;
        for (const Node& child : node->children)
            if (sameKey(child.key, part)) {
                next = &child;
                break;
            }
        if (!next) return nullptr;
        node = next;
    }
    return node;
}

std::optional<TVsFixedFileInfo> TVersionInfo::GetFixedFileInfo() const {
    if (root_.value.size() < TVsFixedFileInfo::kSize) return std::nullopt;
    TSpanSource src(root_.value);
    TByteReader r(src);
    TVsFixedFileInfo f;
    for (std::uint32_t* field : {&f.signature, &f.strucVersion, &f.fileVersionMS, &f.fileVersionLS,
                                 &f.productVersionMS, &f.productVersionLS, &f.fileFlagsMask, &f.fileFlags,
                                 &f.fileOS, &f.fileType, &f.fileSubtype, &f.fileDateMS, &f.fileDateLS})
        *field = r.U32();
    if (f.signature != TVsFixedFileInfo::kSignature) return std::nullopt;
    return f;
}

std::optional<TVersionTranslation> TVersionInfo::GetTranslationTable() const {
    const Node* t = find("\\VarFileInfo\\Translation");
    if (!t || t->value.size() < 4) return std::nullopt;
    return TVersionTranslation{std::uint16_t(t->value[0] | (t->value[1] << 8)),
                              std::uint16_t(t->value[2] | (t->value[3] << 8))};
}

std::string TVersionInfo::GetTranslationText() const {
    std::optional<TVersionTranslation> t = GetTranslationTable();
    if (!t) return {};
    char buf[9];
    std::snprintf(buf, sizeof buf, "%04X%04X", unsigned(t->language), unsigned(t->codePage));
    return buf;
}

std::string TVersionInfo::GetVersionString(std::string_view name) const {
    std::string translation = GetTranslationText();
    if (translation.empty()) return {};
    const Node* n = find("\\StringFileInfo\\" + translation + "\\" + std::string(name));
    return n ? decodeText(n->value) : std::string();
}

}  // namespace gs
