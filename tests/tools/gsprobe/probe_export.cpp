// gsprobe subcommand over the image export: export-bmp.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "Probe.h"
#include "export/ImageExport.h"
#include "platform/Bmp.h"

using namespace gs;

namespace {

std::string lowerExtension(const std::string& file) {
    std::string ext = std::filesystem::path(file).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

// The metafile kind must agree with OUT's extension, which is what chooses WMF or EMF.
int exportRaster(const std::string& kind, const TRaster& bitmap, const std::string& out) {
    if (kind == "jpg") {
        SaveBitmapAsJPEG(&bitmap, out);
    } else if (kind == "tif") {
        SaveBitmapAsTIFF(&bitmap, out);
    } else if (kind == "wmf" || kind == "emf") {
        if ((kind == "wmf") != (lowerExtension(out) == ".wmf")) return gsprobe::kUsage;
        SaveBitmapAsMetafile(&bitmap, out);
    } else if (kind == "gif") {
        SaveBitmapAsGIF(&bitmap, out);
    } else {
        return gsprobe::kUsage;
    }
    return 0;
}

// export-bmp {gif|jpg|wmf|emf|tif} IN.bmp OUT [--transparent]
int exportBmp(const gsprobe::Args& a) {
    if (a.size() < 3 || a.size() > 4 || (a.size() == 4 && a[3] != "--transparent")) return gsprobe::kUsage;
    TRaster bitmap = loadBmp(a[1]);
    bitmap.SetTransparent(a.size() == 4);
    return exportRaster(a[0], bitmap, a[2]);
}

// export {gif|jpg|wmf|emf|tif} FILE INDEX KIND OUT [--transparent]: an icon's bitmap of
// KIND (as for bitmap), exported.
int exportIcon(const gsprobe::Args& a) {
    if (a.size() < 5 || a.size() > 6 || (a.size() == 6 && a[5] != "--transparent")) return gsprobe::kUsage;
    int status = 0;
    std::optional<TRaster> bitmap = gsprobe::bitmapOf(a[1], a[2], a[3], status);
    if (!bitmap) return status;
    bitmap->SetTransparent(a.size() == 6);
    return exportRaster(a[0], *bitmap, a[4]);
}

const gsprobe::Registrar r("export-bmp", exportBmp);
const gsprobe::Registrar r2("export", exportIcon);

}  // namespace
