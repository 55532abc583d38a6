#include "app/core/IconDef.h"

#include <exception>

#include "framework/core/Exceptions.h"
#include "framework/core/FileUtils.h"
#include "iconlib/IconLibrary.h"
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

// The icon at `index` of the file, copied out of a library that is freed on return.
std::unique_ptr<TQBIcon> readIcon(const std::filesystem::path& fileName, int index) {
    TQBIconLibrary library;
    const TIconsRead read = library.Read(fileName);
    switch (read.Result) {
        case TLoadResult::Read: break;
        case TLoadResult::NoIcons: throw EReadError(kNoIconsAnyMore);
        case TLoadResult::Refused:
        case TLoadResult::Failed: throw EReadError(read.Reason.empty() ? kNoIconsAnyMore : read.Reason);
    }
    if (index >= library.Icons.Count()) throw invalidIndex(index);
    auto icon = std::make_unique<TQBIcon>();
    icon->Assign(*library.Icons.GetIcon(index));
    return icon;
}

}  // namespace

TQBIcon& TIconDef::GetIcon() {
    if (icon_) return *icon_;
    if (IconIndex < 0) throw invalidIndex(IconIndex);
    if (FileName.empty()) throw EQBException(kUndefinedFileName, "", TQBSeverity::Warning);
    if (!SafeFileExists(FileName))
        throw EQBException(kInvalidFileName, "File '" + FileName.string() + "' no longer exists.",
                           TQBSeverity::Warning);
    try {
        icon_ = readIcon(FileName, IconIndex);
    } catch (const std::exception& e) {
        // Whatever went wrong while reading, the user is told that loading failed and why.
        throw EQBException(kErrorLoadingIcon, e.what(), TQBSeverity::Warning);
    }
    return *icon_;
}

void FillImageFlags(TIconDef& def, const TQBIcon& icon) {
    if (icon.Has16Colors()) def.Colors |= kHas16Colors;
    if (icon.Has256Colors()) def.Colors |= kHas256Colors;
    if (icon.Has16x16()) def.Sizes |= kHas16x16;
    if (icon.Has32x32()) def.Sizes |= kHas32x32;
    if (icon.Has48x48()) def.Sizes |= kHas48x48;
}

}  // namespace gs
