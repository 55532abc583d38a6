#include "app/core/ListOrder.h"

namespace gs {

void TListOrder::Arrange(int column) {
    Ascending = column != Column || !Ascending;
    Column = column;
}

std::array<std::string, 2> TListOrder::Captions() const {
    std::array<std::string, 2> captions{"Icon", "Original File"};
    captions[Column == 1 ? 1 : 0] += Ascending ? " (ASC)" : " (DESC)";
    return captions;
}

TListOrder TListOrder::Stored(int column, int ascending) { return {column == 1 ? 1 : 0, ascending != 0}; }

}  // namespace gs
