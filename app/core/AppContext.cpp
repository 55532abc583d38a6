#include "app/core/AppContext.h"

#include <utility>

#include "app/core/AppIdentity.h"
#include "framework/core/RegUtils.h"

namespace gs {

namespace {

constexpr const char* kLocationValue = "Location";
constexpr const char* kVersionValue = "Version";
constexpr const char* kOptionsUnread =
    "the options could not be read from the settings store; this run uses their defaults and keeps no change to them";
constexpr const char* kFavoritesUnread =
    "the favourites could not be read from the settings store; this run shows none and keeps no change to them";
constexpr const char* kFavoritesTooDeep =
    "the favourites in the settings store are nested more than 64 folders deep; this run shows the first 64 levels "
    "and keeps no change to them";

}  // namespace

std::unique_ptr<TAppContext> InitializeApplication(const std::string& exeName, TRegistryStore& store) {
    std::unique_ptr<TQBApplication> descriptor = makeApplicationDescriptor(exeName);
    const RegRootId root = descriptor->RegRoot;
    const std::string appKey = descriptor->RegAppKey;
    RegWriteString(store, root, appKey, kLocationValue, descriptor->AppPath);
    RegWriteString(store, root, appKey, kVersionValue, descriptor->VersionText);
    installApplication(std::move(descriptor));
    auto context = std::make_unique<TAppContext>(store);
    const bool optionsRead = context->Options.Load(store, root, appKey);
    const TFavoritesLoad favorites = context->Favorites.Load(store, root, FavoritesKey(appKey));
    context->StoreNotices = store.TakeNotices();
    if (!optionsRead) context->StoreNotices.push_back(kOptionsUnread);
    if (favorites == TFavoritesLoad::Unread) context->StoreNotices.push_back(kFavoritesUnread);
    if (favorites == TFavoritesLoad::TooDeep) context->StoreNotices.push_back(kFavoritesTooDeep);
    return context;
}

std::vector<std::string> TakeStoreNotices(TAppContext& context) {
    std::vector<std::string> notices = std::exchange(context.StoreNotices, {});
    for (std::string& said : context.Store.TakeNotices()) notices.push_back(std::move(said));
    return notices;
}

void FinalizeApplication(std::unique_ptr<TAppContext> context, TFinalizeMode mode) {
    if (context && mode == TFinalizeMode::SaveState && hasApplication()) {
        const TQBApplication& app = application();
        context->Options.Save(context->Store, app.RegRoot, app.RegAppKey);
        context->Favorites.Save(context->Store, app.RegRoot, FavoritesKey(app.RegAppKey));
    }
    // Writes kept back while another process held the store get their last chance.
    if (context) context->Store.FlushDeferred();
    context.reset();
    if (hasApplication()) uninstallApplication();
}

}  // namespace gs
