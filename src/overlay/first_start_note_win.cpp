#include "overlay/first_start_note_win.h"

#include <string>

#include "common/message_font_win.h"
#include "overlay/screen_place_win.h"

namespace {

const wchar_t* const noteClass = L"ArdenoTimeNote";

LRESULT CALLBACK noteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;  // the user's program stays in front
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        ShowWindow(window, SW_HIDE);  // read: the overlay closes it at its next frame
        return 0;
    case WM_PAINT: {
        const PaintSession paint(window);
        RECT client{};
        GetClientRect(window, &client);
        FillRect(paint.get(), &client, GetSysColorBrush(COLOR_INFOBK));
        const Selection font(paint.get(), reinterpret_cast<HFONT>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        SetBkMode(paint.get(), TRANSPARENT);
        SetTextColor(paint.get(), GetSysColor(COLOR_INFOTEXT));
        DrawTextW(paint.get(), FirstStartNote::text, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void FirstStartNote::show(HWND overlay, DisplayScale scale) {
    close();
    scale_ = scale;
    if (!class_) {
        WNDCLASSEXW description{};
        description.cbSize = sizeof description;
        description.lpfnWndProc = noteProc;
        description.hInstance = GetModuleHandleW(nullptr);
        description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        description.lpszClassName = noteClass;
        class_.emplace(description);
    }
    const LOGFONTW font = messageFontAt(scale);
    font_.emplace(CreateFontIndirectW(&font));
    // A note that cannot be made is no loss: the menu is there all the same.
    window_.emplace(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, noteClass, text,
                                    WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr),
                                    nullptr));
    if (!window_->get()) return;
    SetWindowLongPtrW(window_->get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font_->get()));
    follow(overlay);
    ShowWindow(window_->get(), SW_SHOWNOACTIVATE);
}

void FirstStartNote::follow(HWND overlay) {
    const HWND note = window_ ? window_->get() : nullptr;
    if (!note) return;
    SIZE textSize{};
    {
        const WindowDC dc(note);
        const Selection font(dc.get(), font_->get());
        GetTextExtentPoint32W(dc.get(), text, static_cast<int>(std::wstring(text).size()), &textSize);
    }
    RECT frame{0, 0, textSize.cx + 2 * scale_.pixels(8), textSize.cy + 2 * scale_.pixels(5)};
    AdjustWindowRectEx(&frame, WS_POPUP | WS_BORDER, FALSE, WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    const std::int32_t width = frame.right - frame.left, height = frame.bottom - frame.top;
    const OverlayCore::Point place = placeBeside(overlay, width, height, scale_.pixels(6));
    SetWindowPos(note, HWND_TOPMOST, place.x, place.y, width, height, SWP_NOACTIVATE);
}

void FirstStartNote::update() {
    // Clicked away: nothing of it need stay.
    if (window_ && !window()) close();
}

void FirstStartNote::close() {
    window_.reset();
    font_.reset();
}

HWND FirstStartNote::window() const {
    return window_ && window_->get() && IsWindowVisible(window_->get()) ? window_->get() : nullptr;
}
