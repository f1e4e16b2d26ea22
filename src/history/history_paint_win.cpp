#include "history/history_paint_win.h"

namespace {

const COLORREF todayTextColour = RGB(184, 100, 0);
const COLORREF gridColour = RGB(222, 226, 231);
const COLORREF baselineColour = RGB(150, 156, 164);
const COLORREF labelColour = RGB(88, 92, 98);
const COLORREF bandColour = RGB(243, 245, 247);

HFONT createUiFont(int pixels, LONG weight) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
    else lstrcpynW(font.lfFaceName, L"Segoe UI", LF_FACESIZE);
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    font.lfWeight = weight;
    font.lfQuality = CLEARTYPE_QUALITY;
    return CreateFontIndirectW(&font);
}

void fill(HDC dc, const ChartBox& box, COLORREF colour) {
    const BrushHandle brush(CreateSolidBrush(colour));
    const RECT rect{box.left, box.top, box.right, box.bottom};
    if (brush) FillRect(dc, &rect, brush.get());
}

COLORREF colourOf(const ReportColour& colour) {
    return RGB(colour.red & 0xff, colour.green & 0xff, colour.blue & 0xff);
}

void draw(HDC dc, const ChartText& text, const HistoryFonts& fonts) {
    const FontHandle& font = text.size == ChartText::Size::large ? fonts.large
                             : text.strong || text.bold           ? fonts.strong
                                                                  : fonts.small;
    const Selection useFont(dc, font.get());
    SetTextColor(dc, text.strong                              ? todayTextColour
                     : text.tone == ChartText::Tone::warning ? RGB(179, 38, 30)
                     : text.size == ChartText::Size::large || text.tone == ChartText::Tone::text
                         ? GetSysColor(COLOR_WINDOWTEXT)
                         : labelColour);
    const bool oneLine = text.text.find(L'\n') == std::wstring::npos;
    UINT format = DT_NOPREFIX | (oneLine ? DT_SINGLELINE | DT_VCENTER : DT_TOP);
    if (text.ellipsis) format |= DT_END_ELLIPSIS;
    format |= text.align == ChartText::Align::center ? DT_CENTER
              : text.align == ChartText::Align::right ? DT_RIGHT
                                                      : DT_LEFT;
    RECT rect{text.box.left, text.box.top, text.box.right, text.box.bottom};
    DrawTextW(dc, text.text.c_str(), -1, &rect, format);
}

}  // namespace

HistoryFonts::HistoryFonts(DisplayScale scale)
    : small(createUiFont(historyFonts(scale.factor()).small, FW_NORMAL)),
      strong(createUiFont(historyFonts(scale.factor()).small, FW_BOLD)),
      large(createUiFont(historyFonts(scale.factor()).large, FW_SEMIBOLD)) {}

TextWidth smallTextWidth(HDC dc, const HistoryFonts& fonts) {
    return [dc, font = fonts.small.get()](const std::wstring& text) {
        const Selection useFont(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
}

void paintHistoryChart(HDC dc, const HistoryChart& chart, const HistoryFonts& fonts, int width, int height) {
    fill(dc, {0, 0, width, height}, GetSysColor(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, chart.body.left, chart.body.top, chart.body.right, chart.body.bottom);
    for (const ChartBox& band : chart.bands) fill(dc, band, bandColour);
    for (std::size_t i = 0; i < chart.gridLines.size(); ++i) {
        const int y = chart.gridLines[i];
        fill(dc, {chart.plot.left, y, chart.plot.right, y + 1}, i == 0 ? baselineColour : gridColour);
    }
    for (const ChartBox& rule : chart.rules) fill(dc, rule, gridColour);
    for (const ChartBar& bar : chart.bars)
        for (const ChartSegment& segment : bar.segments) fill(dc, segment.box, colourOf(segment.colour));
    for (const ChartSegment& swatch : chart.swatches) fill(dc, swatch.box, colourOf(swatch.colour));
    // Every text is drawn, in view or not: what the window says can then be read from a trace
    // of its drawing, whatever it is scrolled to.
    for (const ChartText& text : chart.texts) draw(dc, text, fonts);
    RestoreDC(dc, saved);
    for (const ChartText& note : chart.notes) draw(dc, note, fonts);
}
