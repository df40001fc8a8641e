#include "platform/core/Types.h"

#include <cmath>
#include <limits>

Currency Currency::FromDouble(double value) {
    // Round half away from zero to the nearest 1/10000, and saturate instead of overflowing.
    const double scaled = std::round(value * 10000.0);
    if (std::isnan(scaled)) return Currency{0};
    if (scaled >= 9.2233720368547758e18) return Currency{std::numeric_limits<std::int64_t>::max()};
    if (scaled <= -9.2233720368547758e18) return Currency{std::numeric_limits<std::int64_t>::min()};
    return Currency{static_cast<std::int64_t>(scaled)};
}

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    std::int64_t d = denominator;
    if (d < 0) {
        d = -d;
        product = -product;
    }
    // Round half away from zero.
    const std::int64_t half = d / 2;
    const std::int64_t result = product >= 0 ? (product + half) / d : -((-product + half) / d);
    if (result > std::numeric_limits<int>::max() || result < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(result);
}
