#include "overlay/render_win.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "overlay/overlay_look.h"

namespace {

// DIB_RGB_COLORS needs no DC's palette, so the bitmap can exist before any DC does and be
// released after all of them.
HBITMAP createFrameBitmap(int side, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // top-down, like GDI+'s scan lines
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

bool usable(Gdiplus::Image* image) { return image && image->GetLastStatus() == Gdiplus::Ok; }

// Stretched over the whole frame. A frame larger than the picture (a scaled display) is filled
// smoothly rather than with the default's softer or blockier pixels.
void drawWholeFrame(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int side) {
    if (!usable(image)) return;
    if (side != frameSide) graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
    graphics.DrawImage(image, 0, 0, side, side);
}

// Placed by the box of "00:00:00" rather than of the text itself: the time stays put while its
// digits change, and grows to the right when the hours need a third digit.
Gdiplus::RectF measureTimeBox(Gdiplus::Graphics& graphics, Gdiplus::Font* font) {
    Gdiplus::RectF box;
    graphics.MeasureString(L"00:00:00", -1, font, Gdiplus::RectF(0, 0, 0, 0), nullptr, &box);
    return box;
}

// The time text's colour, at half its alpha while counting is paused.
Gdiplus::Color figureColor(const FrameContent& content) {
    std::uint8_t color[3] = {content.textColor[0], content.textColor[1], content.textColor[2]};
    if (content.paused) color[0] = static_cast<std::uint8_t>(color[0] / 2);
    return Gdiplus::Color(textArgb(color));
}

// Returns the box of "00:00:00" it placed the time by, empty when there is no time text.
Gdiplus::RectF drawTime(Gdiplus::Graphics& graphics, const FrameContent& content, FrameCache* cache) {
    if (!content.font || content.font->GetLastStatus() != Gdiplus::Ok) return {};
    Gdiplus::SolidBrush brush(figureColor(content));
    // Laid out in the overlay's own pixels and scaled as a whole, so that the text's size and its
    // centre grow alike; the glyphs are still drawn at the frame's resolution, sharp.
    if (!content.scale.isStandard()) {
        const auto factor = static_cast<Gdiplus::REAL>(content.scale.factor());
        graphics.ScaleTransform(factor, factor);
    }
    const Gdiplus::RectF box =
        cache ? cache->timeBoxFor(content.font, content.scale, [&] { return measureTimeBox(graphics, content.font); })
              : measureTimeBox(graphics, content.font);
    // A figure longer than "00:00:00" (hundreds of hours and more) is drawn smaller, centred on
    // the same box, so that it never runs off the plate.
    float shrink = 1.0f;
    if (content.timeText.size() > 8) {
        Gdiplus::RectF wide;
        graphics.MeasureString(content.timeText.c_str(), -1, content.font, Gdiplus::RectF(0, 0, 0, 0), nullptr, &wide);
        shrink = figureShrink(wide.Width, box.Width);
    }
    if (shrink < 1.0f) {
        graphics.TranslateTransform(static_cast<Gdiplus::REAL>(content.textCenterX),
                                    static_cast<Gdiplus::REAL>(content.textCenterY));
        graphics.ScaleTransform(shrink, shrink);
        Gdiplus::StringFormat centred;
        centred.SetAlignment(Gdiplus::StringAlignmentCenter);
        centred.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        graphics.DrawString(content.timeText.c_str(), -1, content.font, Gdiplus::PointF(0, 0), &centred, &brush);
    } else {
        const float originX = content.textCenterX - box.Width * 0.5f;
        const float originY = content.textCenterY - box.Height * 0.5f;
        graphics.DrawString(content.timeText.c_str(), -1, content.font, Gdiplus::RectF(originX, originY, 0, 0),
                            nullptr, &brush);
    }
    graphics.ResetTransform();
    return box;
}

// Two bars in the time's colour, opaque: the figure stands still because counting is paused.
void drawPauseMark(Gdiplus::Graphics& graphics, const FrameContent& content) {
    Gdiplus::SolidBrush brush(Gdiplus::Color(static_cast<Gdiplus::ARGB>(textArgb(content.textColor) | 0xFF000000u)));
    const DisplayScale scale = content.scale;
    const auto bar = [&](float left) {
        graphics.FillRectangle(&brush, std::round(scale.exact(pauseMarkX + left)), std::round(scale.exact(pauseMarkY - 6)),
                               std::round(scale.exact(3)), std::round(scale.exact(12)));
    };
    bar(-5);
    bar(2);
}

// The daily goal's progress: a faint track as wide as the figure's box and its done part in the
// time's colour, where it covers neither the figure nor the project's name.
void drawGoalLine(Gdiplus::Graphics& graphics, const FrameContent& content, FrameCache* cache,
                  const Gdiplus::RectF& timeBox) {
    if (content.goalSeconds <= 0 || !(timeBox.Width > 0)) return;
    const PlateBox figure = figureBox({content.textCenterX, content.textCenterY}, timeBox.Width, timeBox.Height);
    std::optional<PlateBox> name;
    if (content.projectWidth > 0 && content.projectFont)
        name = projectNameBox({content.projectCenterX, content.projectCenterY, content.projectSize,
                               content.projectWidth});
    const int side = frameSideAt(content.scale);
    std::optional<PlateBox> plate = cache ? cache->plateBoxFor(content.baseImage, side) : std::nullopt;
    const std::optional<PlateBox> place =
        goalLinePlace(figure, name, plate.value_or(PlateBox{0, 0, frameSide, frameSide}), 2, 3);
    if (!place) return;
    const float factor = static_cast<float>(content.scale.factor());
    const float left = place->left * factor, top = place->top * factor;
    const float width = (place->right - place->left) * factor, height = (place->bottom - place->top) * factor;
    const Gdiplus::Color color(textArgb(content.textColor));
    Gdiplus::SolidBrush track(Gdiplus::Color(static_cast<BYTE>(color.GetA() / 3), color.GetR(), color.GetG(), color.GetB()));
    Gdiplus::SolidBrush done(color);
    graphics.FillRectangle(&track, left, top, width, height);
    const float filled = width * static_cast<float>(std::clamp(content.goalFill, 0, 1000)) / 1000.0f;
    if (filled > 0) graphics.FillRectangle(&done, left, top, filled, height);
}

// In the time's colour, in small type under it, so that nobody counts into the wrong project
// unawares.
void drawProject(Gdiplus::Graphics& graphics, const FrameContent& content, FrameCache* cache) {
    Gdiplus::Font* font = content.projectFont;
    if (content.projectText.empty() || !(content.projectWidth > 0) || !font || font->GetLastStatus() != Gdiplus::Ok)
        return;
    Gdiplus::SolidBrush brush(Gdiplus::Color(textArgb(content.textColor)));
    if (!content.scale.isStandard()) {
        const auto factor = static_cast<Gdiplus::REAL>(content.scale.factor());
        graphics.ScaleTransform(factor, factor);
    }
    Gdiplus::StringFormat format(Gdiplus::StringFormat::GenericTypographic());
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsNoClip);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    const auto shorten = [&] {
        return shortenToFit(content.projectText, content.projectWidth, [&](const std::wstring& text) {
            Gdiplus::RectF box;
            graphics.MeasureString(text.c_str(), static_cast<INT>(text.size()), font, Gdiplus::PointF(0, 0), &format,
                                   &box);
            return static_cast<float>(box.Width);
        });
    };
    const std::wstring shown = cache ? cache->projectTextFor(content.projectText, font, content.scale,
                                                             content.projectWidth, shorten)
                                     : shorten();
    const float height = 2 * font->GetSize();
    graphics.DrawString(shown.c_str(), static_cast<INT>(shown.size()), font,
                        Gdiplus::RectF(content.projectCenterX - content.projectWidth / 2,
                                       content.projectCenterY - height / 2, content.projectWidth, height),
                        &format, &brush);
    graphics.ResetTransform();
}

// Opaque whatever the skin's text colour, so that it shows even when the time does not.
void drawSaveWarning(Gdiplus::Graphics& graphics, DisplayScale scale) {
    const Gdiplus::SmoothingMode before = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float x = scale.exact(saveWarningCenterX), y = scale.exact(saveWarningCenterY);
    const float r = scale.exact(saveWarningRadius);
    Gdiplus::SolidBrush disc(Gdiplus::Color(255, 226, 58, 42));
    Gdiplus::SolidBrush mark(Gdiplus::Color(255, 255, 255, 255));
    graphics.FillEllipse(&disc, x - r, y - r, 2 * r, 2 * r);
    // Whole pixels: at this size a fractional "!" smears, and Wine fills without anti-aliasing.
    const auto bar = [&](float left, float top, float width, float height) {
        const float l = std::round(x + scale.exact(left)), t = std::round(y + scale.exact(top));
        graphics.FillRectangle(&mark, l, t, std::round(x + scale.exact(left + width)) - l,
                               std::round(y + scale.exact(top + height)) - t);
    };
    bar(-1, -6, 2, 8);
    bar(-1, 3, 2, 2);
    graphics.SetSmoothingMode(before);
}

// A pointer's arrow over a ring, white on blue and opaque over any skin: clicks pass through here.
void drawClickThroughMark(Gdiplus::Graphics& graphics, DisplayScale scale) {
    const Gdiplus::SmoothingMode before = graphics.GetSmoothingMode();
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    const float x = scale.exact(clickThroughMarkX), y = scale.exact(clickThroughMarkY);
    const float r = scale.exact(saveWarningRadius);
    Gdiplus::SolidBrush disc(Gdiplus::Color(255, 0, 103, 192));
    Gdiplus::SolidBrush white(Gdiplus::Color(255, 255, 255, 255));
    graphics.FillEllipse(&disc, x - r, y - r, 2 * r, 2 * r);
    const auto at = [&](float dx, float dy) { return Gdiplus::PointF(x + scale.exact(dx), y + scale.exact(dy)); };
    const Gdiplus::PointF arrow[] = {at(-3, -6), at(-3, 5), at(0, 2), at(2, 6), at(4, 5), at(2, 1), at(5, 1)};
    graphics.FillPolygon(&white, arrow, 7);
    graphics.SetSmoothingMode(before);
}

}  // namespace

FrameSurface::FrameSurface(int side)
    : side_(side),
      bitmap_(createFrameBitmap(side, &bits_)),
      memory_(nullptr),
      selection_(memory_.get(), bitmap_.get()) {}

// Graphics over a Bitmap of the DIB's own bits, not over the memory DC: given a DC, GDI+ hands
// opaque fills and text to GDI, which leaves their alpha at 0 and the layered window clear.
void drawFrame(FrameSurface& surface, const FrameContent& content, FrameCache* cache) {
    if (!surface) return;
    const int side = surface.side();
    std::uint32_t* pixels = surface.pixels();
    // Plain copies rather than GDI+'s Clear and a scaled DrawImage: under Wine those two are
    // most of a frame's cost, and the plate is the same in every frame.
    const std::vector<std::uint32_t>* plate = cache ? &cache->plateFor(content.baseImage, side) : nullptr;
    if (plate && !plate->empty()) std::copy(plate->begin(), plate->end(), pixels);
    else std::fill(pixels, pixels + side * side, 0u);
    Gdiplus::Bitmap bitmap(side, side, side * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(pixels));
    Gdiplus::Graphics graphics(&bitmap);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias);
    if (!plate) drawWholeFrame(graphics, content.baseImage, side);
    const Gdiplus::RectF timeBox = drawTime(graphics, content, cache);
    drawProject(graphics, content, cache);
    drawGoalLine(graphics, content, cache, timeBox);
    if (content.paused) drawPauseMark(graphics, content);
    if (content.saveFailed) drawSaveWarning(graphics, content.scale);
    if (content.clickThroughMark) drawClickThroughMark(graphics, content.scale);
    if (content.selectingTarget) drawWholeFrame(graphics, content.targetSelectImage, side);
}

FrameCache::FrameCache() = default;
FrameCache::~FrameCache() = default;

FrameSurface& FrameCache::surfaceFor(int side) {
    // One that could not be made is tried again at the next frame.
    if (!surface_ || surface_->side() != side || !*surface_) {
        surface_ = std::make_unique<FrameSurface>(side);
        onSurface_.reset();
    }
    return *surface_;
}

bool FrameCache::surfaceHolds(const FrameContent& content) const {
    if (!onSurface_) return false;
    FrameContent same = content;
    same.alpha = onSurface_->alpha;
    return same == *onSurface_;
}

void FrameCache::drewOnSurface(const FrameContent& content) { onSurface_ = content; }

const std::vector<std::uint32_t>& FrameCache::plateFor(Gdiplus::Image* image, int side) {
    if (plateDrawn_ && image == plateImage_ && side == plateSide_) return plate_;
    plateDrawn_ = true;
    plateBoxFound_ = false;
    plateImage_ = image;
    plateSide_ = side;
    plate_.clear();
    if (!usable(image)) return plate_;
    plate_.assign(static_cast<std::size_t>(side) * side, 0u);
    Gdiplus::Bitmap bitmap(side, side, side * 4, PixelFormat32bppPARGB, reinterpret_cast<BYTE*>(plate_.data()));
    Gdiplus::Graphics graphics(&bitmap);
    drawWholeFrame(graphics, image, side);
    return plate_;
}

const std::optional<PlateBox>& FrameCache::plateBoxFor(Gdiplus::Image* image, int side) {
    const std::vector<std::uint32_t>& pixels = plateFor(image, side);
    if (!plateBoxFound_) {
        plateBoxFound_ = true;
        plateBox_ = visiblePlate(pixels, side);
    }
    return plateBox_;
}

bool renderFrame(HWND window, POINT destination, SIZE size, POINT sourceOrigin, BLENDFUNCTION blend,
                 const FrameContent& content, FrameCache* cache) {
    const int side = frameSideAt(content.scale);
    std::optional<FrameSurface> own;
    FrameSurface& surface = cache ? cache->surfaceFor(side) : own.emplace(side);
    if (!surface) return false;
    // A fade changes only the opacity: the picture is pushed again as it is.
    if (!cache || !cache->surfaceHolds(content)) {
        drawFrame(surface, content, cache);
        if (cache) cache->drewOnSurface(content);
    }
    return UpdateLayeredWindow(window, nullptr, &destination, &size, surface.memoryDC(), &sourceOrigin, 0, &blend,
                               ULW_ALPHA) != FALSE;
}
