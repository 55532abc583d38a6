#pragma once
// A batch file pattern: a folder and a name pattern ("icons/*.dll"), matched as the
// desktop matches them (without regard to case; "?" one character, "*" any run of them,
// "*.*" every name), and the regular files of the folder it selects, in a fixed order.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct TFileSpecParts {
    std::string Folder;   // the text up to the last "/" (empty for the current folder)
    std::string Pattern;  // the name pattern after it
};
TFileSpecParts SplitFileSpec(const std::string& fileSpec);

// Case-insensitive match of a whole name. A pattern ending in ".*" also matches the names
// without that extension, so "*.*" matches every name and "a*.*" matches "abc".
bool MatchesFileSpec(std::string_view pattern, std::string_view name);

// Listing order: without regard to case first, then byte by byte, so that two runs over
// the same folder always meet its files in the same order.
bool ListingOrderLess(const std::string& a, const std::string& b);

// The regular files (links followed) of the folder whose names match the pattern, sorted
// in listing order, read whole before the caller writes anything into the folder. Names
// beginning with "." are left out, as are folders, FIFOs, devices and dangling links. A
// folder that does not exist gives nothing; one that cannot be read raises EFOpenError. A
// name without wildcards that names a regular file is that file, the folder not listed.
std::vector<std::filesystem::path> ListMatchingFiles(const TFileSpecParts& spec);

}  // namespace gs
