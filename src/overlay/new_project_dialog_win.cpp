#include "overlay/new_project_dialog_win.h"

#include <algorithm>
#include <system_error>

#include "common/gdi_handles_win.h"
#include "common/message_font_win.h"
#include "common/window_handles_win.h"
#include "config/projects_file.h"
#include "overlay/screen_place_win.h"

namespace {

const wchar_t* const dialogClass = L"ArdenoTimeNewProject";
constexpr int editId = 100;
constexpr UINT comeForward = WM_APP + 1;  // opened again while open
constexpr DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD dialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

// What the dialog's window knows, on its thread.
struct DialogState {
    HWND edit = nullptr;
    HWND ok = nullptr;
    std::optional<std::wstring> name;
    bool inFrontAtEnd = false;  // it had the keyboard when it closed: the user's program gets it back
};

std::wstring textOf(HWND control) {
    const int length = std::max(GetWindowTextLengthW(control), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(control, text.data(), length + 1), 0)));
    return text;
}

void end(HWND window, DialogState& state) {
    state.inFrontAtEnd = GetForegroundWindow() == window;
    DestroyWindow(window);
}

LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case DM_GETDEFID:  // asked by IsDialogMessage on Enter
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
        if (LOWORD(wParam) == editId && HIWORD(wParam) == EN_CHANGE) {
            EnableWindow(state->ok, projectName(textOf(state->edit)).has_value());
        } else if (LOWORD(wParam) == IDOK) {
            state->name = projectName(textOf(state->edit));
            if (state->name) end(window, *state);
            else MessageBeep(MB_OK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            end(window, *state);
        }
        return 0;
    case WM_CLOSE:
        end(window, *state);
        return 0;
    case comeForward:
        SetForegroundWindow(window);
        SetFocus(state->edit);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// The frame around `client` at the overlay's DPI; from Windows 10 1607 on, looked up so that
// the program still starts on older systems, where the system's DPI stands in.
void adjustFrame(RECT& client, DisplayScale scale) {
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjustForDpi || !adjustForDpi(&client, dialogStyle, FALSE, dialogExStyle, static_cast<UINT>(scale.dpi())))
        AdjustWindowRectEx(&client, dialogStyle, FALSE, dialogExStyle);
}

int textHeight(HFONT font) {
    const WindowDC screen(nullptr);
    const Selection selected(screen.get(), font);
    TEXTMETRICW metrics{};
    return screen.get() && GetTextMetricsW(screen.get(), &metrics) ? metrics.tmHeight : 16;
}

HWND control(const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle, int id, RECT place, HWND parent,
             HFONT font) {
    const HWND made = CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, place.left,
                                      place.top, place.right - place.left, place.bottom - place.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (made) SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return made;
}

}  // namespace

NewProjectDialog::~NewProjectDialog() {
    if (!thread_.joinable()) return;
    HWND window = nullptr;
    {
        const std::lock_guard<std::mutex> hold(mailbox_.lock);
        mailbox_.closeAsked = true;
        window = mailbox_.window;
    }
    if (window) PostMessageW(window, WM_CLOSE, 0, 0);
    thread_.join();
}

void NewProjectDialog::open(HWND overlay, DisplayScale scale) {
    if (thread_.joinable()) {
        const std::lock_guard<std::mutex> hold(mailbox_.lock);
        if (!mailbox_.closed) {
            if (mailbox_.window) PostMessageW(mailbox_.window, comeForward, 0, 0);
            return;
        }
    }
    finish();
    mailbox_.window = nullptr;
    mailbox_.closeAsked = mailbox_.closed = false;
    try {
        thread_ = std::thread(run, std::ref(mailbox_), overlay, scale, GetForegroundWindow());
    } catch (const std::system_error&) {
        MessageBeep(MB_ICONWARNING);  // no thread to be had now; the menu can try again
    }
}

std::optional<std::wstring> NewProjectDialog::takeName() {
    if (!thread_.joinable()) return std::nullopt;
    std::optional<std::wstring> name;
    {
        const std::lock_guard<std::mutex> hold(mailbox_.lock);
        if (!mailbox_.closed) return std::nullopt;
        name = std::move(mailbox_.name);
        mailbox_.name.reset();
    }
    finish();
    return name;
}

HWND NewProjectDialog::window() {
    const std::lock_guard<std::mutex> hold(mailbox_.lock);
    return mailbox_.window;
}

void NewProjectDialog::finish() {
    if (thread_.joinable()) thread_.join();
}

void NewProjectDialog::run(Mailbox& mailbox, HWND overlay, DisplayScale scale, HWND previous) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = dialogProc;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = dialogClass;
    const WindowClass windowClass(description);
    const LOGFONTW logFont = messageFontAt(scale);
    const FontHandle font(CreateFontIndirectW(&logFont));
    DialogState state;

    // The classic dialog's lengths at 96 DPI (margins of 11, buttons of 75 x 23, 7 between
    // them), grown with the font where it is larger.
    const int margin = scale.pixels(11), gap = scale.pixels(7), line = textHeight(font.get());
    const int width = scale.pixels(320), editHeight = line + scale.pixels(9);
    const int buttonWidth = std::max(scale.pixels(75), line * 4), buttonHeight = std::max(scale.pixels(23), line + scale.pixels(9));
    const int buttonsTop = margin + editHeight + scale.pixels(14);
    RECT frame{0, 0, width, buttonsTop + buttonHeight + margin};
    adjustFrame(frame, scale);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const auto place = placeBeside(overlay, frameWidth, frameHeight, scale.pixels(6));
    // An owned window has no taskbar button of its own; the owner is never shown, and lives on this
    // thread, so that the overlay's input never waits on the dialog's.
    const OwnedWindow owner(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr));
    const OwnedWindow window(CreateWindowExW(dialogExStyle, dialogClass, title, dialogStyle, place.x, place.y,
                                             frameWidth, frameHeight, owner.get(), nullptr, GetModuleHandleW(nullptr),
                                             nullptr));
    if (const HWND dialog = window.get()) {
        state.edit = control(L"EDIT", L"", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, editId,
                             {margin, margin, width - margin, margin + editHeight}, dialog, font.get());
        SendMessageW(state.edit, EM_LIMITTEXT, 4 * projectNameLimit, 0);
        const int cancelLeft = width - margin - buttonWidth, okLeft = cancelLeft - gap - buttonWidth;
        state.ok = control(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_DISABLED, 0, IDOK,
                           {okLeft, buttonsTop, okLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font.get());
        control(L"BUTTON", L"Cancel", BS_PUSHBUTTON, 0, IDCANCEL,
                {cancelLeft, buttonsTop, cancelLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font.get());
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    }
    bool closeAsked = false;
    {
        const std::lock_guard<std::mutex> hold(mailbox.lock);
        mailbox.window = window.get();
        closeAsked = mailbox.closeAsked;
    }
    if (window.get() && !closeAsked) {
        ShowWindow(window.get(), SW_SHOW);
        SetForegroundWindow(window.get());
        SetFocus(state.edit);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Enter, Escape and Tab, as in any dialog.
            if (IsWindow(window.get()) && IsDialogMessageW(window.get(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (state.inFrontAtEnd && previous && IsWindow(previous)) SetForegroundWindow(previous);
    const std::lock_guard<std::mutex> hold(mailbox.lock);
    mailbox.window = nullptr;
    mailbox.name = std::move(state.name);
    mailbox.closed = true;
}
