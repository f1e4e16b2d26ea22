#include "history/rates_dialog_win.h"

#include <algorithm>
#include <iterator>
#include <system_error>

#include "common/gdi_handles_win.h"
#include "common/message_font_win.h"
#include "common/window_handles_win.h"
#include "history/billing.h"
#include "history/report_sums.h"

namespace {

const wchar_t* const dialogClass = L"ArdenoTimeRates";
constexpr int currencyId = 100, roundingId = 101, listId = 102, rateId = 103, budgetId = 104;
constexpr UINT comeForward = WM_APP + 1;
constexpr DWORD dialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD dialogExStyle = WS_EX_DLGMODALFRAME;
constexpr int roundings[] = {0, 6, 15, 30};
const wchar_t* const roundingNames[] = {L"Exact seconds", L"Up to 6 minutes", L"Up to 15 minutes",
                                        L"Up to 30 minutes"};

struct DialogState {
    RateSettings rates;
    std::vector<ProjectRate> lines;
    bool readable = true;
    HWND currency = nullptr, rounding = nullptr, list = nullptr, rate = nullptr, budget = nullptr, ok = nullptr;
    int chosen = -1;        // the line the two boxes edit
    bool filling = false;   // the boxes are being filled from a line, not typed in
    std::optional<RateSettings> result;
};

std::wstring textOf(HWND control) {
    const int length = std::max(GetWindowTextLengthW(control), 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(control, text.data(), length + 1), 0)));
    return text;
}

std::wstring figure(const std::optional<std::int64_t>& value) { return value ? scaledText(*value) : L""; }

// A line of the list: the project, its rate and its budget, at the list's tab stops.
std::wstring listText(const ProjectRate& line) {
    return projectTitle(line.project) + L"\t" + figure(line.rate) + L"\t" + figure(line.budget);
}

// Whether every box holds what rates.cfg can keep.
bool boxesValid(const DialogState& state) {
    bool valid = true;
    parseScaled(textOf(state.rate), rateLimit, valid);
    if (!valid) return false;
    parseScaled(textOf(state.budget), budgetLimit, valid);
    if (!valid) return false;
    const std::wstring currency = textOf(state.currency);
    return currency.size() <= currencyLimit &&
           std::none_of(currency.begin(), currency.end(), [](wchar_t c) { return c < 0x20; });
}

void choose(DialogState& state, int line) {
    if (line < 0 || line >= static_cast<int>(state.lines.size())) return;
    state.chosen = line;
    state.filling = true;
    SetWindowTextW(state.rate, figure(state.lines[static_cast<std::size_t>(line)].rate).c_str());
    SetWindowTextW(state.budget, figure(state.lines[static_cast<std::size_t>(line)].budget).c_str());
    state.filling = false;
}

// Takes what the boxes say into the chosen line, and shows it in the list.
void takeBoxes(DialogState& state) {
    EnableWindow(state.ok, state.readable && boxesValid(state));
    if (state.filling || state.chosen < 0) return;
    ProjectRate& line = state.lines[static_cast<std::size_t>(state.chosen)];
    bool valid = true;
    const std::optional<std::int64_t> rate = parseScaled(textOf(state.rate), rateLimit, valid);
    if (valid) line.rate = rate;
    const std::optional<std::int64_t> budget = parseScaled(textOf(state.budget), budgetLimit, valid);
    if (valid) line.budget = budget;
    const auto at = static_cast<WPARAM>(state.chosen);
    SendMessageW(state.list, LB_DELETESTRING, at, 0);
    SendMessageW(state.list, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(listText(line).c_str()));
    SendMessageW(state.list, LB_SETCURSEL, at, 0);
}

void confirm(HWND window, DialogState& state) {
    if (!state.readable || !boxesValid(state)) {
        MessageBeep(MB_OK);
        return;
    }
    RateSettings rates = state.rates;
    rates.currency = textOf(state.currency);
    const auto chosen = SendMessageW(state.rounding, CB_GETCURSEL, 0, 0);
    rates.roundingMinutes = chosen >= 0 && chosen < static_cast<LRESULT>(std::size(roundings)) ? roundings[chosen] : 0;
    for (const ProjectRate& line : state.lines) rates.set(line);
    state.result = std::move(rates);
    DestroyWindow(window);
}

LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case listId:
            if (HIWORD(wParam) == LBN_SELCHANGE)
                choose(*state, static_cast<int>(SendMessageW(state->list, LB_GETCURSEL, 0, 0)));
            break;
        case rateId:
        case budgetId:
        case currencyId:
            if (HIWORD(wParam) == EN_CHANGE) takeBoxes(*state);
            break;
        case IDOK: confirm(window, *state); break;
        case IDCANCEL: DestroyWindow(window); break;
        }
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case comeForward:
        SetForegroundWindow(window);
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

HWND control(const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle, int id, RECT place, HWND parent,
             HFONT font) {
    const HWND made = CreateWindowExW(exStyle, kind, text, WS_CHILD | WS_VISIBLE | style, place.left, place.top,
                                      place.right - place.left, place.bottom - place.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                      nullptr);
    if (made) SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return made;
}

}  // namespace

RatesDialog::~RatesDialog() {
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

void RatesDialog::open(HWND owner, DisplayScale scale, const RateSettings& rates,
                       const std::vector<std::wstring>& projects, const std::wstring& unreadable) {
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
    mailbox_.rates.reset();
    try {
        thread_ = std::thread(run, std::ref(mailbox_), Start{owner, scale, rates, rateLines(rates, projects), unreadable});
    } catch (const std::system_error&) {
        MessageBeep(MB_ICONWARNING);
    }
}

std::optional<RateSettings> RatesDialog::takeRates() {
    if (!thread_.joinable()) return std::nullopt;
    std::optional<RateSettings> rates;
    {
        const std::lock_guard<std::mutex> hold(mailbox_.lock);
        if (!mailbox_.closed) return std::nullopt;
        rates = std::move(mailbox_.rates);
        mailbox_.rates.reset();
    }
    finish();
    return rates;
}

bool RatesDialog::isOpen() {
    const std::lock_guard<std::mutex> hold(mailbox_.lock);
    return thread_.joinable() && !mailbox_.closed;
}

void RatesDialog::finish() {
    if (thread_.joinable()) thread_.join();
}

void RatesDialog::run(Mailbox& mailbox, Start start) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = dialogProc;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = dialogClass;
    const WindowClass windowClass(description);
    const DisplayScale scale = start.scale;
    const LOGFONTW logFont = messageFontAt(scale);
    const FontHandle font(CreateFontIndirectW(&logFont));
    DialogState state;
    state.rates = std::move(start.rates);
    state.lines = std::move(start.lines);
    state.readable = start.unreadable.empty();

    const int margin = scale.pixels(11), gap = scale.pixels(7), line = textHeight(font.get());
    const int width = scale.pixels(420), boxHeight = line + scale.pixels(9);
    const int buttonWidth = std::max(scale.pixels(75), line * 4);
    const int buttonHeight = std::max(scale.pixels(23), line + scale.pixels(9));
    const int labelWidth = scale.pixels(110);
    const int noteHeight = state.readable ? 0 : 3 * line + gap;
    int y = margin;
    const int currencyTop = y, roundingTop = y + boxHeight + gap;
    const int listTop = roundingTop + boxHeight + gap, listHeight = scale.pixels(180);
    const int rateTop = listTop + listHeight + gap, budgetTop = rateTop + boxHeight + gap;
    const int noteTop = budgetTop + boxHeight + gap, buttonsTop = noteTop + noteHeight + gap;
    RECT frame{0, 0, width, buttonsTop + buttonHeight + margin};
    AdjustWindowRectEx(&frame, dialogStyle, FALSE, dialogExStyle);
    RECT ownerBox{};
    GetWindowRect(start.owner, &ownerBox);
    const int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    const OwnedWindow window(CreateWindowExW(
        dialogExStyle, dialogClass, RatesDialog::title, dialogStyle, ownerBox.left + scale.pixels(40),
        ownerBox.top + scale.pixels(40), frameWidth, frameHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    if (const HWND dialog = window.get()) {
        const HFONT f = font.get();
        const int fieldLeft = margin + labelWidth;
        const auto label = [&](const wchar_t* text, int top) {
            control(L"STATIC", text, SS_LEFT | SS_CENTERIMAGE, 0, -1, {margin, top, fieldLeft - gap, top + boxHeight},
                    dialog, f);
        };
        label(L"Currency:", currencyTop);
        state.currency = control(L"EDIT", state.rates.currency.c_str(), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
                                 currencyId, {fieldLeft, currencyTop, fieldLeft + scale.pixels(90), currencyTop + boxHeight},
                                 dialog, f);
        SendMessageW(state.currency, EM_LIMITTEXT, currencyLimit, 0);
        label(L"Rounding:", roundingTop);
        state.rounding = control(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, roundingId,
                                 {fieldLeft, roundingTop, width - margin, roundingTop + 6 * boxHeight}, dialog, f);
        for (const wchar_t* name : roundingNames)
            SendMessageW(state.rounding, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        const auto rounding = std::find(std::begin(roundings), std::end(roundings), state.rates.roundingMinutes);
        SendMessageW(state.rounding, CB_SETCURSEL, static_cast<WPARAM>(rounding - std::begin(roundings)), 0);
        state.list = control(L"LISTBOX", L"", LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                             WS_EX_CLIENTEDGE, listId, {margin, listTop, width - margin, listTop + listHeight}, dialog, f);
        // Tab stops in dialog units: the name takes most of the width, the figures the rest.
        const int stops[] = {150, 200};
        SendMessageW(state.list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
        for (const ProjectRate& projectLine : state.lines)
            SendMessageW(state.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listText(projectLine).c_str()));
        label(L"Rate an hour:", rateTop);
        state.rate = control(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, rateId,
                             {fieldLeft, rateTop, fieldLeft + scale.pixels(110), rateTop + boxHeight}, dialog, f);
        label(L"Budget in hours:", budgetTop);
        state.budget = control(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, budgetId,
                               {fieldLeft, budgetTop, fieldLeft + scale.pixels(110), budgetTop + boxHeight}, dialog, f);
        if (!state.readable)
            control(L"STATIC",
                    (L"This file cannot be read, and is left as it is until it is mended or removed:\n" +
                     start.unreadable).c_str(),
                    SS_LEFT | SS_PATHELLIPSIS, 0, -1, {margin, noteTop, width - margin, noteTop + noteHeight}, dialog, f);
        const int cancelLeft = width - margin - buttonWidth, okLeft = cancelLeft - gap - buttonWidth;
        state.ok = control(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | (state.readable ? 0 : WS_DISABLED), 0,
                           IDOK, {okLeft, buttonsTop, okLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, f);
        control(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL,
                {cancelLeft, buttonsTop, cancelLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, f);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        SendMessageW(state.list, LB_SETCURSEL, 0, 0);
        choose(state, 0);
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
        SetFocus(state.list);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (IsWindow(window.get()) && IsDialogMessageW(window.get(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const std::lock_guard<std::mutex> hold(mailbox.lock);
    mailbox.window = nullptr;
    mailbox.rates = std::move(state.result);
    mailbox.closed = true;
}
