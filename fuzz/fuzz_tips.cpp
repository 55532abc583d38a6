// The tip file: read as the tip window reads it, shuffled and walked round once.
#include <cstdlib>
#include <random>

#include "FuzzFile.h"
#include "framework/core/TipList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzzInputAsFile(data, size);
    if (path.empty()) return 0;
    gs::TTipList tips(gs::ReadTipFile(path));
    std::mt19937 shuffle{static_cast<unsigned>(size)};
    tips.Shuffle(shuffle);
    for (int i = 0; i <= tips.Count(); ++i) {
        // No line holds a line break, and the walk comes back to where it began.
        if (tips.Current().find_first_of("\r\n") != std::string::npos) std::abort();
        tips.Next();
    }
    if (!tips.Empty() && tips.Index() != 1 % tips.Count()) std::abort();
    return 0;
}
