#include "platform/PrivateTemp.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unistd.h>

#include "platform/Errors.h"

namespace gs {

namespace {

constexpr const char* kFolderPattern = "glyphscope-XXXXXX";
constexpr const char* kSubfolderPattern = "send-XXXXXX";

std::filesystem::path makeUnique(const std::filesystem::path& parent, const char* pattern) {
    std::string name = (parent / pattern).string();
    if (!::mkdtemp(name.data()))
        throw EFCreateError("Cannot create the temporary folder in \"" + parent.string() + "\": " + std::strerror(errno));
    return name;
}

// Removed when the program ends normally (the static's destructor).
struct Folder {
    std::filesystem::path path;
    ~Folder() {
        if (path.empty()) return;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::filesystem::path tempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

}  // namespace

const std::filesystem::path& PrivateTempFolder() {
    static Folder folder;
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    if (folder.path.empty()) folder.path = makeUnique(tempRoot(), kFolderPattern);
    return folder.path;
}

std::filesystem::path NewPrivateTempSubfolder() { return makeUnique(PrivateTempFolder(), kSubfolderPattern); }

}  // namespace gs
