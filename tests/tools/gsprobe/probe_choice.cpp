// gsprobe subcommand over image choice: bitmap.
#include <map>
#include <optional>

#include "Probe.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"
#include "platform/Bmp.h"

using namespace gs;

namespace {

// Exit code when the icon yields no bitmap of that kind; 4 when there is no icon at INDEX.
constexpr int kNothing = 3;
constexpr int kNoSuchIcon = 4;

using BitmapGetter = std::optional<Raster> (*)(const TQBIcon&);

const std::map<std::string, BitmapGetter>& bitmapKinds() {
    static const std::map<std::string, BitmapGetter> kinds = {
        {"exact48", GetBitmap48},        {"exact32", GetBitmap32},        {"exact16", GetBitmap16},
        {"scaled48", GetScaledBitmap48}, {"scaled32", GetScaledBitmap32}, {"scaled16", GetScaledBitmap16},
        {"preview", GetPreviewBitmap},
    };
    return kinds;
}

// bitmap FILE INDEX KIND OUT.bmp
int bitmap(const gsprobe::Args& a) {
    if (a.size() != 4 || !bitmapKinds().count(a[2])) return gsprobe::kUsage;
    TQBIconLibrary lib;
    lib.LoadFromFile(a[0]);
    const int index = std::stoi(a[1]);
    if (index < 0 || index >= lib.Icons.Count()) return kNoSuchIcon;
    std::optional<Raster> result = bitmapKinds().at(a[2])(*lib.Icons.GetIcon(index));
    if (!result) return kNothing;
    saveBmp(*result, a[3]);
    return 0;
}

gsprobe::Registrar r("bitmap", bitmap);

}  // namespace
