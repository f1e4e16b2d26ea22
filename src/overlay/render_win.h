#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/display_scale.h"
#include "common/gdi_handles_win.h"
#include "overlay/goal_line.h"

// Everything one frame of the overlay shows. The pointers are borrowed for the call. Positions
// and sizes are the overlay's own, at 96 DPI; the frame is drawn at `scale`.
struct FrameContent {
    Gdiplus::Image* baseImage = nullptr;          // skin plate; null or without a picture: nothing drawn
    Gdiplus::Image* targetSelectImage = nullptr;  // drawn over everything while selectingTarget
    Gdiplus::Font* font = nullptr;                // null or without a native font: no time text
    int textCenterX = 0;                          // the time text is centred here, window pixels
    int textCenterY = 0;
    std::uint8_t textColor[3] = {0, 0, 0};        // alpha, red, green of the time text; blue is 255
    std::wstring timeText;                        // "HH:MM:SS"
    bool selectingTarget = false;
    bool saveFailed = false;                      // the last write of data.cfg failed: warning mark
    DisplayScale scale{};                         // the monitor's DPI
    std::wstring projectText{};                   // the project seconds go to; empty: none, nothing drawn
    Gdiplus::Font* projectFont = nullptr;         // the system's interface font, at the skin's size
    float projectCenterX = 0;                     // the project's name is centred here, window pixels,
    float projectCenterY = 0;
    float projectWidth = 0;                       // and cut short with "…" beyond this width (0: not drawn)
    std::uint8_t alpha = 255;                     // the whole plate's opacity: the window's constant alpha
    bool clickThroughMark = false;                // clicks go through the plate: a mark says so
    bool paused = false;                          // counting is paused: the figure dimmed, a pause mark
    float projectSize = 0;                        // the project name's font size, which places the goal line
    std::int32_t goalSeconds = 0;                 // the daily goal; 0: no progress line
    std::int32_t goalFill = 0;                    // how much of the line is full, thousandths
};

// Two frames that would show the same pixels: the window keeps the last one pushed.
inline bool operator==(const FrameContent& a, const FrameContent& b) {
    return a.baseImage == b.baseImage && a.targetSelectImage == b.targetSelectImage && a.font == b.font &&
           a.textCenterX == b.textCenterX && a.textCenterY == b.textCenterY &&
           std::equal(std::begin(a.textColor), std::end(a.textColor), std::begin(b.textColor)) &&
           a.timeText == b.timeText && a.projectText == b.projectText && a.projectFont == b.projectFont &&
           a.projectCenterX == b.projectCenterX && a.projectCenterY == b.projectCenterY &&
           a.projectWidth == b.projectWidth && a.selectingTarget == b.selectingTarget &&
           a.saveFailed == b.saveFailed && a.scale == b.scale && a.alpha == b.alpha &&
           a.clickThroughMark == b.clickThroughMark && a.paused == b.paused && a.projectSize == b.projectSize &&
           a.goalSeconds == b.goalSeconds && a.goalFill == b.goalFill;
}
// The time text's ARGB: alpha from byte 0, red from byte 1, green from byte 2, blue always 255.
constexpr std::uint32_t textArgb(const std::uint8_t color[3]) {
    return (std::uint32_t{color[0]} << 24) | (std::uint32_t{color[1]} << 16) | (std::uint32_t{color[2]} << 8) |
           0xFFu;
}

// What stays the same from frame to frame while the program runs, worked out once: the skin
// plate, premultiplied at the frame's size, to be copied under every frame, and the box of
// "00:00:00" in the skin font, which places the time. Under Wine scaling the picture and laying
// out text are most of a frame's cost. Held by the overlay for the run.
class FrameSurface;

class FrameCache {
public:
    FrameCache();
    ~FrameCache();
    FrameCache(const FrameCache&) = delete;
    FrameCache& operator=(const FrameCache&) = delete;

    // The pixels a frame of `side` pixels is drawn into and pushed from, made at the first call
    // for that side and kept: under Wine a DIB section and a DC made and deleted for every
    // pushed frame cost about as much as drawing it.
    FrameSurface& surfaceFor(int side);
    // Whether the kept surface already holds `content`'s picture: it was the last drawn there,
    // at whatever opacity (the window's constant alpha, given to UpdateLayeredWindow alone).
    bool surfaceHolds(const FrameContent& content) const;
    void drewOnSurface(const FrameContent& content);

    // The plate for `image` on a frame of `side` pixels, drawn at the first call for both;
    // empty when the image has no picture.
    const std::vector<std::uint32_t>& plateFor(Gdiplus::Image* image, int side);
    // The time's box in `font` at `scale`, measured by `measure` at the first call for both.
    template <class Measure>
    Gdiplus::RectF timeBoxFor(Gdiplus::Font* font, DisplayScale scale, Measure measure) {
        if (!boxMeasured_ || font != boxFont_ || scale != boxScale_) {
            box_ = measure();
            boxFont_ = font;
            boxScale_ = scale;
            boxMeasured_ = true;
        }
        return box_;
    }

    // The project's name as it fits `width` in `font` at `scale` (see shortenToFit), worked out
    // with `shorten` when any of them differs from the last call's.
    // Where the skin's picture is opaque enough to draw on (see visiblePlate), for `image` at
    // `side`, found at the first call for both.
    const std::optional<PlateBox>& plateBoxFor(Gdiplus::Image* image, int side);

    template <class Shorten>
    const std::wstring& projectTextFor(const std::wstring& text, Gdiplus::Font* font, DisplayScale scale, float width,
                                       Shorten shorten) {
        if (text != projectText_ || font != projectFont_ || scale != projectScale_ || width != projectWidth_) {
            projectShown_ = shorten();
            projectText_ = text;
            projectFont_ = font;
            projectScale_ = scale;
            projectWidth_ = width;
        }
        return projectShown_;
    }

private:
    std::unique_ptr<FrameSurface> surface_;
    std::optional<FrameContent> onSurface_;
    Gdiplus::Image* plateImage_ = nullptr;
    int plateSide_ = 0;
    std::vector<std::uint32_t> plate_;
    bool plateDrawn_ = false;
    std::optional<PlateBox> plateBox_;
    bool plateBoxFound_ = false;
    Gdiplus::Font* boxFont_ = nullptr;
    DisplayScale boxScale_;
    Gdiplus::RectF box_;
    bool boxMeasured_ = false;
    std::wstring projectText_;
    std::wstring projectShown_;
    Gdiplus::Font* projectFont_ = nullptr;
    DisplayScale projectScale_;
    float projectWidth_ = -1;
};

// One whole frame: draws the overlay's picture, 200 x 200 at 96 DPI, and pushes it to the layered window
// `window` at screen point `destination` with per-pixel alpha. Without `cache` every drawing
// object is made and released within the call; with it, what stays the same comes from the
// cache, and so do the pixels drawn into. Returns false when the picture could not be made or
// pushed.
bool renderFrame(HWND window, POINT destination, SIZE size, POINT sourceOrigin, BLENDFUNCTION blend,
                 const FrameContent& content, FrameCache* cache = nullptr);

// Width and height of the overlay and of every frame at 96 DPI, pixels.
constexpr int frameSide = 200;

// The side of a frame at `scale`.
inline int frameSideAt(DisplayScale scale) { return scale.pixels(frameSide); }

// The warning mark for a failed save: a disc inside the default plate's top-right corner, clear
// of the time text, so that it reads against the plate and covers none of the digits.
constexpr int saveWarningCenterX = 172;
constexpr int saveWarningCenterY = 75;
constexpr int saveWarningRadius = 9;
// The click-through mark, across from it in the top-left corner.
constexpr int clickThroughMarkX = 28;
constexpr int clickThroughMarkY = 75;
// The pause mark, between the top of the plate and the figure.
constexpr int pauseMarkX = 100;
constexpr int pauseMarkY = 76;

// The pixels one frame is drawn into: a 32-bit top-down DIB section selected into a memory DC
// compatible with the screen. It holds no window's DC, so that it can be kept from frame to
// frame; UpdateLayeredWindow needs none (a null destination DC takes the default palette).
// Members go in reverse order: the selection is undone, the memory DC deleted and the bitmap
// deleted last.
class FrameSurface {
public:
    explicit FrameSurface(int side = frameSide);

    explicit operator bool() const { return bits_ && memory_.get() && selection_; }
    HDC memoryDC() const { return memory_.get(); }
    int side() const { return side_; }
    // side() rows of side() premultiplied ARGB pixels, top row first.
    std::uint32_t* pixels() const { return static_cast<std::uint32_t*>(bits_); }
    std::uint32_t pixel(int x, int y) const { return pixels()[y * side_ + x]; }

private:
    int side_;
    void* bits_ = nullptr;
    BitmapHandle bitmap_;
    MemoryDC memory_;
    Selection selection_;
};

// Draws `content` over the whole surface at content.scale (the surface is made at that scale's
// side), starting from transparent black (or from the cached plate, when `cache` is given).
// Does nothing to a surface that could not be made.
void drawFrame(FrameSurface& surface, const FrameContent& content, FrameCache* cache = nullptr);
