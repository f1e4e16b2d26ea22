#include "history/custom_range_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace {

const wchar_t* const dialogClass = L"ArdenoTimeCustomRange";
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
    case dialogComeForward:
        SetForegroundWindow(window);
        SetFocus(state->from);
        return 0;
    default:
        return dialogDefaultProc(window, message, wParam, lParam);
    }
}

}  // namespace

void CustomRangeDialog::close() { thread_.close(); }

void CustomRangeDialog::open(HWND owner, DisplayScale scale, PickedDays days) {
    if (!thread_.bringForward()) thread_.start(run, owner, scale, days);
}

CustomRangeDialog::Answer CustomRangeDialog::takeAnswer() {
    Answer answer;
    const Thread::Taken taken = thread_.take();
    answer.closed = taken.closed;
    if (taken.result) {
        answer.confirmed = true;
        answer.days = *taken.result;
    }
    return answer;
}

HWND CustomRangeDialog::window() { return thread_.window(); }

void CustomRangeDialog::run(Thread::Mailbox& mailbox, HWND owner, DisplayScale scale, PickedDays days) {
    INITCOMMONCONTROLSEX common{sizeof common, ICC_DATE_CLASSES};
    InitCommonControlsEx(&common);
    const DialogThreadKit kit(dialogClass, dialogProc, scale);
    const HFONT font = kit.font();
    DialogState state;

    // The classic dialog's lengths at 96 DPI, grown with the font where it is larger.
    const int margin = scale.pixels(11), gap = scale.pixels(7), line = fontLineHeight(font);
    const int labelWidth = std::max(fontTextWidth(font, L"From:"), fontTextWidth(font, L"To:")) + gap;
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
        dialogControl(L"STATIC", L"From:", 0, 0, -1, {margin, margin + labelTop, pickerLeft, margin + labelTop + line},
                      dialog, font);
        state.from = dialogControl(DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_SHORTDATEFORMAT, 0, fromId,
                                   {pickerLeft, margin, pickerLeft + pickerWidth, margin + fieldHeight}, dialog, font);
        dialogControl(L"STATIC", L"To:", 0, 0, -1, {margin, toTop + labelTop, pickerLeft, toTop + labelTop + line},
                      dialog, font);
        state.to = dialogControl(DATETIMEPICK_CLASSW, L"", WS_TABSTOP | DTS_SHORTDATEFORMAT, 0, toId,
                                 {pickerLeft, toTop, pickerLeft + pickerWidth, toTop + fieldHeight}, dialog, font);
        SYSTEMTIME first = systemTime(days.first), last = systemTime(days.last);
        DateTime_SetSystemtime(state.from, GDT_VALID, &first);
        DateTime_SetSystemtime(state.to, GDT_VALID, &last);
        const int cancelLeft = width - margin - buttonWidth, okLeft = cancelLeft - gap - buttonWidth;
        dialogControl(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK,
                      {okLeft, buttonsTop, okLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font);
        dialogControl(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL,
                      {cancelLeft, buttonsTop, cancelLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, font);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    }
    if (mailbox.publish(window.get()) && window.get()) runDialogLoop(window.get(), state.from);
    mailbox.hand(state.days);
}
