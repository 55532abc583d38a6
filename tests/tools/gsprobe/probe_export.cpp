// gsprobe subcommand over the image export: export-bmp.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

#include "Probe.h"
#include "iconlib/export/ImageExport.h"
#include "platform/Bmp.h"

using namespace gs;

namespace {

std::string lowerExtension(const std::string& file) {
    std::string ext = std::filesystem::path(file).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

// export-bmp {gif|jpg|wmf|emf|tif} IN.bmp OUT [--transparent]
// The metafile kind must agree with OUT's extension, which is what chooses WMF or EMF.
int exportBmp(const gsprobe::Args& a) {
    if (a.size() < 3 || a.size() > 4 || (a.size() == 4 && a[3] != "--transparent")) return gsprobe::kUsage;
    const std::string& kind = a[0];
    Raster bitmap = loadBmp(a[1]);
    bitmap.setTransparent(a.size() == 4);
    const std::string& out = a[2];
    if (kind == "jpg") {
        SaveBitmapAsJPEG(&bitmap, out);
    } else if (kind == "tif") {
        SaveBitmapAsTIFF(&bitmap, out);
    } else if (kind == "wmf" || kind == "emf") {
        if ((kind == "wmf") != (lowerExtension(out) == ".wmf")) return gsprobe::kUsage;
        SaveBitmapAsMetafile(&bitmap, out);
#ifdef GS_HAVE_GIF_EXPORT
    } else if (kind == "gif") {
        SaveBitmapAsGIF(&bitmap, out);
#endif
    } else {
        return gsprobe::kUsage;
    }
    return 0;
}

const gsprobe::Registrar r("export-bmp", exportBmp);

}  // namespace
