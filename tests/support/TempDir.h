#pragma once
// A private folder for one test, removed with everything in it afterwards, however the test
// ends (a failed assertion returns early: a folder removed by hand at the end would stay).
// The prefix may hold blanks, for tests of names with blanks in them.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace gstest {

struct TempDir {
    std::filesystem::path path;
    explicit TempDir(const std::string& prefix = "gs-test-") {
        std::string t = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
        if (!mkdtemp(t.data())) throw std::runtime_error("cannot make a temporary folder from " + t);
        path = t;
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
