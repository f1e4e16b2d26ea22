#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>

#include "app/window.h"
#include "overlay/overlay_core.h"

// The work-time overlay: a 200 x 200, always-on-top window with per-pixel alpha. Its portable
// state is OverlayCore; this adds the native handle, the layered-window parameters and the
// skin's GDI+ objects. Created once with SDL and GDI+ running, never destroyed.
class Base : public Window, public OverlayCore {
public:
    Base();

    void init() override;

    // Finds or creates data.cfg in the common application-data folder and applies it.
    void loadState();
    // Reads data/skin.cfg and makes the time text's font from data/font.ttf.
    void loadSkin();

    POINT cursorPos{};
    HWND hwnd = nullptr;
    HDC screenDC = nullptr;
    HDC memoryDC = nullptr;
    std::unique_ptr<Gdiplus::Image> baseImage;
    std::unique_ptr<Gdiplus::Image> targetSelectImage;
    RECT windowRect{};
    SIZE windowSize{200, 200};
    POINT sourceOrigin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    std::unique_ptr<Gdiplus::Font> font;
    Gdiplus::PrivateFontCollection fontCollection;
};
