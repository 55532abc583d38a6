#pragma once
// The order of the icon list: by caption (column 0) or by original file (column 1), either
// way round. Arranging by the sorted column turns the order round; another column sorts
// ascending. The report's headers mark the sorted column with its direction.
#include <array>
#include <string>

namespace gs {

struct TListOrder {
    int Column = 0;
    bool Ascending = true;

    void Arrange(int column);
    // The two column captions, the sorted one marked " (ASC)" or " (DESC)".
    std::array<std::string, 2> Captions() const;
    // The order stored as two numbers: any column but 1 is the caption's, any direction
    // but 0 ascending.
    static TListOrder Stored(int column, int ascending);
};

}  // namespace gs
