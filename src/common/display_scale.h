#pragma once

#include <cstdint>

// The overlay's own lengths (its 200 x 200 square, the skin's text centre and font size, the
// warning mark) are given at 96 DPI, Windows' 100 %. On a monitor of another DPI each is
// multiplied by dpi / 96, so that the overlay keeps the size a person expects and is drawn
// sharp at the monitor's own resolution instead of being stretched by the system.
// Screen positions are not scaled: Windows gives them in the monitor's pixels already.
class DisplayScale {
public:
    static constexpr int standardDpi = 96;

    DisplayScale() = default;
    // A DPI the system cannot mean (none, or beyond any screen) counts as 96.
    explicit DisplayScale(int dpi);

    int dpi() const { return dpi_; }
    double factor() const { return dpi_ / double{standardDpi}; }
    bool isStandard() const { return dpi_ == standardDpi; }
    // A length in whole pixels, rounded to the nearest one (halves away from zero).
    std::int32_t pixels(std::int32_t length) const;
    // A length that may have a fraction (a font size, a centre), unrounded.
    float exact(float length) const;

    bool operator==(const DisplayScale& other) const { return dpi_ == other.dpi_; }
    bool operator!=(const DisplayScale& other) const { return dpi_ != other.dpi_; }

private:
    int dpi_ = standardDpi;
};
