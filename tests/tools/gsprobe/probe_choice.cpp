// gsprobe subcommand over image choice: bitmap.
#include <map>
#include <optional>

#include "Probe.h"
#include "iconlib/IconChoice.h"
#include "iconlib/IconLibrary.h"
#include "platform/Bmp.h"

using namespace gs;

namespace {

using BitmapGetter = std::optional<TRaster> (*)(const TQBIcon&);

const std::map<std::string, BitmapGetter>& bitmapKinds() {
    static const std::map<std::string, BitmapGetter> kinds = {
        {"exact48", GetBitmap48},        {"exact32", GetBitmap32},        {"exact16", GetBitmap16},
        {"scaled48", GetScaledBitmap48}, {"scaled32", GetScaledBitmap32}, {"scaled16", GetScaledBitmap16},
        {"preview", GetPreviewBitmap},
    };
    return kinds;
}

}  // namespace

std::optional<TRaster> gsprobe::bitmapOf(const std::string& file, const std::string& indexText, const std::string& kind,
                                        int& status) {
    status = kUsage;
    if (!bitmapKinds().count(kind)) return std::nullopt;
    TQBIconLibrary lib;
    lib.LoadFromFile(file);
    const int index = std::stoi(indexText);
    status = kNoSuchIcon;
    if (index < 0 || index >= lib.Icons.Count()) return std::nullopt;
    std::optional<TRaster> result = bitmapKinds().at(kind)(*lib.Icons.GetIcon(index));
    status = result ? 0 : kNothing;
    return result;
}

namespace {
// bitmap FILE INDEX KIND OUT.bmp
int bitmap(const gsprobe::Args& a) {
    if (a.size() != 4) return gsprobe::kUsage;
    int status = 0;
    std::optional<TRaster> result = gsprobe::bitmapOf(a[0], a[1], a[2], status);
    if (!result) return status;
    saveBmp(*result, a[3]);
    return 0;
}

gsprobe::Registrar r("bitmap", bitmap);
}  // namespace
