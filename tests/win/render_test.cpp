// Frames drawn by the overlay's renderer with real GDI+ and the default skin, read back pixel by pixel.
#include <windows.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "app/platform_session_win.h"
#include "config/skin_font_win.h"
#include "gdi_headroom.h"
#include "overlay/overlay_look.h"
#include "overlay/render_win.h"
#include "process_harness.h"

namespace {

using Frame = std::vector<std::uint32_t>;
int alpha(std::uint32_t pixel) { return pixel >> 24; }
int channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

class RenderTest : public ::testing::Test {
protected:
    static std::wstring skin(const wchar_t* name) { return binaryFolder() + L"\\data\\" + name; }
    void SetUp() override {
        SDL_SetMainReady();
        session = std::make_unique<PlatformSession>();
        fonts = std::make_unique<Gdiplus::PrivateFontCollection>();
        font = createSkinFont(*fonts, skin(L"font.ttf").c_str(), 28);
        base = std::make_unique<Gdiplus::Image>(skin(L"base.png").c_str(), FALSE);
        select = std::make_unique<Gdiplus::Image>(skin(L"targetSelect.png").c_str(), FALSE);
        ASSERT_EQ(base->GetLastStatus(), Gdiplus::Ok);
        plain = {nullptr, select.get(), font.get(), 100, 104, {255, 255, 255}, L"00:00:00"};
        skinned = plain;
        skinned.baseImage = base.get();
    }
    static Frame draw(const FrameContent& content, const FrameContent* drawnBefore = nullptr,
                      FrameCache* cache = nullptr) {
        const int side = frameSideAt(content.scale);
        FrameSurface surface(side);
        EXPECT_TRUE(surface);
        if (drawnBefore) drawFrame(surface, *drawnBefore, cache);
        drawFrame(surface, content, cache);
        return Frame(surface.pixels(), surface.pixels() + side * side);
    }
    static int sideOf(const Frame& frame) { return static_cast<int>(std::lround(std::sqrt(frame.size()))); }
    static std::uint32_t at(const Frame& frame, int x, int y) { return frame[y * sideOf(frame) + x]; }
    static RECT ink(const Frame& frame, int leastAlpha = 1) {  // bounding box of every pixel with that alpha
        const int side = sideOf(frame);
        RECT box{side, side, -1, -1};
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                if (alpha(at(frame, x, y)) >= leastAlpha) box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                                   std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
        return box;
    }

    std::unique_ptr<PlatformSession> session;  // first in, last out: GDI+ outlives its objects
    std::unique_ptr<Gdiplus::PrivateFontCollection> fonts;
    std::unique_ptr<Gdiplus::Font> font;
    std::unique_ptr<Gdiplus::Image> base, select;
    FrameContent plain, skinned;
    const Frame empty = Frame(frameSide * frameSide, 0);
};

TEST_F(RenderTest, DigitsTakeTheSkinColourPremultipliedWithBlueAlwaysFull) {
    const struct { std::uint8_t color[3]; std::uint32_t strongest; } cases[] = {
        {{255, 255, 255}, 0xFFFFFFFF}, {{255, 0, 0}, 0xFF0000FF}, {{128, 255, 0}, 0x80800080}, {{0, 255, 255}, 0}};
    for (const auto& c : cases) {
        std::copy(c.color, c.color + 3, plain.textColor);
        const Frame frame = draw(plain);
        const std::uint32_t strongest = *std::max_element(
            frame.begin(), frame.end(), [](std::uint32_t a, std::uint32_t b) { return alpha(a) < alpha(b); });
        for (int shift : {0, 8, 16, 24}) EXPECT_NEAR(channel(strongest, shift), channel(c.strongest, shift), 1);
        EXPECT_TRUE(c.strongest || frame == empty) << "a transparent colour leaves nothing at all";
    }
}

TEST_F(RenderTest, PlateKeepsItsAlphaUnderOpaqueDigitsAndAFailedSaveMarksItsCorner) {
    const Frame frame = draw(skinned);
    Gdiplus::Color plate;
    Gdiplus::Bitmap(skin(L"base.png").c_str()).GetPixel(30, 132, &plate);
    ASSERT_TRUE(plate.GetA() > 0 && plate.GetA() < 255);
    EXPECT_EQ(alpha(at(frame, 30, 132)), plate.GetA());
    EXPECT_NEAR(channel(at(frame, 30, 132), 16), plate.GetR() * plate.GetA() / 255, 1);
    for (int corner : {0, 199}) EXPECT_EQ(at(frame, corner, corner), 0u);
    EXPECT_NE(std::find(frame.begin(), frame.end(), 0xFFFFFFFF), frame.end());

    skinned.saveFailed = true;
    const Frame marked = draw(skinned);
    const int x = saveWarningCenterX, y = saveWarningCenterY, r = saveWarningRadius;
    EXPECT_EQ(at(marked, x, y - 3), 0xFFFFFFFF);  // the "!"
    EXPECT_EQ(alpha(at(marked, x - r / 2, y)), 255);
    EXPECT_NE(at(marked, x - r / 2, y), at(frame, x - r / 2, y));
    EXPECT_GT(alpha(at(frame, x, y)), 0) << "the plate lies under the mark";
    for (int i = 0; i < frameSide * frameSide; ++i)
        EXPECT_TRUE(marked[i] == frame[i] || std::hypot(i % frameSide - x, i / frameSide - y) <= r + 1) << i;
}

TEST_F(RenderTest, TimeStaysWhereTheBoxOfZerosPutsItWhateverItsDigits) {
    plain.textCenterY = 100;
    const RECT zeros = ink(draw(plain));
    plain.timeText = L"88:88:88";
    const RECT eights = ink(draw(plain));
    EXPECT_TRUE(eights.left == zeros.left && eights.top == zeros.top) << eights.left << "," << eights.top;
    Gdiplus::Bitmap scratch(1, 1);
    Gdiplus::RectF box;
    Gdiplus::Graphics(&scratch).MeasureString(L"00:00:00", -1, font.get(), Gdiplus::RectF(), nullptr, &box);
    EXPECT_TRUE(zeros.left >= 100 - box.Width / 2 && zeros.right <= 100 + box.Width / 2);
    EXPECT_TRUE(zeros.top >= 100 - box.Height / 2 && zeros.bottom <= 100 + box.Height / 2);
    // Longer figures, up to the longest a count can give, are drawn smaller inside the same box.
    for (const std::int32_t seconds : {100 * 3600, 1234 * 3600, INT32_MAX}) {
        plain.timeText = figureText(seconds);
        const RECT longer = ink(draw(plain));
        SCOPED_TRACE(plain.timeText.c_str());
        EXPECT_GE(longer.left, 100 - box.Width / 2);
        EXPECT_LE(longer.right, 100 + box.Width / 2);
        EXPECT_GT(longer.right - longer.left, (zeros.right - zeros.left) * 3 / 4) << "still filling the box";
        EXPECT_TRUE(longer.top >= 100 - box.Height / 2 && longer.bottom <= 100 + box.Height / 2);
    }
    EXPECT_NEAR((zeros.left + zeros.right) / 2.0, 100, 2);
}

// The marks the program draws over any skin: paused (the figure at half its alpha, two bars above
// it), click-through, and the daily goal's line on the plate, filled as far as today has come.
TEST_F(RenderTest, PauseClickThroughAndTheGoalLineAreDrawnOverTheSkin) {
    FrameCache cache;
    skinned.textCenterY = 100;
    const Frame frame = draw(skinned, nullptr, &cache);
    FrameContent paused = skinned;
    paused.paused = true;
    const Frame dimmed = draw(paused, nullptr, &cache);
    EXPECT_EQ(at(dimmed, pauseMarkX - 4, pauseMarkY), 0xFFFFFFFF) << "a bar of the pause mark";
    EXPECT_EQ(at(dimmed, pauseMarkX + 3, pauseMarkY), 0xFFFFFFFF);
    EXPECT_NE(at(dimmed, pauseMarkX, pauseMarkY), 0xFFFFFFFF) << "the gap between the bars";
    const RECT figure = ink(draw(plain), 200);
    int dimmer = 0;
    for (int y = figure.top; y <= figure.bottom; ++y)
        for (int x = figure.left; x <= figure.right; ++x)
            if (at(frame, x, y) == 0xFFFFFFFF) dimmer += at(dimmed, x, y) != 0xFFFFFFFF;
    EXPECT_GT(dimmer, 50) << "the figure's white pixels are no longer full";

    FrameContent through = skinned;
    through.clickThroughMark = true;
    const Frame marked = draw(through, nullptr, &cache);
    EXPECT_EQ(alpha(at(marked, clickThroughMarkX + 5, clickThroughMarkY - 5)), 255);
    EXPECT_NE(at(marked, clickThroughMarkX, clickThroughMarkY), at(frame, clickThroughMarkX, clickThroughMarkY));

    // Half of a goal: the line's left half in the text's colour, its right half a faint track,
    // on the plate, under the name's place and clear of the figure.
    FrameContent goal = skinned;
    goal.goalSeconds = 7200;
    goal.goalFill = 500;
    goal.projectFont = font.get();
    goal.projectCenterX = 100, goal.projectCenterY = 132, goal.projectWidth = 180, goal.projectSize = 12;
    const Frame withGoal = draw(goal, nullptr, &cache);
    std::vector<std::pair<int, int>> changed;
    for (int y = 0; y < frameSide; ++y)
        for (int x = 0; x < frameSide; ++x)
            if (at(withGoal, x, y) != at(frame, x, y)) changed.emplace_back(x, y);
    ASSERT_FALSE(changed.empty());
    int top = frameSide, bottom = 0, left = frameSide, right = 0;
    for (const auto& [x, y] : changed) top = std::min(top, y), bottom = std::max(bottom, y), left = std::min(left, x), right = std::max(right, x);
    EXPECT_GT(top, figure.bottom) << "below the figure";
    EXPECT_LE(bottom - top, 3) << "a thin line";
    const int middle = (left + right) / 2, row = (top + bottom) / 2;
    EXPECT_EQ(at(withGoal, left + 5, row), 0xFFFFFFFF) << "done";
    EXPECT_NE(at(withGoal, right - 5, row), 0xFFFFFFFF) << "to go";
    EXPECT_NE(at(withGoal, right - 5, row), at(frame, right - 5, row)) << "the track shows";
    EXPECT_NEAR(middle, 100, 2);
}

TEST_F(RenderTest, SelectionPictureCoversEverythingOnlyWhileSelecting) {
    const Frame normal = draw(skinned);
    const Frame alone = draw({nullptr, select.get(), nullptr, 0, 0, {}, L"", true});
    skinned.selectingTarget = skinned.saveFailed = true;
    const Frame selecting = draw(skinned);
    int covered = 0, showingThrough = 0;  // what lies under shows only as much as the picture lets it
    for (size_t i = 0; i < alone.size(); ++i) {
        if (alpha(alone[i]) < 200) continue;
        ++covered;
        for (int shift : {0, 8, 16, 24})
            showingThrough += std::abs(channel(selecting[i], shift) - channel(alone[i], shift)) > 256 - alpha(alone[i]);
    }
    EXPECT_GT(covered, frameSide * frameSide / 2);
    EXPECT_EQ(showingThrough, 0);
    skinned.selectingTarget = skinned.saveFailed = false;
    EXPECT_EQ(draw(skinned), normal);
}

TEST_F(RenderTest, BrokenPicturesAndMissingFontDrawNothingNotEvenWhatWasThereBefore) {
    Gdiplus::Image broken(skin(L"no-such.png").c_str(), FALSE);
    FrameCache kept;
    for (FrameCache* cache : {static_cast<FrameCache*>(nullptr), &kept})
        EXPECT_EQ(draw({&broken, &broken, nullptr, 100, 104, {255, 255, 255}, L"00:00:00", true}, &skinned, cache),
                  empty);
}

// The overlay copies its plate and places its time from a cache instead of working them out in every frame.
TEST_F(RenderTest, CachedPlateAndTimeBoxGiveTheSamePixelsAsWorkingThemOutEveryFrame) {
    FrameCache cache;
    FrameContent marked = skinned;
    marked.selectingTarget = marked.saveFailed = true;
    marked.timeText = L"123:45:06";
    const std::unique_ptr<Gdiplus::Font> larger = createSkinFont(*fonts, skin(L"font.ttf").c_str(), 40);
    FrameContent large = skinned;
    large.font = larger.get();
    FrameContent scaled = marked;
    scaled.scale = DisplayScale(144);
    for (const FrameContent* content : {&skinned, &marked, &plain, &large, &scaled, &skinned})
        EXPECT_EQ(draw(*content, nullptr, &cache), draw(*content));
}

// A monitor at 150 %: everything the skin places grows by half, drawn at the monitor's pixels.
TEST_F(RenderTest, AtOneAndAHalfTimesTheDpiPlateTimeAndMarkAreOneAndAHalfTimesLarger) {
    FrameContent marked = skinned;
    marked.saveFailed = true;
    // Solid pixels only, and a few pixels either way: at 96 DPI the rasterizer rounds the
    // digits a pixel or two short of their outline's size (19 pixels for 20.4).
    const RECT digits = ink(draw(plain), 128), plate = ink(draw(skinned), 128);
    const Frame normal = draw(marked);
    for (FrameContent* content : {&plain, &skinned, &marked}) content->scale = DisplayScale(144);
    const Frame large = draw(marked);
    ASSERT_EQ(large.size(), 300u * 300u);
    for (const auto& [at96, at144] :
         {std::pair{digits, ink(draw(plain), 128)}, std::pair{plate, ink(draw(skinned), 128)}}) {
        EXPECT_NEAR(at144.right - at144.left, 1.5 * (at96.right - at96.left), 3);
        EXPECT_NEAR(at144.bottom - at144.top, 1.5 * (at96.bottom - at96.top), 3);
        EXPECT_NEAR(at144.left + at144.right, 1.5 * (at96.left + at96.right), 3);
        EXPECT_NEAR(at144.top + at144.bottom, 1.5 * (at96.top + at96.bottom), 3);
    }
    const int x = saveWarningCenterX, y = saveWarningCenterY;
    EXPECT_EQ(at(normal, x, y - 3), 0xFFFFFFFF);
    EXPECT_EQ(at(large, x * 3 / 2, (y - 3) * 3 / 2), 0xFFFFFFFF) << "the mark's \"!\" is where it was, half as large again";
}

// The project's name, in the system's interface font under the time: cut short to its width with
// an ellipsis however long, half as large again at 150 %, and nothing at all without one.
TEST_F(RenderTest, TheProjectsNameIsDrawnUnderTheTimeCutShortToItsWidth) {
    const std::unique_ptr<Gdiplus::Font> interfaceFont = createInterfaceFont(12);
    ASSERT_EQ(interfaceFont->GetLastStatus(), Gdiplus::Ok);
    FrameContent named = plain;
    named.textCenterY = 98;
    const Frame timeOnly = draw(named);
    named.projectFont = interfaceFont.get();
    named.projectCenterX = 100;
    named.projectCenterY = 130;
    named.projectWidth = 120;
    EXPECT_EQ(draw(named), timeOnly) << "no project, nothing more";
    const auto nameBox = [&](const FrameContent& content, const Frame& without) {  // the pixels the name changed
        const Frame frame = draw(content);
        const int side = sideOf(frame);
        RECT box{side, side, -1, -1};
        for (int i = 0; i < side * side; ++i)
            if (frame[i] != without[i]) box = {std::min<LONG>(box.left, i % side), std::min<LONG>(box.top, i / side),
                                               std::max<LONG>(box.right, i % side), std::max<LONG>(box.bottom, i / side)};
        return box;
    };
    named.projectText = L"Acme";
    const RECT shortName = nameBox(named, timeOnly);
    EXPECT_NEAR((shortName.left + shortName.right) / 2.0, 100, 2);
    EXPECT_TRUE(shortName.top > 118 && shortName.bottom < 142) << shortName.top << "-" << shortName.bottom;
    EXPECT_LT(shortName.right - shortName.left, 50);
    named.projectText = L"A project whose name is far longer than the room there is for it";
    const RECT longName = nameBox(named, timeOnly);
    EXPECT_TRUE(longName.left >= 40 && longName.right <= 160 && longName.right - longName.left > 100)
        << longName.left << "-" << longName.right;
    FrameCache cache;
    EXPECT_EQ(draw(named, nullptr, &cache), draw(named));
    EXPECT_EQ(draw(named, nullptr, &cache), draw(named));

    FrameContent large = named;
    large.scale = DisplayScale(144);
    FrameContent largeTimeOnly = large;
    largeTimeOnly.projectText.clear();
    const RECT longAt144 = nameBox(large, draw(largeTimeOnly));
    EXPECT_NEAR(longAt144.right - longAt144.left, 1.5 * (longName.right - longName.left), 6);
    EXPECT_NEAR(longAt144.top + longAt144.bottom, 1.5 * (longName.top + longName.bottom), 6);
}

TEST_F(RenderTest, AKeptSurfaceIsRedrawnForEveryChangeButTheOpacity) {
    std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)> window(
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Static", L"render test", WS_POPUP, 40,
                        40, 200, 200, nullptr, nullptr, nullptr, nullptr),
        DestroyWindow);
    ASSERT_TRUE(window);
    const auto change = [&](auto apply) {
        FrameContent next = skinned;
        apply(next);
        return next;
    };
    const struct { const char* what; FrameContent next; bool redrawn; } rows[] = {
        {"the opacity", change([](FrameContent& c) { c.alpha = 153; }), false},
        {"nothing", skinned, false},
        {"the time", change([](FrameContent& c) { c.timeText = L"00:00:01"; }), true},
        {"the pause", change([](FrameContent& c) { c.paused = true; }), true},
        {"the click-through mark", change([](FrameContent& c) { c.clickThroughMark = true; }), true},
        {"the failed save", change([](FrameContent& c) { c.saveFailed = true; }), true},
        {"the scale", change([](FrameContent& c) { c.scale = DisplayScale(144); }), true},
    };
    for (const auto& row : rows) {
        FrameCache cache;
        const auto push = [&](const FrameContent& content) {
            return renderFrame(window.get(), {40, 40}, {200, 200}, {0, 0}, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA},
                               content, &cache);
        };
        ASSERT_TRUE(push(skinned)) << row.what;
        EXPECT_TRUE(cache.surfaceHolds(skinned)) << row.what;
        EXPECT_EQ(cache.surfaceHolds(row.next), !row.redrawn) << row.what;
        ASSERT_TRUE(push(row.next)) << row.what;
        EXPECT_TRUE(cache.surfaceHolds(row.next)) << row.what;
        // The kept pixels are the new picture's, as if drawn on a fresh surface.
        const int side = frameSideAt(row.next.scale);
        const std::uint32_t* kept = cache.surfaceFor(side).pixels();
        EXPECT_EQ(Frame(kept, kept + side * side), draw(row.next)) << row.what;
    }
}

TEST_F(RenderTest, RealLayeredWindowShowsTheFrameAndLeaksNoGdiObject) {
    std::unique_ptr<HWND__, BOOL(WINAPI*)(HWND)> window(
        CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"Static", L"render test",
                        WS_POPUP, 40, 40, 200, 200, nullptr, nullptr, nullptr, nullptr),
        DestroyWindow);
    ASSERT_TRUE(window);
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    const auto frame = [&] {
        return renderFrame(window.get(), {40, 40}, {200, 200}, {0, 0}, {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}, skinned);
    };
    ASSERT_TRUE(frame());
    const int before = gdiHeadroom();
    const int frames = 300;
    for (int i = 0; i < frames; ++i) ASSERT_TRUE(frame());
    const int after = gdiHeadroom();
    EXPECT_GT(before, 10000);
    EXPECT_LT(before - after, frames / 3) << before << " before, " << after << " after";

    // Xvfb has no compositor: the screen shows the premultiplied colour over black.
    const Frame drawn = draw(skinned);
    const int digit = std::find(drawn.begin(), drawn.end(), 0xFFFFFFFF) - drawn.begin();
    HDC screen = GetDC(nullptr);
    for (int i : {132 * frameSide + 30, digit})
        EXPECT_EQ(GetPixel(screen, 40 + i % frameSide, 40 + i / frameSide),
                  RGB(channel(drawn[i], 16), channel(drawn[i], 8), channel(drawn[i], 0)))
            << i;
    ReleaseDC(nullptr, screen);
}

}  // namespace
