#pragma once
// Test material for the extraction: icon files and modules written in code, and a sink that
// records what a run hands over.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/core/ExtractThread.h"
#include "iconlib/PEResources.h"
#include "support/IconMaker.h"
#include "support/TempDir.h"

namespace gstest {

// A PE module with `groups` icon groups (ids 1..n), each a 16-pixel 16-colour and a
// 32-pixel 256-colour image.
inline TBytes peWithGroups(int groups, unsigned seed = 1) {
    std::vector<PeResource> res;
    for (int g = 0; g < groups; ++g) {
        const auto small = dibSpec(16, 4, seed + unsigned(g)), large = dibSpec(32, 8, seed + unsigned(g));
        const auto first = std::uint16_t(2 * g + 1), second = std::uint16_t(2 * g + 2);
        res.push_back({gs::RT_ICON, first, "", 0x0409, small.data});
        res.push_back({gs::RT_ICON, second, "", 0x0409, large.data});
        res.push_back({gs::RT_GROUP_ICON, std::uint16_t(g + 1), "", 0x0409, makeGroup({small, large}, {first, second})});
    }
    return makePeModule(res);
}

// One icon with one 32-pixel image.
inline TBytes oneIcon(unsigned seed = 1) { return makeIcoFile({dibSpec(32, 8, seed)}); }

// A module cut in half: its resource directory is whole, so the desktop counts its icons,
// but the images lie past the end, so reading them fails.
inline TBytes truncatedModule() {
    TBytes m = peWithGroups(2, 7);
    m.resize(m.size() / 2);
    return m;
}

struct Tree : TempDir {
    std::filesystem::path put(const std::string& rel, const TBytes& data) const {
        const std::filesystem::path p = path / rel;
        std::filesystem::create_directories(p.parent_path());
        writeFile(p.string(), data);
        return p;
    }
    std::filesystem::path dir(const std::string& rel) const {
        std::filesystem::create_directories(path / rel);
        return path / rel;
    }
};

// Records every call; answers the running count, or -1 at the icon numbered `refuseAt`
// (the icons of its batch before it stay listed).
struct RecordingSink : gs::IIconSink {
    int resets = 0;
    int refuseAt = 0;
    int batches = 0;
    std::vector<std::unique_ptr<gs::TIconDef>> defs;
    std::vector<std::pair<std::filesystem::path, std::string>> failures;
    std::vector<std::thread::id> threads;  // the thread of every call
    std::function<void(const gs::TIconDef&)> onAdd;

    void ResetIconList() override {
        threads.push_back(std::this_thread::get_id());
        ++resets;
        defs.clear();
    }
    int AddIcons(gs::TIconBatch batch) override {
        threads.push_back(std::this_thread::get_id());
        ++batches;
        for (auto& def : batch) {
            if (refuseAt != 0 && int(defs.size()) + 1 == refuseAt) return -1;
            if (onAdd) onAdd(*def);
            defs.push_back(std::move(def));
        }
        return int(defs.size());
    }
    void FileFailed(const std::filesystem::path& file, const std::string& error) override {
        threads.push_back(std::this_thread::get_id());
        failures.emplace_back(file, error);
    }

    // "base#index@file-name" of every definition, in the order handed over.
    std::vector<std::string> listing() const {
        std::vector<std::string> out;
        for (const auto& d : defs)
            out.push_back(d->Name + "#" + std::to_string(d->IconIndex) + "@" + d->FileName.filename().string());
        return out;
    }
};

inline gs::TExtractSettings settings(bool recurse = true) {
    gs::TExtractSettings s;
    s.Extensions = {".exe", ".dll", ".ico", ".cpl", ".ocx", ".icl"};
    s.Recurse = recurse;
    return s;
}

}  // namespace gstest
