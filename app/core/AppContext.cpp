#include "app/core/AppContext.h"

#include "app/core/AppIdentity.h"
#include "framework/core/RegUtils.h"

namespace gs {

namespace {

constexpr const char* kLocationValue = "Location";
constexpr const char* kVersionValue = "Version";

}  // namespace

std::unique_ptr<TAppContext> InitializeApplication(const std::string& exeName, TRegistryStore& store) {
    std::unique_ptr<TQBApplication> descriptor = makeApplicationDescriptor(exeName);
    const RegRootId root = descriptor->RegRoot;
    const std::string appKey = descriptor->RegAppKey;
    RegWriteString(store, root, appKey, kLocationValue, descriptor->AppPath);
    RegWriteString(store, root, appKey, kVersionValue, descriptor->VersionText);
    installApplication(std::move(descriptor));
    auto context = std::make_unique<TAppContext>(store);
    context->Options.Load(store, root, appKey);
    context->Favorites.Load(store, root, FavoritesKey(appKey));
    return context;
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
