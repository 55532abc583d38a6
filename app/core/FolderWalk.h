#pragma once
// What a folder walk needs to be the same on every run and to end on any tree: the entries
// of a folder in one fixed order, and a memory of the folders already entered, so that a
// symbolic link back up the tree is not followed round and round. Names are bytes.
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace gs {

// The names of a folder's entries in listing order (ListingOrderLess, the order the batch
// export lists its files in); nothing when it cannot be read (what
// was read before a failure part way is kept).
std::vector<std::string> SortedFolderEntries(const std::filesystem::path& folder);

// The kind of an entry, links followed: only regular files are ever read.
enum class EntryKind { Missing, Folder, RegularFile, Other };
EntryKind KindOf(const std::filesystem::path& path);

// Folders met on one walk, known by device and inode (so two links to one folder are one).
class VisitedFolders {
public:
    // True the first time a folder is met; false when it was met before or cannot be read.
    bool Enter(const std::filesystem::path& folder);

private:
    std::set<std::pair<dev_t, ino_t>> seen_;
};

}  // namespace gs
