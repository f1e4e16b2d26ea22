#include "common/dialog_thread_win.h"

#include <algorithm>

#include "common/message_font_win.h"

LRESULT dialogDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DM_GETDEFID:  // asked by IsDialogMessage on Enter
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_CLOSE:  // the close box, Alt+F4, or the main thread's close
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND dialogControl(const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle, int id, RECT place,
                   HWND parent, HFONT font) {
    const HWND made = CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                      place.right - place.left, place.bottom - place.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (made) SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return made;
}

std::wstring controlText(HWND control) {
    const int length = std::max(GetWindowTextLengthW(control), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(control, text.data(), length + 1), 0)));
    return text;
}

int fontLineHeight(HFONT font) {
    const WindowDC screen(nullptr);
    const Selection selected(screen.get(), font);
    TEXTMETRICW metrics{};
    return screen.get() && GetTextMetricsW(screen.get(), &metrics) ? metrics.tmHeight : 16;
}

int fontTextWidth(HFONT font, const wchar_t* text) {
    const WindowDC screen(nullptr);
    const Selection selected(screen.get(), font);
    SIZE size{};
    return screen.get() && GetTextExtentPoint32W(screen.get(), text, lstrlenW(text), &size) ? size.cx : 40;
}

HWND makeHiddenOwner() {
    return CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

DialogThreadKit::DialogThreadKit(const wchar_t* className, WNDPROC procedure, DisplayScale scale)
    : windowClass_(description(className, procedure)), logFont_(messageFontAt(scale)),
      font_(CreateFontIndirectW(&logFont_)) {}

WNDCLASSEXW DialogThreadKit::description(const wchar_t* className, WNDPROC procedure) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = procedure;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = className;
    return description;
}

void runDialogLoop(HWND window, HWND focus) {
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(focus);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsWindow(window) && IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
