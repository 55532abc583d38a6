#pragma once
// Test material of the save and share commands: listed definitions over modules written in
// code, scripted answers for the save loop, and the independent tools.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ExtractMaterial.h"
#include "app/core/IconDef.h"
#include "app/core/SaveIcons.h"
#include "export/ExportTestSupport.h"
#include "framework/core/FileUtils.h"

namespace gstest {

using gs::testing::fileBytes;
inline std::string q(const std::filesystem::path& p) { return gs::testing::quoted(p); }
using gs::testing::runTool;

// A module of one group with exact 16, 32 and 48 images.
inline TBytes peWithThreeSizes() {
    const auto a = dibSpec(16, 8, 3), b = dibSpec(32, 8, 4), c = dibSpec(48, 32, 5);
    return makePeModule({{gs::RT_ICON, 1, "", 0x0409, a.data},
                         {gs::RT_ICON, 2, "", 0x0409, b.data},
                         {gs::RT_ICON, 3, "", 0x0409, c.data},
                         {gs::RT_GROUP_ICON, 1, "", 0x0409, makeGroup({a, b, c}, {1, 2, 3})}});
}

// Definitions of the first `names.size()` icons of a file, named as given.
struct Listed {
    std::vector<std::unique_ptr<gs::TIconDef>> owned;
    std::vector<gs::TIconDef*> defs;
    Listed(const std::filesystem::path& file, const std::vector<std::string>& names) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            owned.push_back(std::make_unique<gs::TIconDef>());
            owned.back()->FileName = file;
            owned.back()->IconIndex = int(i);
            owned.back()->Name = names[i];
            defs.push_back(owned.back().get());
        }
    }
};

// The save loop's questions answered from a script; what was asked is recorded.
struct ScriptedQuestions : gs::ISaveQuestions {
    std::optional<std::string> folder;
    std::deque<std::optional<std::string>> fileNames;
    std::deque<gs::TQBMessageResult> answers;
    std::vector<std::string> asked, dialogFolders, results;
    int browsed = 0;

    std::optional<std::string> BrowseDestination(const std::string&) override {
        ++browsed;
        return folder;
    }
    std::optional<std::string> AskFileName(const gs::TSaveTarget&, const std::string& start, const std::string&) override {
        dialogFolders.push_back(start);
        if (fileNames.empty()) return std::nullopt;
        auto next = fileNames.front();
        fileNames.pop_front();
        return next;
    }
    gs::TQBMessageResult AskReplace(const std::string& message) override {
        asked.push_back(message);
        if (answers.empty()) return gs::TQBMessageResult::mrCancel;
        auto next = answers.front();
        answers.pop_front();
        return next;
    }
    void ShowResult(const std::string& message) override { results.push_back(message); }
};

// Three icons of one module to save into an empty folder, the save's default.
struct SaveMaterial : Tree {
    std::filesystem::path module = put("m.dll", peWithGroups(3, 11));
    std::filesystem::path out = dir("out");
    Listed listed{module, {"a", "b", "c"}};
    gs::TKAVUOptions options;
    ScriptedQuestions ui;

    SaveMaterial() { options.DefaultFolder = out.string(); }
    std::string file(const std::string& name) const { return (out / name).string(); }
};

// Whether a program is on PATH.
inline bool haveCommand(const std::string& name) { return runTool("command -v " + name + " >/dev/null").status == 0; }

// icotool -l of an icon file, one "WxH depth" line per image.
inline std::string iconImages(const std::string& file) {
    return runTool("icotool -l " + file + " | sed -E 's/.*--width=([0-9]+) --height=([0-9]+) --bit-depth=([0-9]+).*/\\1x\\2 \\3/'").out;
}

}  // namespace gstest
