#include "common/message_font_win.h"

#include "common/gdi_handles_win.h"

LOGFONTW messageFontAt(DisplayScale scale) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        font = metrics.lfMessageFont;
        const WindowDC screen(nullptr);
        const int systemDpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : DisplayScale::standardDpi;
        font.lfHeight = MulDiv(font.lfHeight, scale.dpi(), systemDpi > 0 ? systemDpi : DisplayScale::standardDpi);
    } else {
        lstrcpynW(font.lfFaceName, L"Segoe UI", LF_FACESIZE);
        font.lfHeight = -scale.pixels(12);
    }
    return font;
}
