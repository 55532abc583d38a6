#include "app/core/FilePattern.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "app/core/FolderWalk.h"
#include "framework/core/FileUtils.h"
#include "platform/Errors.h"
#include "platform/FileKinds.h"
#include "platform/Text.h"

namespace gs {

namespace {

constexpr std::string_view kAnyExtension = ".*";
// The folder itself is named where the failure is told.
constexpr const char* kFolderUnreadable = "The folder cannot be read: ";

// Greedy wildcard match with one backtracking point: linear in practice, never exponential.
bool wildcardMatch(const std::vector<std::string_view>& pat, const std::vector<std::string_view>& name) {
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == "*") {
            starP = p++;
            starN = n;
        } else if (p < pat.size() && (pat[p] == "?" || pat[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == "*") ++p;
    return p == pat.size();
}

bool matchesFolded(const std::string& pattern, const std::string& name) {
    return wildcardMatch(utf8Characters(pattern), utf8Characters(name));
}

}  // namespace

TFileSpecParts SplitFileSpec(const std::string& fileSpec) {
    const std::size_t slash = fileSpec.rfind('/');
    if (slash == std::string::npos) return {std::string(), fileSpec};
    return {fileSpec.substr(0, slash + 1), fileSpec.substr(slash + 1)};
}

bool MatchesFileSpec(std::string_view pattern, std::string_view name) {
    const std::string p = foldCaseUtf8(pattern);
    const std::string n = foldCaseUtf8(name);
    if (matchesFolded(p, n)) return true;
    return p.ends_with(kAnyExtension) && matchesFolded(p.substr(0, p.size() - kAnyExtension.size()), n);
}

bool ListingOrderLess(const std::string& a, const std::string& b) {
    const std::string fa = foldCaseUtf8(a), fb = foldCaseUtf8(b);
    if (fa != fb) return fa < fb;
    return a < b;
}

std::vector<std::filesystem::path> ListMatchingFiles(const TFileSpecParts& spec) {
    // A name without wildcards is opened directly: its folder may be one that can be
    // entered but not listed. Only a name in another case needs the listing.
    const bool exactName = !spec.Pattern.empty() && spec.Pattern.find_first_of("*?") == std::string::npos;
    if (exactName && IsDataFile(spec.Folder + spec.Pattern)) return {spec.Folder + spec.Pattern};
    const std::filesystem::path folder = std::filesystem::path(spec.Folder.empty() ? std::string(".") : spec.Folder);
    const TFolderListing listing = ListFolder(folder);
    if (listing.Names.empty() && (listing.Error == std::errc::no_such_file_or_directory ||
                                  listing.Error == std::errc::not_a_directory))
        return {};
    if (listing.Error) throw EFOpenError(kFolderUnreadable + listing.Error.message());
    std::vector<std::filesystem::path> files;
    for (const std::string& name : listing.Names) {
        if (name.starts_with('.') || !MatchesFileSpec(spec.Pattern, name)) continue;
        // Only files of data: never a FIFO, a device or a file of /proc that never ends.
        if (IsDataFile(folder / name)) files.push_back(spec.Folder + name);
    }
    return files;
}

}  // namespace gs
