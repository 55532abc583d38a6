#pragma once
// A private folder for one test, removed with everything in it afterwards.
#include <cstdlib>
#include <filesystem>
#include <string>


namespace gstest {

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "gs-test-XXXXXX").string();
        path = mkdtemp(t.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(const std::string& name) const { return (path / name).string(); }
};

}  // namespace gstest
