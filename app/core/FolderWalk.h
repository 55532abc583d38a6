#pragma once
// What a folder walk needs to be the same on every run and to end on any tree: the entries
// of a folder in one fixed order, the kind of each entry (links to folders are not entered,
// and only files of data are read), and a memory of the folders already entered, so that a
// folder mounted inside itself is not walked round and round. Names are bytes.
#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace gs {

// The one listing of a folder that the scan and the batch both read: the names of its
// entries in listing order (ListingOrderLess), and the error that stopped the listing, if
// any (what was read before a failure part way is kept).
struct TFolderListing {
    std::vector<std::string> Names;
    std::error_code Error;
};
TFolderListing ListFolder(const std::filesystem::path& folder);

// The names of ListFolder, nothing when the folder cannot be read: a scan goes on without it.
std::vector<std::string> SortedFolderEntries(const std::filesystem::path& folder);

// The kind of a folder's entry as a walk takes it. Only regular files of real file systems
// are ever read (a link to one included); a walk enters real folders only, never a link to
// a folder (as find(1) does not), so a link to / inside the tree does not walk the disk.
// FIFOs, devices, sockets, dangling links and what lies on a pseudo file system (/proc,
// /sys) are Other: never opened, so nothing there can block the walk or never end.
enum class EntryKind { Missing, Folder, FolderLink, RegularFile, Other };
EntryKind KindOf(const std::filesystem::path& path);

// A folder a walk may list: a folder (links followed, as the folder a user chose may be
// one) that does not lie on a pseudo file system.
bool IsWalkableFolder(const std::filesystem::path& folder);

// Folders met on one walk, known by device and inode (so two links to one folder are one).
class TVisitedFolders {
public:
    // True the first time a folder is met; false when it was met before or cannot be read.
    bool Enter(const std::filesystem::path& folder);

private:
    std::set<std::pair<dev_t, ino_t>> seen_;
};

}  // namespace gs
