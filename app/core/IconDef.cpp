#include "app/core/IconDef.h"

#include <exception>

#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "platform/Errors.h"

namespace gs {

namespace {

constexpr const char* kInvalidIconIndex = "Invalid icon index.";
constexpr const char* kUndefinedFileName = "Undefined file name.";
constexpr const char* kInvalidFileName = "Invalid file name.";
constexpr const char* kErrorLoadingIcon = "Error loading icon.";
constexpr const char* kNoIconsAnyMore = "The file holds no icons that can be read any more.";

EQBException invalidIndex(int index) {
    return EQBException(kInvalidIconIndex, std::to_string(index) + " is not a valid icon index.",
                        TQBSeverity::Warning);
}

// The library of the file, or the reason it holds none any more.
void readLibrary(const TIconFileReader& reader, const std::filesystem::path& fileName, TQBIconLibrary& library) {
    const TIconsRead read = reader(library, fileName);
    switch (read.Result) {
        case TLoadResult::Read: return;
        case TLoadResult::NoIcons: throw EReadError(kNoIconsAnyMore);
        case TLoadResult::Refused:
        case TLoadResult::Failed: throw EReadError(read.Reason.empty() ? kNoIconsAnyMore : read.Reason);
    }
}

}  // namespace

TIconsRead ReadIconFile(TQBIconLibrary& into, const std::filesystem::path& file) { return into.Read(file); }

TQBIcon& TIconDef::GetIcon() {
    if (icon_) return *icon_;
    return TIconSetLoader({this}).GetIcon(*this);
}

TIconSetLoader::TIconSetLoader(const std::vector<TIconDef*>& defs, TIconFileReader reader)
    : reader_(std::move(reader)) {
    for (TIconDef* def : defs)
        if (def && !def->Loaded()) files_[def->FileName.string()].waiting.push_back(def);
}

TQBIcon& TIconSetLoader::GetIcon(TIconDef& def) {
    if (def.Loaded()) return def.GetIcon();
    if (def.IconIndex < 0) throw invalidIndex(def.IconIndex);
    if (def.FileName.empty()) throw EQBException(kUndefinedFileName, "", TQBSeverity::Warning);
    if (!SafeFileExists(def.FileName))
        throw EQBException(kInvalidFileName, "File '" + def.FileName.string() + "' no longer exists.",
                           TQBSeverity::Warning);
    TSourceFile& file = files_[def.FileName.string()];
    try {
        // A file read already is read again only for a definition from outside the set.
        if (file.icons < 0 || def.IconIndex < file.icons) readFile(file, def);
        if (!def.Loaded()) throw invalidIndex(def.IconIndex);
    } catch (const std::exception& e) {
        // Whatever went wrong while reading, the user is told that loading failed and why.
        throw EQBException(kErrorLoadingIcon, e.what(), TQBSeverity::Warning);
    }
    return def.GetIcon();
}

void TIconSetLoader::readFile(TSourceFile& file, TIconDef& asking) {
    TQBIconLibrary library;
    readLibrary(reader_, asking.FileName, library);
    file.icons = library.Icons.Count();
    // The icon is matched by position only: a file changed since its listing gives the
    // icon now at the same index. The copies share the library's image data.
    auto give = [&](TIconDef& def) {
        if (def.Loaded() || def.IconIndex < 0 || def.IconIndex >= file.icons) return;
        auto icon = std::make_unique<TQBIcon>();
        icon->Assign(*library.Icons.GetIcon(def.IconIndex));
        def.SetIcon(std::move(icon));
    };
    give(asking);
    for (TIconDef* def : file.waiting) give(*def);
    file.waiting.clear();
}

void FillImageFlags(TIconDef& def, const TQBIcon& icon) {
    if (icon.Has16Colors()) def.Colors |= kHas16Colors;
    if (icon.Has256Colors()) def.Colors |= kHas256Colors;
    if (icon.Has16x16()) def.Sizes |= kHas16x16;
    if (icon.Has32x32()) def.Sizes |= kHas32x32;
    if (icon.Has48x48()) def.Sizes |= kHas48x48;
}

}  // namespace gs
