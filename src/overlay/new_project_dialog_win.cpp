#include "overlay/new_project_dialog_win.h"

#include <algorithm>

#include "config/projects_file.h"
#include "overlay/screen_place_win.h"

namespace {

const wchar_t* const dialogClass = L"ArdenoTimeNewProject";
constexpr int editId = 100;
constexpr DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD dialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST;

// What the dialog's window knows, on its thread.
struct DialogState {
    HWND edit = nullptr;
    HWND ok = nullptr;
    std::optional<std::wstring> name;
    bool inFrontAtEnd = false;  // it had the keyboard when it closed: the user's program gets it back
};

void end(HWND window, DialogState& state) {
    state.inFrontAtEnd = GetForegroundWindow() == window;
    DestroyWindow(window);
}

LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == editId && HIWORD(wParam) == EN_CHANGE) {
            EnableWindow(state->ok, projectName(controlText(state->edit)).has_value());
        } else if (LOWORD(wParam) == IDOK) {
            state->name = projectName(controlText(state->edit));
            if (state->name) end(window, *state);
            else MessageBeep(MB_OK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            end(window, *state);
        }
        return 0;
    case WM_CLOSE:
        end(window, *state);
        return 0;
    case dialogComeForward:
        SetForegroundWindow(window);
        SetFocus(state->edit);
        return 0;
    default:
        return dialogDefaultProc(window, message, wParam, lParam);
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

}  // namespace

void NewProjectDialog::open(HWND overlay, DisplayScale scale) {
    if (!thread_.bringForward()) thread_.start(run, overlay, scale, GetForegroundWindow());
}

std::optional<std::wstring> NewProjectDialog::takeName() { return thread_.take().result; }

HWND NewProjectDialog::window() { return thread_.window(); }

void NewProjectDialog::run(Thread::Mailbox& mailbox, HWND overlay, DisplayScale scale, HWND previous) {
    const DialogThreadKit kit(dialogClass, dialogProc, scale);
    const HFONT font = kit.font();
    DialogState state;

    // The classic dialog's lengths at 96 DPI (margins of 11, buttons of 75 x 23, 7 between
    // them), grown with the font where it is larger.
    const int margin = scale.pixels(11), gap = scale.pixels(7), line = fontLineHeight(font);
    const int width = scale.pixels(320), editHeight = line + scale.pixels(9);
    const int buttonWidth = std::max(scale.pixels(75), line * 4), buttonHeight = std::max(scale.pixels(23), line + scale.pixels(9));
    const int buttonsTop = margin + editHeight + scale.pixels(14);
    RECT frame{0, 0, width, buttonsTop + buttonHeight + margin};
    adjustFrame(frame, scale);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const auto place = placeBeside(overlay, frameWidth, frameHeight, scale.pixels(6));
    // An owned window has no taskbar button of its own; the owner is never shown, and lives on this
    // thread, so that the overlay's input never waits on the dialog's.
    const OwnedWindow owner(makeHiddenOwner());
    const OwnedWindow window(CreateWindowExW(dialogExStyle, dialogClass, title, dialogStyle, place.x, place.y,
                                             frameWidth, frameHeight, owner.get(), nullptr, GetModuleHandleW(nullptr),
                                             nullptr));
    if (const HWND dialog = window.get()) {
        state.edit = dialogControl(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, editId,
                                   {margin, margin, width - margin, margin + editHeight}, dialog, font);
        SendMessageW(state.edit, EM_LIMITTEXT, 4 * projectNameLimit, 0);
        const int cancelLeft = width - margin - buttonWidth, okLeft = cancelLeft - gap - buttonWidth;
        state.ok = dialogControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON | WS_DISABLED, 0, IDOK,
                                 {okLeft, buttonsTop, okLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font);
        dialogControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL,
                      {cancelLeft, buttonsTop, cancelLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    }
    if (mailbox.publish(window.get()) && window.get()) runDialogLoop(window.get(), state.edit);
    if (state.inFrontAtEnd && previous && IsWindow(previous)) SetForegroundWindow(previous);
    mailbox.hand(std::move(state.name));
}
