#pragma once
// What the icons read from a file hold: the image bytes each counted once however many
// images share them, as the read budget counts them.
#include <cstdint>
#include <set>

#include "iconlib/Icon.h"

namespace gstest {

inline void collectHeld(const gs::TQBIcon& icon, std::set<const gs::Bytes*>& seen, std::uint64_t& total) {
    for (std::uint16_t i = 0; i < icon.Images().Count(); ++i) {
        const gs::Bytes& data = icon.Images().GetImage(i)->Data();
        if (seen.insert(&data).second) total += data.size();
    }
}

template <class Icons>
std::uint64_t heldBytes(const Icons& icons) {
    std::set<const gs::Bytes*> seen;
    std::uint64_t total = 0;
    for (const gs::TQBIcon* icon : icons) collectHeld(*icon, seen, total);
    return total;
}

}  // namespace gstest
