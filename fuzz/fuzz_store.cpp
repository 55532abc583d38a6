// The settings and the favourites tree read back from a store whose values anyone could
// have edited: the input is a list of values to put in the store first, each an option
// (named among the options' own names, of any value type) or a favourite (at a key path of
// any depth, with any name and target). The options are then loaded and their clamped
// values taken, the favourites tree loaded, saved back and loaded again unchanged.
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "app/core/ExtractThread.h"
#include "app/core/Favorites.h"
#include "app/core/Options.h"
#include "platform/RegistryStore.h"

namespace {

constexpr gs::RegRootId kRoot = gs::HKEY_CURRENT_USER;
const std::string kAppKey = "Software\\Fuzz\\Glyphscope";

struct Input {
    std::span<const std::uint8_t> rest;
    std::uint8_t byte() {
        if (rest.empty()) return 0;
        const std::uint8_t b = rest[0];
        rest = rest.subspan(1);
        return b;
    }
    std::string text() {
        const std::size_t n = std::min<std::size_t>(byte(), rest.size());
        std::string s(rest.begin(), rest.begin() + std::ptrdiff_t(n));
        rest = rest.subspan(n);
        return s;
    }
};

gs::TRegValue valueOf(std::uint8_t type, std::string text) {
    switch (type % 4) {
        case 0: return gs::TRegValue::Sz(std::move(text));
        case 1: return gs::TRegValue::ExpandSz(std::move(text));
        case 2: {
            std::uint32_t n = 0;
            for (std::size_t i = 0; i < text.size() && i < 4; ++i) n |= std::uint32_t(std::uint8_t(text[i])) << (8 * i);
            return gs::TRegValue::Dword(n);
        }
        default: return gs::TRegValue::Binary(gs::TBytes(text.begin(), text.end()));
    }
}

std::string describe(const gs::TFavoritesFolder& folder) {
    std::string out = "[" + folder.Name;
    for (int i = 0; i < folder.Folders.Count(); ++i) out += describe(*folder.Folders[i]);
    for (int i = 0; i < folder.Favorites.Count(); ++i)
        out += "|" + folder.Favorites[i]->Name + "=" + folder.Favorites[i]->Target;
    return out + "]";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::string> optionNames = [] {
        std::vector<std::string> names;
        gs::TKAVUOptions().Visit([&](const char* name, auto&) { names.emplace_back(name); });
        return names;
    }();
    gs::TRegistryStore store{std::string(gs::TRegistryStore::kInMemory)};
    Input in{{data, size}};
    try {
        gs::TRegTransaction t = store.begin(gs::TRegistryStore::Mode::Write);
        const gs::RegKeyId options = t.CreateKey(kRoot, kAppKey + "\\" + gs::TKAVUOptions::kOptionsSubkey);
        for (int records = 0; !in.rest.empty() && records < 256; ++records) {
            const std::uint8_t op = in.byte();
            const std::uint8_t type = in.byte();
            if (op % 3 == 0) {
                const std::string& name = optionNames[in.byte() % optionNames.size()];
                t.WriteValue(options, name, valueOf(type, in.text()));
            } else if (op % 3 == 1) {
                // A value of a list subkey (the extensions' names are its value names).
                const gs::RegKeyId list = t.CreateSubkey(options, optionNames[in.byte() % optionNames.size()]);
                t.WriteValue(list, in.text(), valueOf(type, in.text()));
            } else {
                const std::string path = in.text();
                const gs::RegKeyId key = t.CreateKey(kRoot, gs::FavoritesKey(kAppKey) + (path.empty() ? "" : "\\" + path));
                const std::string name = in.text();
                t.WriteValue(key, name, valueOf(type, in.text()));
            }
        }
        t.Commit();
    } catch (const gs::ERegistryError&) {
        return 0;  // a key path or name the store itself refuses
    }
    gs::TKAVUOptions options;
    options.Load(store, kRoot, kAppKey);
    const int clamped = options.EffectiveMRULimit() + options.EffectiveMemStopPerc();
    if (options.EffectiveLimitNumber() < 1 || clamped < 2 || clamped > 120) std::abort();
    gs::TExtractSettings::FromOptions(options);

    gs::TFavoritesFolder tree;
    tree.Load(store, kRoot, gs::FavoritesKey(kAppKey));
    const std::string before = describe(tree);
    if (tree.Save(store, kRoot, gs::FavoritesKey(kAppKey))) {
        gs::TFavoritesFolder again;
        again.Load(store, kRoot, gs::FavoritesKey(kAppKey));
        if (describe(again) != before) std::abort();
    }
    return 0;
}
