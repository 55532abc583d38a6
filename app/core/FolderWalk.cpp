#include "app/core/FolderWalk.h"

#include <algorithm>
#include <system_error>

#include <sys/stat.h>

#include "app/core/FilePattern.h"

namespace gs {

std::vector<std::string> SortedFolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end(), ListingOrderLess);
    return names;
}

EntryKind KindOf(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_status st = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(st)) return EntryKind::Missing;
    if (std::filesystem::is_directory(st)) return EntryKind::Folder;
    if (std::filesystem::is_regular_file(st)) return EntryKind::RegularFile;
    return EntryKind::Other;
}

bool VisitedFolders::Enter(const std::filesystem::path& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    return seen_.emplace(st.st_dev, st.st_ino).second;
}

}  // namespace gs
