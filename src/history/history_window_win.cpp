#include "history/history_window_win.h"

#include <shellapi.h>

#include <algorithm>
#include <optional>

#include "common/com_win.h"
#include "common/number_marks_win.h"
#include "common/display_scale_win.h"
#include "common/local_clock.h"
#include "common/window_handles_win.h"
#include "config/file_system.h"
#include "config/settings_error.h"
#include "history/history_controls_win.h"
#include "history/history_paint_win.h"
#include "history/billing.h"
#include "history/packed_history.h"

namespace {

const wchar_t className[] = L"ArdenoTimeWorkHistory";
const wchar_t title[] = L"Ardeno Time - work history";
constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VSCROLL;
constexpr DWORD exStyle = WS_EX_APPWINDOW;
// Asks sharing's question from the window's own messages, once the window is drawn.
constexpr UINT askMessage = WM_APP + 1;

// The outer size of the window whose client area is `client` beside its scroll bar.
SIZE outerSize(ChartSize client, DisplayScale scale) {
    RECT rect{0, 0, client.width, client.height};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    const int bar = MulDiv(GetSystemMetrics(SM_CXVSCROLL), scale.dpi(), windowScale(nullptr).dpi());
    return {rect.right - rect.left + bar, rect.bottom - rect.top};
}

// The default size, or less on a monitor too small for it.
void sizeForMonitor(HWND window, DisplayScale scale) {
    SIZE size = outerSize(historyDefaultSize(scale.factor()), scale);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        size.cx = std::min<LONG>(size.cx, monitor.rcWork.right - monitor.rcWork.left);
        size.cy = std::min<LONG>(size.cy, monitor.rcWork.bottom - monitor.rcWork.top);
    }
    SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring openFailureText(const std::wstring& path, INT_PTR code) {
    if (code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE)
        return L"Ardeno Time cannot open the work history: no program is set to open .csv files.\n\nOpen it from "
               L"your spreadsheet program:\n" + path;
    std::wstring reason;
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == SE_ERR_ACCESSDENIED ||
        code == SE_ERR_OOM || code == SE_ERR_SHARE)
        reason = systemReason(std::error_code(static_cast<int>(code), std::system_category()));
    else
        reason = L"Windows error " + std::to_wstring(code);
    return L"Ardeno Time cannot open the work history:\n" + path + L"\n\n" + reason + L".";
}

WNDCLASSEXW classDescription(WNDPROC procedure) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.style = CS_HREDRAW | CS_VREDRAW;
    description.lpfnWndProc = procedure;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hIcon = LoadIconW(description.hInstance, MAKEINTRESOURCEW(1));
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.lpszClassName = className;
    return description;
}

}  // namespace

// Declared in the order they are needed: the window goes first (its controls still use the
// fonts and send their keys until then), the class last.
struct HistoryWindow::Open {
    explicit Open(HistoryWindow* owner);
    // Lays the window out at `newScale`: its fonts, and its controls'.
    void takeScale(DisplayScale newScale);

    WindowClass windowClass{classDescription(HistoryWindow::procedure)};
    // The system's DPI until the window exists; then that of the monitor it is on.
    DisplayScale scale = windowScale(nullptr);
    std::unique_ptr<HistoryFonts> fonts = std::make_unique<HistoryFonts>(scale);
    std::unique_ptr<HistoryControls> controls;
    OwnedWindow window;
    DWORD error = 0;  // why the window could not be made
};

HistoryWindow::Open::Open(HistoryWindow* owner)
    : window([owner, this] {
          const SIZE size = outerSize(historyDefaultSize(scale.factor()), scale);
          // A class left registered by an earlier failure still serves.
          return CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), owner);
      }()) {
    if (!window.get()) {
        error = GetLastError();
        return;
    }
    controls = std::make_unique<HistoryControls>(window.get(), owner->range_, owner->sharing_->sharing());
    // Opened on another monitor than the main one, it takes that monitor's scale and size.
    takeScale(windowScale(window.get()));
    sizeForMonitor(window.get(), scale);
}

void HistoryWindow::Open::takeScale(DisplayScale newScale) {
    auto replacement = std::make_unique<HistoryFonts>(newScale);
    // The controls let go of the old font before it is deleted.
    controls->setFont(replacement->small.get());
    fonts = std::move(replacement);
    scale = newScale;
}

HistoryWindow::HistoryWindow() = default;
HistoryWindow::~HistoryWindow() {
    customDialog_.close();
    saver_.stop();
}

HWND HistoryWindow::handle() const { return open_ ? open_->window.get() : nullptr; }

void HistoryWindow::show(WorkHistory& history, HistorySharing& sharing) {
    history_ = &history;
    sharing_ = &sharing;
    // Corrections saved from a spreadsheet show, and the file holds what the window shows.
    history.flush(readLocalMoment());
    // Beside data.cfg, as history.csv is; read again at each opening, for a hand-edited mark.
    const std::wstring& historyPath = history.path();
    lastReport_.open(reportMarkFilePath(historyPath.substr(0, historyPath.find_last_of(L"\\/"))), readLocalMoment());
    if (open_) {
        loadRates();  // a rates.cfg edited by hand meanwhile shows
        if (IsIconic(open_->window.get())) ShowWindow(open_->window.get(), SW_RESTORE);
        SetForegroundWindow(open_->window.get());
        return;
    }
    auto open = std::make_unique<Open>(this);
    if (!open->window.get()) {
        const std::wstring reason =
            systemReason(std::error_code(static_cast<int>(open->error), std::system_category()));
        MessageBoxW(nullptr, (L"Ardeno Time cannot open its work history window: " + reason + L".").c_str(),
                    L"Ardeno Time", MB_OK | MB_ICONWARNING);
        return;
    }
    open_ = std::move(open);
    scroll_ = 0;
    marks_ = userNumberMarks();
    loadRates();
    sharing.windowOpened();
    // Shown normally, it takes the foreground from the overlay's menu, which had it.
    ShowWindow(open_->window.get(), SW_SHOWNORMAL);
    UpdateWindow(open_->window.get());
    open_->controls->focus();
}

void HistoryWindow::editRates() {
    // Every project of every PC's history, whenever it was worked on.
    ProjectNames names;
    for (const ChartPc& pc : sharing_->chartPcs(history_->rows()))
        forEachRow(pc, [&](DayNumber, const std::wstring&, std::int64_t, const std::wstring& project) { names.place(project); });
    std::vector<std::wstring> projects;
    for (std::size_t i = 0; i < names.size(); ++i) projects.push_back(names.name(i));
    ratesDialog_.open(open_->window.get(), open_->scale, rates_.settings, projects,
                      rates_.writable() ? L"" : ratesPath_);
}

void HistoryWindow::update(DayNumber today) {
    // A report's or an export's save that succeeded moves the mark of Since the last report.
    if (const std::optional<DayNumber> saved = saver_.takeSaved()) noteRangeBilled(savingRange_, *saved);
    takeDialogRates();
    if (!open_) return;
    takeCustomRange();
    if (ratesRetry_.waiting() && ratesRetry_.due(readLocalMoment())) loadRates();
    if (history_->revision() != drawnRevision_ || sharing_->revision() != drawnSharing_ || today != drawnDay_)
        InvalidateRect(open_->window.get(), nullptr, FALSE);
    if (const std::uint64_t question = sharing_->question(); question && question != askedQuestion_) {
        askedQuestion_ = question;
        PostMessageW(open_->window.get(), askMessage, 0, 0);
    }
}

LRESULT CALLBACK HistoryWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<HistoryWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->handleMessage(window, message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

// Messages that come while the window is being made or destroyed find open_ empty.
LRESULT HistoryWindow::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETMINMAXINFO: {
        const DisplayScale scale = open_ ? open_->scale : windowScale(nullptr);
        const SIZE minimum = outerSize(historyMinimumSize(scale.factor()), scale);
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {minimum.cx, minimum.cy};
        return 0;
    }
    case WM_DPICHANGED: {
        // Moved onto a monitor of another scale: fonts, minimum and layout follow, and the window
        // takes the size and place Windows suggests for it there.
        if (!open_) break;
        open_->takeScale(announcedScale(wParam));
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                     suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel; erasing first would flicker
    case WM_PAINT:
        if (!open_) break;
        paint();
        return 0;
    case WM_VSCROLL: {
        if (!open_) break;
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(window, SB_VERT, &info);
        const int line = historyWheelStep(open_->scale.factor()) / 3;
        const int page = std::max<int>(line, static_cast<int>(info.nPage) - line);
        switch (LOWORD(wParam)) {
        case SB_LINEUP: scrollTo(scroll_ - line); break;
        case SB_LINEDOWN: scrollTo(scroll_ + line); break;
        case SB_PAGEUP: scrollTo(scroll_ - page); break;
        case SB_PAGEDOWN: scrollTo(scroll_ + page); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: scrollTo(info.nTrackPos); break;
        case SB_TOP: scrollTo(0); break;
        case SB_BOTTOM: scrollTo(info.nMax); break;
        }
        return 0;
    }
    case WM_MOUSEWHEEL: {
        if (!open_) break;
        // A notch (120) scrolls three lines of the tables; a finer wheel, its part of that.
        wheelRest_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int lines = wheelRest_ / (WHEEL_DELTA / 3);
        wheelRest_ -= lines * (WHEEL_DELTA / 3);
        scrollTo(scroll_ - lines * historyWheelStep(open_->scale.factor()) / 3);
        return 0;
    }
    case WM_SETFOCUS:
        if (open_) open_->controls->focus();
        return 0;
    case WM_COMMAND:
        if (!open_) break;
        if (LOWORD(wParam) == HistoryControls::rangeId && HIWORD(wParam) == CBN_SELCHANGE) chooseRange();
        // Custom... chosen again while it is the range: other days.
        else if (LOWORD(wParam) == HistoryControls::rangeId && HIWORD(wParam) == CBN_SELENDOK &&
                 range_ == ReportRangeKind::custom && open_->controls->chosenRange() == range_)
            pickCustomRange();
        else if (HIWORD(wParam) != BN_CLICKED) break;
        else if (LOWORD(wParam) == HistoryControls::spreadsheetId) openInSpreadsheet();
        else if (LOWORD(wParam) == HistoryControls::saveId) saveReport();
        else if (LOWORD(wParam) == HistoryControls::exportId) exportCsv();
        else if (LOWORD(wParam) == HistoryControls::ratesId) editRates();
        else if (LOWORD(wParam) == HistoryControls::shareId) shareOrStop();
        else break;
        return 0;
    case askMessage:
        if (!open_ || !sharing_->question()) break;
        sharing_->askQuestion(window);
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void HistoryWindow::close() {
    // A save's dialog is modal to this window: it closes first. Closing ends only this window;
    // its class and fonts go with it, and show makes them anew.
    customDialog_.close();
    saver_.stop();
    open_.reset();
    askedQuestion_ = 0;
    sharing_->windowClosed();
}

void HistoryWindow::scrollTo(int position) {
    if (!open_ || position == scroll_) return;
    scroll_ = std::max(0, position);  // the layout keeps it within the content
    InvalidateRect(open_->window.get(), nullptr, FALSE);
}

void HistoryWindow::chooseRange() {
    const std::optional<ReportRangeKind> chosen = open_->controls->chosenRange();
    if (!chosen) return;
    if (*chosen == ReportRangeKind::custom) {
        pickCustomRange();  // the range changes once days are picked
        return;
    }
    range_ = *chosen;
    scroll_ = 0;
    InvalidateRect(open_->window.get(), nullptr, FALSE);
}

void HistoryWindow::pickCustomRange() {
    // The days shown until now, the first time.
    const PickedDays days = customPicked_ ? customDays_ : PickedDays{shownRange_.first, shownRange_.last};
    customDialog_.open(open_->window.get(), open_->scale, days);
}

void HistoryWindow::takeCustomRange() {
    const CustomRangeDialog::Answer answer = customDialog_.takeAnswer();
    if (!answer.closed) return;
    if (answer.confirmed) {
        customDays_.first = answer.days.first;
        customDays_.last = answer.days.last;
        customPicked_ = true;
        range_ = ReportRangeKind::custom;
        scroll_ = 0;
        InvalidateRect(open_->window.get(), nullptr, FALSE);
    }
    open_->controls->showRange(range_);
}

RangeMarks HistoryWindow::rangeMarks() const {
    return {customDays_.first, customDays_.last, lastReport_.mark()};
}

void HistoryWindow::noteRangeBilled(const ReportRange& range, DayNumber savedOn) {
    lastReport_.noteRangeBilled(range, savedOn, readLocalMoment());
    if (open_) InvalidateRect(open_->window.get(), nullptr, FALSE);
}

void HistoryWindow::paint() {
    const HWND window = open_->window.get();
    const PaintSession paint(window);
    RECT client;
    GetClientRect(window, &client);
    if (!paint.get() || client.right <= 0 || client.bottom <= 0) return;
    drawnRevision_ = history_->revision();
    const HistorySharing& shared = *sharing_;
    drawnSharing_ = shared.revision();
    drawnDay_ = readLocalMoment().day;
    open_->controls->showSharing(shared.sharing());

    // Drawn off screen and copied in one step, so that a resize does not flicker.
    const MemoryDC memory(paint.get());
    const BitmapHandle bitmap(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    const Selection selected(memory.get(), bitmap.get());
    if (!selected) return;

    ChartInput input;
    input.pcs = shared.chartPcs(history_->rows());
    input.shared = shared.sharing();
    input.notes = shared.statusLines();
    if (rates_.state == RatesLoad::State::unreadable)
        input.notes.insert(input.notes.begin(), L"Rates are left out: this file cannot be read: " + ratesPath_);
    else if (rates_.state == RatesLoad::State::held)
        input.notes.insert(input.notes.begin(), L"Rates are left out while this file cannot be read: " + ratesPath_);
    input.rates = rates_.settings;
    input.marks = marks_;
    // The range's days, not only its kind: Custom... and Since the last report move them.
    const ReportRange range = reportRange(range_, drawnDay_, workedDays(input.pcs), rangeMarks());
    const bool sameView = sums_ && sumsSharing_ == drawnSharing_ && sumsDay_ == drawnDay_ && sums_->range == range &&
                          sumsRates_ == ratesRevision_;
    const WorkHistory::Recorded& recorded = history_->lastRecorded();
    if (sameView && sumsRevision_ + 1 == drawnRevision_ && recorded.revision == drawnRevision_) {
        // This PC's sums are first.
        addToReport(*sums_, 0, recorded.day, recorded.program, recorded.project, recorded.seconds);
        sumsRevision_ = drawnRevision_;
    } else if (!sameView || sumsRevision_ != drawnRevision_) {
        sums_ = std::make_shared<ReportSums>(sumReport(input.pcs, range, rates_.settings));
        sumsRevision_ = drawnRevision_;
        sumsSharing_ = drawnSharing_;
        sumsDay_ = drawnDay_;
        sumsRates_ = ratesRevision_;
    }
    input.sums = sums_;
    // Until it has been read, the chart shows only what was counted since.
    const std::vector<std::wstring> reading = history_->readingNotes();
    input.notes.insert(input.notes.begin(), reading.begin(), reading.end());
    const std::vector<std::wstring> lastReport = lastReport_.notes();
    input.notes.insert(input.notes.end(), lastReport.begin(), lastReport.end());
    input.rangeMarks = rangeMarks();
    input.textWidth = smallTextWidth(memory.get(), *open_->fonts);
    input.range = range_;
    input.scroll = scroll_;
    const HistoryChart chart = layoutHistoryChart(input, drawnDay_, client.right, client.bottom, open_->scale.factor());
    shownRange_ = chart.range;
    scroll_ = chart.scroll;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMax = std::max(0, chart.contentHeight - 1);
    info.nPage = static_cast<UINT>(std::max(0, chart.body.bottom - chart.body.top));
    info.nPos = chart.scroll;
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    open_->controls->place(chart);
    paintHistoryChart(memory.get(), chart, *open_->fonts, client.right, client.bottom);
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void HistoryWindow::openInSpreadsheet() {
    const LocalMoment now = readLocalMoment();
    history_->flush(now);  // every second counted, in a file that exists
    const std::wstring path = displayPath(history_->path());
    INT_PTR result;
    {
        const ComApartment com;
        result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(open_->window.get(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    }
    if (result > 32) return;
    // ShellExecute may dispatch messages meanwhile, a WM_CLOSE for this window among them. A
    // message box lets the path be copied (Ctrl+C) for opening it by hand.
    MessageBoxW(open_ ? open_->window.get() : nullptr, openFailureText(path, result).c_str(), L"Ardeno Time",
                MB_OK | MB_ICONWARNING);
}

void HistoryWindow::shareOrStop() {
    sharing_->shareOrStop(open_->window.get(), history_->rows());
    // The folder picker runs its own message loop, in which this window may have been closed.
    if (open_) InvalidateRect(open_->window.get(), nullptr, FALSE);
}
