#pragma once

#include <windows.h>

// Owners of the GDI handles one frame makes. Each releases its handle the way that handle must
// be released, so a frame can hand them back in the reverse order it declared them, on every
// path out. None can be copied: a handle released twice may already belong to someone else.

// A window's device context from GetDC; ReleaseDC gives it back.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context from CreateCompatibleDC; DeleteDC, not ReleaseDC, ends it.
class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A bitmap or DIB section. DeleteObject fails while the bitmap is selected into a DC, so its
// selection must be undone first.
class BitmapHandle {
public:
    explicit BitmapHandle(HBITMAP bitmap) : bitmap_(bitmap) {}
    BitmapHandle(const BitmapHandle&) = delete;
    BitmapHandle& operator=(const BitmapHandle&) = delete;
    ~BitmapHandle() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_;
};

// Selects an object into a DC and puts the DC's previous object back at the end, so that the
// DC can be deleted without taking the object along and the object can be deleted afterwards.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    explicit operator bool() const { return previous_ && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A GDI object the program made for drawing, a font or a brush; DeleteObject ends it. It must
// not be selected into a DC by then, so its Selection has to be declared after it.
template <class Handle>
class GdiObject {
public:
    explicit GdiObject(Handle object = nullptr) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() {
        if (object_) DeleteObject(object_);
    }
    Handle get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    Handle object_;
};

// An icon the program made (CreateIconIndirect); DestroyIcon ends it. Icons loaded as shared
// resources are the system's and are never held here.
class IconHandle {
public:
    explicit IconHandle(HICON icon = nullptr) : icon_(icon) {}
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;
    ~IconHandle() {
        if (icon_) DestroyIcon(icon_);
    }
    HICON get() const { return icon_; }

private:
    HICON icon_;
};

using FontHandle = GdiObject<HFONT>;
using BrushHandle = GdiObject<HBRUSH>;

// One WM_PAINT's device context: BeginPaint validates the window's update region, EndPaint
// gives the DC back and shows the caret again.
class PaintSession {
public:
    explicit PaintSession(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintSession(const PaintSession&) = delete;
    PaintSession& operator=(const PaintSession&) = delete;
    ~PaintSession() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};
