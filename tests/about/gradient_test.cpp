#include "about/gradient.h"

#include <gtest/gtest.h>

namespace {

using about::GradientRowColour;
using about::RowColour;

struct RowCase {
    int row;
    int height;
    RowColour colour;
};

TEST(GradientRowColour, TopMiddleAndBottom) {
    const RowCase cases[] = {
        {0, 214, {20, 113, 220}},    // the top row
        {63, 200, {83, 191, 172}},   // t = 63, the last row of the first formula for green
        {64, 200, {84, 192, 172}},   // t = 64, the first of the second
        {214, 214, {220, 141, 70}},  // row h, just below the client area: t = 200
        {213, 214, {219, 141, 70}},  // the last row inside it: t = 199.07 gives 199
        {1, 1, {220, 141, 70}},
    };
    for (const RowCase& c : cases) {
        EXPECT_EQ(GradientRowColour(c.row, c.height), c.colour)
            << "row " << c.row << " of " << c.height;
    }
}

TEST(GradientRowColour, HalvesGoToTheEvenNeighbour) {
    // Rows of a 16-row background fall on halves of t exactly: 12.5, 37.5, 62.5, 187.5.
    const RowCase cases[] = {
        {1, 16, {32, 128, 211}},   // t = 12, not 13
        {3, 16, {58, 160, 191}},   // t = 38, not 37
        {5, 16, {82, 190, 173}},   // t = 62, not 63
        {15, 16, {208, 145, 79}},  // t = 188, not 187
        {1, 400, {20, 113, 220}},  // t = 0.5 gives 0
        {3, 400, {22, 115, 218}},  // t = 1.5 gives 2
    };
    for (const RowCase& c : cases) {
        EXPECT_EQ(GradientRowColour(c.row, c.height), c.colour)
            << "row " << c.row << " of " << c.height;
    }
}

}  // namespace
