// The export road: the icons of a fuzzed file (an icon file or a module) are read, one of
// their images chosen (with or without re-rendering a missing size) and written in each of
// the six formats. The first byte picks the choice; the rest is the file.
#include <filesystem>
#include <string>

#include "FuzzFile.h"
#include "export/IconExport.h"
#include "iconlib/IconLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t pick = data[0];
    const std::string path = fuzzInputAsFile(data + 1, size - 1);
    if (path.empty() || fuzzScratchFolder().empty()) return 0;
    gs::TQBIconLibrary library;
    if (library.Read(path).Result != gs::TLoadResult::Read) return 0;
    const gs::TImageChoice choice{gs::TBatchIconSize(pick & 3), (pick & 4) != 0, (pick & 8) != 0};
    const bool transparent = (pick & 16) != 0;
    const std::filesystem::path folder = fuzzScratchFolder();
    for (int i = 0; i < library.Icons.Count() && i < 3; ++i)
        for (const gs::TImageFormat& format : gs::ImageFormats()) {
            try {
                gs::WriteIconAs(format.Code, *library.Icons.GetIcon(i), choice, transparent,
                                folder / (std::string("out") + format.Save.Extension));
            } catch (const std::exception&) {
                // A write refused with a clear error is an answer; a crash or a hang is not.
            }
        }
    return 0;
}
