#pragma once
// The program's process-wide state, made by start-up and released by teardown: the
// descriptor (installed for application()), the options and the find record, next to the
// settings store they come from.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/core/Favorites.h"
#include "app/core/Options.h"
#include "platform/RegistryStore.h"

namespace gs {

// Where the last search looked and what it found; a new search starts at the top.
struct TFindInfo {
    std::uint8_t Where = 0;  // 0 icon name, 1 original file, 2 both
    std::string Text;
    bool MatchCase = false;
    int LastIndex = -1;
};

class TAppContext {
public:
    explicit TAppContext(TRegistryStore& store) : Store(store) {}

    TRegistryStore& Store;
    TKAVUOptions Options;
    TFindInfo FindInfo;
    TFavoritesFolder Favorites;
    // Set when the tree changed since the Favorites menu was last built (and at start).
    bool FavoritesModified = true;
    // What the user is to be told about the settings store and has not been yet: what the
    // store said (damaged and moved aside, busy, unusable, read-only) and which of the
    // run's settings could not be read (and so are not saved over).
    std::vector<std::string> StoreNotices;
};

// What teardown keeps of the run's state.
enum class TFinalizeMode {
    SaveState,    // the options go back to the store (the window's end)
    DiscardState  // nothing is written (a batch run, which never changes the options)
};

// The set-up every mode shares, in order: the descriptor filled for the program file and
// installed; "Location" and "Version" written under the application key (failures
// ignored); the options loaded over their defaults; the favourites loaded; a fresh find
// record.
std::unique_ptr<TAppContext> InitializeApplication(const std::string& exeName, TRegistryStore& store);

// The notices not yet told, with any the store said since, each a sentence without the
// program's prefix; the context's list is emptied.
std::vector<std::string> TakeStoreNotices(TAppContext& context);

// Saves what the mode keeps (the options, then the favourites), then takes the descriptor back.
void FinalizeApplication(std::unique_ptr<TAppContext> context, TFinalizeMode mode);

}  // namespace gs
