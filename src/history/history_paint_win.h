#pragma once

#include <windows.h>

#include "common/display_scale.h"
#include "common/gdi_handles_win.h"
#include "history/history_layout.h"

// How the work-history window paints what layoutHistoryChart laid out, and the fonts it paints
// with. Nothing here decides where anything goes.

// The three text sizes at one scale, made anew when the window moves to a monitor of another.
struct HistoryFonts {
    explicit HistoryFonts(DisplayScale scale);
    FontHandle small;
    FontHandle strong;  // small and bold
    FontHandle large;
};

// The width of a line of small text in `dc`, as the window draws it.
TextWidth smallTextWidth(HDC dc, const HistoryFonts& fonts);

// Paints `chart` over the whole `width` x `height` of `dc`; the scrolling part only inside
// chart.body.
void paintHistoryChart(HDC dc, const HistoryChart& chart, const HistoryFonts& fonts, int width, int height);
