#include "app/core/Options.h"

#include <algorithm>
#include <exception>

#include "framework/core/RegUtils.h"

namespace gs {

namespace {

std::string optionsKey(const std::string& appKey) { return appKey + "\\" + TKAVUOptions::kOptionsSubkey; }

}  // namespace

std::vector<std::string> TKAVUOptions::defaultScanExtensions() {
    return {".exe", ".dll", ".ico", ".cpl", ".ocx", ".icl"};
}

bool TKAVUOptions::Load(TRegistryStore& store, RegRootId root, const std::string& appKey) {
    const std::string key = optionsKey(appKey);
    // One read transaction, so the options come from one consistent state of the store.
    std::optional<TRegTransaction> snapshot = RegBeginRead(store);
    storeUnread_ = !snapshot;
    if (!snapshot) return false;
    try {
        Visit([&](const char* name, auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>) {
                field = RegReadBool(store, root, key, name, field);
            } else if constexpr (std::is_same_v<T, int>) {
                field = RegReadInteger(store, root, key, name, field);
            } else if constexpr (std::is_same_v<T, std::string>) {
                field = RegReadString(store, root, key, name, field);
            } else if (std::optional<std::vector<std::string>> list = RegReadStringList(store, root, key, name)) {
                field = std::move(*list);
            }
        });
        snapshot->Commit();
    } catch (const std::exception&) {
    }
    return true;
}

bool TKAVUOptions::Save(TRegistryStore& store, RegRootId root, const std::string& appKey) const {
    if (storeUnread_) return false;
    const std::string key = optionsKey(appKey);
    try {
        TRegTransaction save = store.begin(TRegistryStore::Mode::Write);
        bool all = true;
        Visit([&](const char* name, const auto& field) {
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>) {
                all &= RegWriteBool(store, root, key, name, field);
            } else if constexpr (std::is_same_v<T, int>) {
                all &= RegWriteInteger(store, root, key, name, field);
            } else if constexpr (std::is_same_v<T, std::string>) {
                all &= RegWriteString(store, root, key, name, field);
            } else {
                all &= RegWriteStringList(store, root, key, name, field);
            }
        });
        if (!all) return false;  // the transaction is undone: the stored options stay whole
        save.Commit();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

int TKAVUOptions::EffectiveMRULimit() const { return std::clamp(MRULimit, kMRULimitMin, kMRULimitMax); }
int TKAVUOptions::EffectiveLimitNumber() const { return std::max(LimitNumber, kLimitNumberMin); }
int TKAVUOptions::EffectiveMemStopPerc() const { return std::clamp(MemStopPerc, kMemStopPercMin, kMemStopPercMax); }

int FontSizeIndexToPoints(int index) {
    switch (index) {
    case 1: return 10;
    case 2: return 11;
    case 3: return 12;
    case 4: return 14;
    case 5: return 16;
    case 6: return 18;
    default: return 8;
    }
}

}  // namespace gs
