#include "history/rates_dialog_win.h"

#include <algorithm>
#include <iterator>

#include "history/billing.h"
#include "history/report_sums.h"

namespace {

const wchar_t* const dialogClass = L"ArdenoTimeRates";
constexpr int currencyId = 100, roundingId = 101, listId = 102, rateId = 103, budgetId = 104;
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

std::wstring figure(const std::optional<std::int64_t>& value) { return value ? scaledText(*value) : L""; }

// A line of the list: the project, its rate and its budget, at the list's tab stops.
std::wstring listText(const ProjectRate& line) {
    return projectTitle(line.project) + L"\t" + figure(line.rate) + L"\t" + figure(line.budget);
}

// Whether every box holds what rates.cfg can keep.
bool boxesValid(const DialogState& state) {
    bool valid = true;
    parseScaled(controlText(state.rate), rateLimit, valid);
    if (!valid) return false;
    parseScaled(controlText(state.budget), budgetLimit, valid);
    if (!valid) return false;
    const std::wstring currency = controlText(state.currency);
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
    const std::optional<std::int64_t> rate = parseScaled(controlText(state.rate), rateLimit, valid);
    if (valid) line.rate = rate;
    const std::optional<std::int64_t> budget = parseScaled(controlText(state.budget), budgetLimit, valid);
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
    rates.currency = controlText(state.currency);
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
    case dialogComeForward:
        SetForegroundWindow(window);
        return 0;
    default:
        return dialogDefaultProc(window, message, wParam, lParam);
    }
}

}  // namespace

void RatesDialog::open(HWND owner, DisplayScale scale, const RateSettings& rates,
                       const std::vector<std::wstring>& projects, const std::wstring& unreadable) {
    if (!thread_.bringForward())
        thread_.start(run, Start{owner, scale, rates, rateLines(rates, projects), unreadable});
}

std::optional<RateSettings> RatesDialog::takeRates() { return thread_.take().result; }

bool RatesDialog::isOpen() { return thread_.isOpen(); }

void RatesDialog::run(Thread::Mailbox& mailbox, Start start) {
    const DisplayScale scale = start.scale;
    const DialogThreadKit kit(dialogClass, dialogProc, scale);
    DialogState state;
    state.rates = std::move(start.rates);
    state.lines = std::move(start.lines);
    state.readable = start.unreadable.empty();

    const int margin = scale.pixels(11), gap = scale.pixels(7), line = fontLineHeight(kit.font());
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
    // Owned by a hidden window of this thread, not by `owner`, whose thread would then share its
    // input with this one; owned, it has no taskbar button of its own.
    const OwnedWindow hiddenOwner(makeHiddenOwner());
    const OwnedWindow window(CreateWindowExW(dialogExStyle, dialogClass, RatesDialog::title, dialogStyle,
                                             ownerBox.left + scale.pixels(40), ownerBox.top + scale.pixels(40),
                                             frameWidth, frameHeight, hiddenOwner.get(), nullptr,
                                             GetModuleHandleW(nullptr), nullptr));
    if (const HWND dialog = window.get()) {
        const HFONT f = kit.font();
        const int fieldLeft = margin + labelWidth;
        const auto label = [&](const wchar_t* text, int top) {
            dialogControl(L"STATIC", text, SS_LEFT | SS_CENTERIMAGE, 0, -1,
                          {margin, top, fieldLeft - gap, top + boxHeight}, dialog, f);
        };
        label(L"Currency:", currencyTop);
        state.currency = dialogControl(
            L"EDIT", state.rates.currency.c_str(), ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, currencyId,
            {fieldLeft, currencyTop, fieldLeft + scale.pixels(90), currencyTop + boxHeight}, dialog, f);
        SendMessageW(state.currency, EM_LIMITTEXT, currencyLimit, 0);
        label(L"Rounding:", roundingTop);
        state.rounding =
            dialogControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, roundingId,
                          {fieldLeft, roundingTop, width - margin, roundingTop + 6 * boxHeight}, dialog, f);
        for (const wchar_t* name : roundingNames)
            SendMessageW(state.rounding, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        const auto rounding = std::find(std::begin(roundings), std::end(roundings), state.rates.roundingMinutes);
        SendMessageW(state.rounding, CB_SETCURSEL, static_cast<WPARAM>(rounding - std::begin(roundings)), 0);
        state.list = dialogControl(
            L"LISTBOX", L"", LBS_NOTIFY | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
            WS_EX_CLIENTEDGE, listId, {margin, listTop, width - margin, listTop + listHeight}, dialog, f);
        // Tab stops in dialog units: the name takes most of the width, the figures the rest.
        const int stops[] = {150, 200};
        SendMessageW(state.list, LB_SETTABSTOPS, 2, reinterpret_cast<LPARAM>(stops));
        for (const ProjectRate& projectLine : state.lines)
            SendMessageW(state.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(listText(projectLine).c_str()));
        label(L"Rate an hour:", rateTop);
        state.rate = dialogControl(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, rateId,
                                   {fieldLeft, rateTop, fieldLeft + scale.pixels(110), rateTop + boxHeight}, dialog, f);
        label(L"Budget in hours:", budgetTop);
        state.budget =
            dialogControl(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, budgetId,
                          {fieldLeft, budgetTop, fieldLeft + scale.pixels(110), budgetTop + boxHeight}, dialog, f);
        if (!state.readable)
            dialogControl(
                L"STATIC",
                (L"This file cannot be read, and is left as it is until it is mended or removed:\n" + start.unreadable)
                    .c_str(),
                SS_LEFT | SS_PATHELLIPSIS, 0, -1, {margin, noteTop, width - margin, noteTop + noteHeight}, dialog, f);
        const int cancelLeft = width - margin - buttonWidth, okLeft = cancelLeft - gap - buttonWidth;
        state.ok =
            dialogControl(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | (state.readable ? 0 : WS_DISABLED), 0, IDOK,
                          {okLeft, buttonsTop, okLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, f);
        dialogControl(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0, IDCANCEL,
                      {cancelLeft, buttonsTop, cancelLeft + buttonWidth, buttonsTop + buttonHeight}, dialog, f);
        SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
        SendMessageW(state.list, LB_SETCURSEL, 0, 0);
        choose(state, 0);
    }
    if (mailbox.publish(window.get()) && window.get()) runDialogLoop(window.get(), state.list);
    mailbox.hand(std::move(state.result));
}
