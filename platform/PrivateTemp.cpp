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
constexpr const char* kHandOverPattern = "glyphscope-handed-XXXXXX";
constexpr const char* kSubfolderPattern = "send-XXXXXX";

std::filesystem::path makeUnique(const std::filesystem::path& parent, const char* pattern) {
    std::string name = (parent / pattern).string();
    if (!::mkdtemp(name.data()))
        throw EFCreateError("Cannot create the temporary folder in \"" + parent.string() + "\": " + std::strerror(errno));
    return name;
}

// Made on first use; removed when the program ends normally (the static's destructor)
// unless it is to stay.
struct Folder {
    const char* pattern;
    bool stays;
    std::filesystem::path path;
    std::mutex lock;
    ~Folder() {
        if (path.empty() || stays) return;
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::filesystem::path tempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

const std::filesystem::path& made(Folder& folder) {
    std::lock_guard<std::mutex> guard(folder.lock);
    if (folder.path.empty()) folder.path = makeUnique(tempRoot(), folder.pattern);
    return folder.path;
}

}  // namespace

const std::filesystem::path& PrivateTempFolder() {
    static Folder folder{kFolderPattern, false, {}, {}};
    return made(folder);
}

const std::filesystem::path& HandOverFolder() {
    static Folder folder{kHandOverPattern, true, {}, {}};
    return made(folder);
}

std::filesystem::path NewHandOverSubfolder() { return makeUnique(HandOverFolder(), kSubfolderPattern); }

}  // namespace gs
