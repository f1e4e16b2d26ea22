#include "history/custom_range_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <system_error>

#include "common/gdi_handles_win.h"
#include "common/message_font_win.h"
#include "common/window_handles_win.h"

namespace {

const wchar_t* const dialogClass = L"ArdenoTimeCustomRange";
constexpr UINT comeForward = WM_APP + 1;  // opened again while open
constexpr DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD dialogExStyle = WS_EX_DLGMODALFRAME;

struct DialogState {
    HWND from = nullptr;
    HWND to = nullptr;
    std::optional<PickedDays> days;
};

SYSTEMTIME systemTime(DayNumber day) {
    const CivilDate date = civilDate(day);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    time.wDayOfWeek = static_cast<WORD>((weekdayIndex(day) + 1) % 7);  // 0 for Sunday
    return time;
}

std::optional<DayNumber> pickedDay(HWND picker) {
    SYSTEMTIME time{};
    if (DateTime_GetSystemtime(picker, &time) != GDT_VALID) return std::nullopt;
    return dayNumber({time.wYear, time.wMonth, time.wDay});
}

LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case DM_GETDEFID:  // asked by IsDialogMessage on Enter
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const std::optional<DayNumber> from = pickedDay(state->from), to = pickedDay(state->to);
            if (!from || !to) {
                MessageBeep(MB_OK);
                return 0;
            }
            state->days = PickedDays{std::min(*from, *to), std::max(*from, *to)};
            DestroyWindow(window);
        } else if (LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case comeForward:
        SetForegroundWindow(window);
        SetFocus(state->from);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int textHeight(HFONT font) {
    const WindowDC screen(nullptr);
    const Selection selected(screen.get(), font);
    TEXTMETRICW metrics{};
    return screen.get() && GetTextMetricsW(screen.get(), &metrics) ? metrics.tmHeight : 16;
}

int textWidth(HFONT font, const wchar_t* text) {
    const WindowDC screen(nullptr);
    const Selection selected(screen.get(), font);
    SIZE size{};
    return screen.get() && GetTextExtentPoint32W(screen.get(), text, lstrlenW(text), &size) ? size.cx : 40;
}

HWND control(const wchar_t* kind, const wchar_t* text, DWORD style, int id, RECT place, HWND parent, HFONT font) {
    const HWND made = CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                      place.right - place.left, place.bottom - place.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (made) SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return made;
}

}  // namespace

CustomRangeDialog::~CustomRangeDialog() { close(); }

void CustomRangeDialog::close() {
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

void CustomRangeDialog::open(HWND owner, DisplayScale scale, PickedDays days) {
    if (thread_.joinable()) {
        const std::lock_guard<std::mutex> hold(mailbox_.lock);
        if (!mailbox_.closed) {
            if (mailbox_.window) PostMessageW(mailbox_.window, comeForward, 0, 0);
            return;
        }
    }
    if (thread_.joinable()) thread_.join();
    mailbox_.window = nullptr;
    mailbox_.closeAsked = mailbox_.closed = false;
    mailbox_.days.reset();
    try {
        thread_ = std::thread(run, std::ref(mailbox_), owner, scale, days);
    } catch (const std::system_error&) {
        MessageBeep(MB_ICONWARNING);  // no thread to be had now; the list can try again
    }
}

CustomRangeDialog::Answer CustomRangeDialog::takeAnswer() {
    Answer answer;
    if (!thread_.joinable()) return answer;
    {
        const std::lock_guard<std::mutex> hold(mailbox_.lock);
        if (!mailbox_.closed) return answer;
        answer.closed = true;
        if (mailbox_.days) {
            answer.confirmed = true;
            answer.days = *mailbox_.days;
        }
        mailbox_.days.reset();
    }
    thread_.join();
    return answer;
}

HWND CustomRangeDialog::window() {
    const std::lock_guard<std::mutex> hold(mailbox_.lock);
    return mailbox_.window;
}

void CustomRangeDialog::run(Mailbox& mailbox, HWND owner, DisplayScale scale, PickedDays days) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_DATE_CLASSES};
    InitCommonControlsEx(&common);
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

    // The classic dialog's lengths at 96 DPI, grown with the font where it is larger.
    const int margin = scale.pixels(11), gap = scale.pixels(7), line = textHeight(font.get());
    const int labelWidth = std::max(textWidth(font.get(), L"From:"), textWidth(font.get(), L"To:")) + gap;
    const int pickerWidth = std::max(scale.pixels(150), line * 8), fieldHeight = line + scale.pixels(9);
    const int buttonWidth = std::max(scale.pixels(75), line * 4);
    const int buttonHeight = std::max(scale.pixels(23), line + scale.pixels(9));
    const int width = margin + labelWidth + pickerWidth + margin;
    const int toTop = margin + fieldHeight + gap, buttonsTop = toTop + fieldHeight + scale.pixels(14);
    RECT frame{0, 0, width, buttonsTop + buttonHeight + margin};
    AdjustWindowRectEx(&frame, dialogStyle, FALSE, dialogExStyle);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    RECT ownerRect{};
    GetWindowRect(owner, &ownerRect);
    const int x = static_cast<int>(ownerRect.left + std::max<LONG>(0, (ownerRect.right - ownerRect.left - frameWidth) / 2));
    const int y = static_cast<int>(ownerRect.top + std::max<LONG>(0, (ownerRect.bottom - ownerRect.top - frameHeight) / 3));
    const OwnedWindow window(CreateWindowExW(dialogExStyle, dialogClass, CustomRangeDialog::title, dialogStyle, x, y,
                                             frameWidth, frameHeight, owner, nullptr, GetModuleHandleW(nullptr),
                                             nullptr));
    if (const HWND dialog = window.get()) {
        const int labelTop = (fieldHeight - line) / 2, pickerLeft = margin + labelWidth;
        control(L"STATIC", L"From:", 0, -1, {margin, margin + labelTop, pickerLeft, margin + labelTop + line}, dialog,
                font.get());
        state.from = control(DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_SHORTDATEFORMAT, fromId,
                             {pickerLeft, margin, pickerLeft + pickerWidth, margin + fieldHeight}, dialog, font.get());
        control(L"STATIC", L"To:", 0, -1, {margin, toTop + labelTop, pickerLeft, toTop + labelTop + line}, dialog,
                font.get());
        state.to = control(DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_SHORTDATEFORMAT, toId,
                           {pickerLeft, toTop, pickerLeft + pickerWidth, toTop + fieldHeight}, dialog, font.get());
        SYSTEMTIME first = systemTime(days.first), last = systemTime(days.last);
        DateTime_SetSystemtime(state.from, GDT_VALID, &first);
        DateTime_SetSystemtime(state.to, GDT_VALID, &last);
        const int cancelLeft = width - margin - buttonWidth, okLeft = cancelLeft - gap - buttonWidth;
        control(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK,
                {okLeft, buttonsTop, okLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font.get());
        control(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL,
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
        SetFocus(state.from);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            // Enter, Escape and Tab, as in any dialog.
            if (IsWindow(window.get()) && IsDialogMessageW(window.get(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const std::lock_guard<std::mutex> hold(mailbox.lock);
    mailbox.window = nullptr;
    mailbox.days = state.days;
    mailbox.closed = true;
}
