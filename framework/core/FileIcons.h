#pragma once
// A file's icon as the desktop shows it, through our own readers: the icon at an index of a
// program, library, icon library or icon file (a theme's PNG icon counts as an icon file of
// one image), and the icon of a file by its type's registered icon.
#include <memory>
#include <string>

#include "framework/core/MimeInfo.h"
#include "iconlib/Icon.h"

namespace gs {

inline constexpr const char* kMsgNotAnExecutable = "File is not an executable.";

// The icon at Index of the file: a module's
// icon group at that position, or with a negative index the group whose resource id is
// -Index; an icon file's icon at index 0. Nothing when there is no icon there (or no such
// file); "File is not an executable." (std::runtime_error) for a file that is neither a
// module nor an icon file. The caller owns the icon.
std::unique_ptr<TQBIcon> ExtractIconFromFile(const std::string& fileName, int index);

// The registered icon of the file's type (GetFileDefaultIcon), at its index and then one
// before it; else the file's own icon 0. The error of ExtractIconFromFile passes on.
std::unique_ptr<TQBIcon> GetFileIcon(const std::string& fileName, const TMimeInfo& mime = TMimeInfo::Session());

}  // namespace gs
