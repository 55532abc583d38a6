#pragma once
// The image bytes icons hold, each shared block counted once, as the read budget counts them.
#include <cstdint>
#include <set>

#include "iconlib/Icon.h"

namespace gstest {

inline std::uint64_t heldBytes(const std::vector<const gs::TQBIcon*>& icons) {
    std::set<const gs::TBytes*> seen;
    std::uint64_t total = 0;
    for (const gs::TQBIcon* icon : icons)
        for (std::uint16_t i = 0; i < icon->Images().Count(); ++i)
            if (seen.insert(&icon->Images().GetImage(i)->Data()).second) total += icon->Images().GetImage(i)->Data().size();
    return total;
}

}  // namespace gstest
