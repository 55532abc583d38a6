// The whole reading road of one file, as a scan meets it: opened from the file system (so
// through the block cache of the file source), probed, counted and read by the icon library,
// whole and for its first icon alone.
#include <string>

#include "FuzzCommon.h"
#include "FuzzFile.h"
#include "iconlib/IconLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzInputAsFile(data, size);
    if (path.empty()) return 0;
    gs::GetIconCount(path);
    // The first icon alone, as File Properties reads it.
    if (auto first = gs::ReadFirstIcon(path)) exerciseIcon(*first);
    gs::TQBIconLibrary library;
    if (library.Read(path).Result == gs::TLoadResult::Read)
        for (int i = 0; i < library.Icons.Count(); ++i) exerciseIcon(*library.Icons.GetIcon(i));
    return 0;
}
