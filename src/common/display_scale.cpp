#include "common/display_scale.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Windows offers up to 500 % (480 DPI); anything past ten times that is not a screen.
constexpr int largestDpi = 10 * 480;

}  // namespace

DisplayScale::DisplayScale(int dpi) : dpi_(dpi > 0 && dpi <= largestDpi ? dpi : standardDpi) {}

std::int32_t DisplayScale::pixels(std::int32_t length) const {
    // Exact in integers: the product fits in 64 bits, and halves round away from zero.
    const std::int64_t scaled = std::int64_t{length} * dpi_;
    const std::int64_t whole = scaled / standardDpi;
    const std::int64_t rest = scaled % standardDpi;
    const std::int64_t rounded = whole + (2 * std::llabs(rest) >= standardDpi ? (scaled < 0 ? -1 : 1) : 0);
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(rounded, INT32_MIN, INT32_MAX));
}

float DisplayScale::exact(float length) const { return static_cast<float>(length * factor()); }
