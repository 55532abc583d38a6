#include "controls/core/GlyphSlots.h"

#include <algorithm>

namespace gs {

int TGlyphSlots::Add() {
    auto free = std::find(used_.begin(), used_.end(), false);
    const int slot = int(free - used_.begin());
    if (free == used_.end()) used_.push_back(true);
    else *free = true;
    ++count_;
    return slot;
}

void TGlyphSlots::Delete(int slot) {
    if (!Used(slot)) return;
    used_[std::size_t(slot)] = false;
    --count_;
}

bool TGlyphSlots::Used(int slot) const { return slot >= 0 && slot < Size() && used_[std::size_t(slot)]; }

}  // namespace gs
