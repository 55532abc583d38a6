#include "app/core/FolderWalk.h"

#include <algorithm>
#include <system_error>

#include <sys/stat.h>

#include "app/core/FilePattern.h"
#include "platform/FileKinds.h"

namespace gs {

TFolderListing ListFolder(const std::filesystem::path& folder) {
    TFolderListing listing;
    std::filesystem::directory_iterator it(folder, listing.Error);
    for (; !listing.Error && it != std::filesystem::directory_iterator(); it.increment(listing.Error))
        listing.Names.push_back(it->path().filename().string());
    std::sort(listing.Names.begin(), listing.Names.end(), ListingOrderLess);
    return listing;
}

std::vector<std::string> SortedFolderEntries(const std::filesystem::path& folder) {
    return ListFolder(folder).Names;
}

EntryKind KindOf(const std::filesystem::path& path) {
    struct stat own {};
    if (::lstat(path.c_str(), &own) != 0) return EntryKind::Missing;
    if (S_ISDIR(own.st_mode)) return OnPseudoFileSystem(path) ? EntryKind::Other : EntryKind::Folder;
    // A regular file lies on the file system of the folder listing it, which was checked
    // when the walk entered it; the bytes are checked again when the file is opened.
    if (S_ISREG(own.st_mode)) return EntryKind::RegularFile;
    if (!S_ISLNK(own.st_mode)) return EntryKind::Other;
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) return EntryKind::Missing;
    if (S_ISDIR(target.st_mode)) return EntryKind::FolderLink;
    return S_ISREG(target.st_mode) && !OnPseudoFileSystem(path) ? EntryKind::RegularFile : EntryKind::Other;
}

bool IsWalkableFolder(const std::filesystem::path& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && !OnPseudoFileSystem(folder);
}

bool TVisitedFolders::Enter(const std::filesystem::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return seen_.emplace(st.st_dev, st.st_ino).second;
}

}  // namespace gs
