// The toolbar core's case folding against Qt's (QChar::toCaseFolded, simple case folding of
// the same Unicode version) over every code point but the surrogates.
#include <gtest/gtest.h>

#include <QChar>

#include "toolbar/core/Common.h"

TEST(ToolbarCaseFold, AgreesWithQtOverEveryCodePoint) {
    int differ = 0;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        const char32_t qt = QChar::toCaseFolded(c);
        if (tb::FoldCase(c) != qt && ++differ <= 10)
            ADD_FAILURE() << std::hex << "U+" << unsigned(c) << " folds to U+" << unsigned(tb::FoldCase(c))
                          << ", Qt's to U+" << unsigned(qt);
    }
    EXPECT_EQ(differ, 0);
}
