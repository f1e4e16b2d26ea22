// The overlay object with real SDL, GDI+ and fonts.
#include <windows.h>

#include <SDL.h>
#include <SDL_syswm.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "overlay_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST_F(OverlayTest, FreshOverlayHasItsStartValues) {
    overlay = std::make_unique<Base>();
    EXPECT_EQ(overlay->windowSize.cx, 200);
    EXPECT_EQ(overlay->windowSize.cy, 200);
    EXPECT_EQ(overlay->sourceOrigin.x, 0);
    EXPECT_EQ(overlay->sourceOrigin.y, 0);
    EXPECT_EQ(overlay->blend.BlendOp, AC_SRC_OVER);
    EXPECT_EQ(overlay->blend.BlendFlags, 0);
    EXPECT_EQ(overlay->blend.SourceConstantAlpha, 255);
    EXPECT_EQ(overlay->blend.AlphaFormat, AC_SRC_ALPHA);
    EXPECT_TRUE(overlay->targetPrograms.empty());
    EXPECT_EQ(overlay->currentSeconds, 0);
    EXPECT_EQ(overlay->totalSeconds, 0);
    EXPECT_EQ(overlay->font, nullptr);
    EXPECT_EQ(overlay->baseImage, nullptr);
    EXPECT_EQ(overlay->fontCollection.GetLastStatus(), Gdiplus::Ok);
    EXPECT_FALSE(SDL_GetWindowFlags(overlay->sdlWindow) & SDL_WINDOW_SHOWN);
}

TEST_F(OverlayTest, DefaultSkinGivesItsFontAndLayout) {
    overlay = std::make_unique<Base>();
    overlay->loadSkin();
    ASSERT_NE(overlay->font, nullptr);
    EXPECT_EQ(overlay->font->GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(fontFamilyName(), L"DejaVu Sans Mono");
    EXPECT_FLOAT_EQ(overlay->font->GetSize(), 28.0f);
    EXPECT_EQ(overlay->font->GetUnit(), Gdiplus::UnitPixel);
    EXPECT_EQ(overlay->textCenter.x, 100);
    EXPECT_EQ(overlay->textColor[0], 255);
}

TEST_F(OverlayTest, FractionalSizeAndOddColourBytesAreTakenAsTheSkinSaysThem) {
    writeSkin("100\r\n90\r\n24.5\r\n256\r\n300\r\n-1\r\n");
    overlay = std::make_unique<Base>();
    overlay->loadSkin();
    EXPECT_FLOAT_EQ(overlay->font->GetSize(), 24.5f);
    EXPECT_EQ(overlay->textColor[0], 0);
    EXPECT_EQ(overlay->textColor[1], 44);
    EXPECT_EQ(overlay->textColor[2], 255);

    writeSkin("100\r\n90\r\n24px\r\n255\r\n255\r\n255\r\n");
    overlay = std::make_unique<Base>();
    overlay->loadSkin();
    EXPECT_FLOAT_EQ(overlay->font->GetSize(), 24.0f);
}

TEST_F(OverlayTest, WithoutAFontFileTheGenericSansSerifStillGivesAUsableFont) {
    fs::remove(folder / L"data" / L"font.ttf");
    overlay = std::make_unique<Base>();
    overlay->loadSkin();
    ASSERT_NE(overlay->font, nullptr);
    EXPECT_EQ(overlay->font->GetLastStatus(), Gdiplus::Ok);
    EXPECT_FLOAT_EQ(overlay->font->GetSize(), 28.0f);
    const std::wstring family = fontFamilyName();
    EXPECT_FALSE(family.empty());
    EXPECT_NE(family, L"DejaVu Sans Mono");

    // The font really draws: measuring the time text gives a box.
    HDC screen = GetDC(nullptr);
    {
        Gdiplus::Graphics graphics(screen);
        Gdiplus::RectF box;
        EXPECT_EQ(graphics.MeasureString(L"00:00:00", -1, overlay->font.get(), Gdiplus::PointF(0, 0), &box),
                  Gdiplus::Ok);
        EXPECT_GT(box.Width, 50.0f);
        EXPECT_GT(box.Height, 20.0f);
    }
    ReleaseDC(nullptr, screen);
}

TEST_F(OverlayTest, SdlAsksTheHitTestAtEveryHitAndItFollowsThePinFlag) {
    overlay = std::make_unique<Base>();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(overlay->sdlWindow, &info));
    const HWND hwnd = info.info.win.window;
    ASSERT_EQ(SDL_SetWindowHitTest(overlay->sdlWindow, hitTest, nullptr), 0);
    SDL_ShowWindow(overlay->sdlWindow);
    RECT rect;
    GetWindowRect(hwnd, &rect);
    const LPARAM point = MAKELPARAM(rect.left + 50, rect.top + 50);

    windowFixed = false;
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, point), HTCAPTION);
    windowFixed = true;
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, point), HTCLIENT);
    windowFixed = false;
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, point), HTCAPTION);
}

}  // namespace
