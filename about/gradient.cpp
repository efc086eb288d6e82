#include "about/gradient.h"

#include <cmath>

namespace about {

RowColour GradientRowColour(int row, int height) {
    // The default rounding mode sends halves to the even neighbour.
    const double exact = static_cast<double>(row) / height * 200.0;
    const int t = static_cast<int>(std::nearbyint(exact));
    const int green = t < 64 ? t + 113 + t / 4 : 216 - t / 2 + t / 8;
    return RowColour{static_cast<std::uint8_t>(t + 20), static_cast<std::uint8_t>(green),
                     static_cast<std::uint8_t>(220 - t + t / 4)};
}

}  // namespace about
