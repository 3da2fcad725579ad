#include "ui/dpi_scale.h"

#include <climits>
#include <cstdint>

int ScaleBetween(int value, int numerator, int denominator) {
    if (denominator <= 0) return value;
    const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t scaled = (product >= 0 ? product + half : product - half) / denominator;
    if (scaled > INT_MAX) return INT_MAX;
    if (scaled < INT_MIN) return INT_MIN;
    return static_cast<int>(scaled);
}
