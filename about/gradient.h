// The colours of the About box's background: blue at the top, sea green in the middle, sandy
// brown at the bottom.
#pragma once

#include <cstdint>

namespace about {

struct RowColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;

    friend bool operator==(const RowColour&, const RowColour&) = default;
};

// The colour of row `row` of a background `height` rows high (height > 0). Rows run from 0 to
// `height` inclusive; the position along the gradient is row / height * 200, rounded to the
// nearest integer with halves going to the even neighbour.
RowColour GradientRowColour(int row, int height);

}  // namespace about
