#include "history/history_controls_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace {

const wchar_t shareButtonText[] = L"Share with other PCs...";
const wchar_t stopButtonText[] = L"Stop sharing";
constexpr int listedRanges = static_cast<int>(std::size(reportRangeKinds));

HWND createControl(HWND parent, const wchar_t* kind, const wchar_t* text, DWORD controlStyle, int id) {
    return CreateWindowExW(0, kind, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | controlStyle, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

bool sameBox(const ChartBox& a, const ChartBox& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

HistoryControls::HistoryControls(HWND window, ReportRangeKind range, bool sharing) : shareButtonStops_(sharing) {
    rangeChoice_ = createControl(window, WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL, rangeId);
    for (ReportRangeKind kind : reportRangeKinds)
        SendMessageW(rangeChoice_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(reportRangeName(kind)));
    const auto chosen = std::find(std::begin(reportRangeKinds), std::end(reportRangeKinds), range);
    SendMessageW(rangeChoice_, CB_SETCURSEL, static_cast<WPARAM>(chosen - std::begin(reportRangeKinds)), 0);
    saveButton_ = createControl(window, L"BUTTON", L"Save report...", BS_PUSHBUTTON, saveId);
    shareButton_ =
        createControl(window, L"BUTTON", sharing ? stopButtonText : shareButtonText, BS_PUSHBUTTON, shareId);
    button_ = createControl(window, L"BUTTON", L"Open in spreadsheet", BS_PUSHBUTTON, spreadsheetId);
    // After the others, so that Tab reaches the buttons it always reached as it did.
    ratesButton_ = createControl(window, L"BUTTON", L"Rates and budgets...", BS_PUSHBUTTON, ratesId);
    exportButton_ = createControl(window, L"BUTTON", L"Export CSV...", BS_PUSHBUTTON, exportId);
    for (HWND control : {rangeChoice_, ratesButton_, exportButton_, saveButton_, shareButton_, button_})
        if (control) SetWindowSubclass(control, procedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void HistoryControls::setFont(HFONT font) {
    if (!font) return;
    for (HWND control : {rangeChoice_, ratesButton_, exportButton_, saveButton_, shareButton_, button_})
        if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    // Placed anew: the list's field takes its height from the font.
    for (ChartBox& box : placed_) box = {};
}

void HistoryControls::place(const HistoryChart& chart) {
    const HWND controls[] = {rangeChoice_, ratesButton_, exportButton_, saveButton_, shareButton_, button_};
    const ChartBox boxes[] = {chart.rangeChoice, chart.ratesButton, chart.exportButton, chart.saveButton,
                              chart.shareButton, chart.button};
    for (int i = 0; i < 6; ++i) {
        if (!controls[i] || sameBox(placed_[i], boxes[i])) continue;
        placed_[i] = boxes[i];
        const ChartBox& box = boxes[i];
        const int height = box.bottom - box.top;
        if (controls[i] != rangeChoice_) {
            MoveWindow(controls[i], box.left, box.top, box.right - box.left, height, TRUE);
            continue;
        }
        // A drop-down list is as high as its font makes its field, centred on the buttons'
        // line; the height it is given is that of its open list.
        MoveWindow(rangeChoice_, box.left, box.top, box.right - box.left, (listedRanges + 2) * height, TRUE);
        RECT field;
        if (GetWindowRect(rangeChoice_, &field) && field.bottom - field.top < height)
            MoveWindow(rangeChoice_, box.left, box.top + (height - (field.bottom - field.top)) / 2,
                       box.right - box.left, (listedRanges + 2) * height, TRUE);
    }
}

void HistoryControls::showSharing(bool sharing) {
    if (!shareButton_ || sharing == shareButtonStops_) return;
    shareButtonStops_ = sharing;
    SetWindowTextW(shareButton_, sharing ? stopButtonText : shareButtonText);
}

void HistoryControls::focus() const { SetFocus(focused_ ? focused_ : rangeChoice_); }

std::optional<ReportRangeKind> HistoryControls::chosenRange() const {
    const auto chosen = SendMessageW(rangeChoice_, CB_GETCURSEL, 0, 0);
    if (chosen < 0 || chosen >= listedRanges) return std::nullopt;
    return reportRangeKinds[chosen];
}

void HistoryControls::showRange(ReportRangeKind range) {
    const auto shown = std::find(std::begin(reportRangeKinds), std::end(reportRangeKinds), range);
    SendMessageW(rangeChoice_, CB_SETCURSEL, static_cast<WPARAM>(shown - std::begin(reportRangeKinds)), 0);
}

LRESULT CALLBACK HistoryControls::procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR self) {
    auto* controls = reinterpret_cast<HistoryControls*>(self);
    const bool isList = control == controls->rangeChoice_;
    const HWND window = GetParent(control);
    switch (message) {
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, procedure, 0);
        break;
    case WM_SETFOCUS:
        controls->focused_ = control;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            if (const HWND next = GetNextDlgTabItem(window, control, GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
            return 0;
        }
        if (wParam == VK_RETURN && !isList) {
            PostMessageW(control, BM_CLICK, 0, 0);
            return 0;
        }
        // The list takes the arrows and page keys for its ranges; on a button they scroll.
        if (!isList && (wParam == VK_PRIOR || wParam == VK_NEXT || wParam == VK_UP || wParam == VK_DOWN)) {
            const WORD how = wParam == VK_PRIOR ? SB_PAGEUP
                             : wParam == VK_NEXT ? SB_PAGEDOWN
                             : wParam == VK_UP   ? SB_LINEUP
                                                 : SB_LINEDOWN;
            SendMessageW(window, WM_VSCROLL, how, 0);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L'\t' || (wParam == L'\r' && !isList)) return 0;
        break;
    case WM_MOUSEWHEEL:
        if (!isList || !SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0))
            return SendMessageW(window, message, wParam, lParam);
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}
