#pragma once
// Which slots of a list of same-sized glyph pictures are in use. A freed slot keeps its
// picture until it is given out again, so a list never shuffles the indexes its users hold.
#include <cstddef>
#include <vector>

namespace gs {

class TGlyphSlots {
public:
    // The first free slot, or a new one at the end; it counts as used.
    int Add();
    // Frees a used slot; anything else is ignored.
    void Delete(int slot);
    bool Used(int slot) const;
    int Count() const { return count_; }
    // Slots ever made, used or not.
    int Size() const { return int(used_.size()); }

private:
    std::vector<bool> used_;
    int count_ = 0;
};

}  // namespace gs
