#include "controls/core/ComboEditRules.h"

#include <algorithm>
#include <filesystem>

#include "framework/core/RxUtils.h"

namespace gs {

std::string FileNameOfText(const std::string& text, const TPathTest& fileExists) {
    if (text.empty() || fileExists(text)) return text;
    const std::vector<std::string> params = CommandLineParams(text);
    return params.empty() ? std::string() : params.front();
}

bool IsValidEditFileName(std::string_view name) { return name.find('\0') == std::string_view::npos; }

std::string QuotedFileName(const std::string& name) {
    if (name.find(' ') != std::string::npos && !name.starts_with('"')) return '"' + name + '"';
    return name;
}

std::string FolderDialogStart(const std::string& text, const std::string& initialDir, const TPathTest& dirExists) {
    if (text.empty()) return initialDir.empty() ? "/" : initialDir;
    return dirExists(text) ? text : "/";
}

std::string FolderEditText(const std::string& text, const std::string& folder, bool multipleDirs) {
    if (multipleDirs && !text.empty()) return text + ";" + folder;
    return folder;
}

std::string FolderOfDroppedName(const std::string& name, const TPathTest& fileExists) {
    if (!fileExists(name)) return name;
    return std::filesystem::path(name).parent_path().string();
}

int ButtonWidthForKind(TGlyphKind kind, int currentWidth, int glyphWidth, int glyphCount, int scrollBarWidth) {
    switch (kind) {
        case TGlyphKind::gkDefault:
            if (glyphWidth <= 0) return currentWidth;
            return std::max(glyphWidth / std::max(glyphCount, 1) + 6, currentWidth);
        case TGlyphKind::gkDropDown: return scrollBarWidth;
        case TGlyphKind::gkCustom:
        case TGlyphKind::gkEllipsis: break;
    }
    return currentWidth;
}

int DefaultButtonWidth(TGlyphKind kind, int glyphWidth, int glyphCount, int scrollBarWidth) {
    if (kind == TGlyphKind::gkDefault && glyphWidth > 0)
        return std::max(glyphWidth / std::max(glyphCount, 1) + 6, kComboButtonWidth);
    if (kind == TGlyphKind::gkDropDown) return scrollBarWidth;
    return kComboButtonWidth;
}

int GlyphCountForKind(TGlyphKind kind, int customCount, int defaultCount) {
    switch (kind) {
        case TGlyphKind::gkDefault: return defaultCount;
        case TGlyphKind::gkDropDown:
        case TGlyphKind::gkEllipsis: return 1;
        case TGlyphKind::gkCustom: break;
    }
    return customCount;
}

std::array<int, 3> EllipsisDotsX(int buttonWidth) {
    const int width = std::max(1, buttonWidth - 6);
    const int gap = std::clamp((width - 6) / 2, 1, 3);
    const int first = (width - 6 - 2 * gap) / 2;
    return {first, first + gap + 2, first + 2 * gap + 4};
}

}  // namespace gs
