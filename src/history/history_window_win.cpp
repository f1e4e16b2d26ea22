#include "history/history_window_win.h"

#include <shellapi.h>

#include "config/file_system.h"
#include "config/settings_error.h"
#include "common/com_win.h"
#include "common/display_scale_win.h"
#include "common/gdi_handles_win.h"
#include "history/history_chart.h"
#include "common/local_clock_win.h"
#include "common/window_handles_win.h"

namespace {

const wchar_t className[] = L"ArdenoTimeWorkHistory";
const wchar_t title[] = L"Ardeno Time - work history";
constexpr int buttonId = 1;
constexpr int shareButtonId = 2;
const wchar_t shareText[] = L"Share with other PCs...";
const wchar_t stopText[] = L"Stop sharing";
constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD exStyle = WS_EX_APPWINDOW;

const COLORREF barColour = RGB(70, 112, 143);
const COLORREF todayColour = RGB(232, 146, 20);
const COLORREF todayTextColour = RGB(184, 100, 0);
const COLORREF gridColour = RGB(222, 226, 231);
const COLORREF baselineColour = RGB(150, 156, 164);
const COLORREF labelColour = RGB(88, 92, 98);
// Each PC's colour when histories are shared, this PC's first: apart from each other and from
// today's orange.
const COLORREF pcColours[] = {barColour,         RGB(98, 160, 108), RGB(146, 104, 172),
                              RGB(190, 108, 96), RGB(64, 160, 170), RGB(130, 130, 130)};

COLORREF pcColour(int pc) { return pcColours[static_cast<std::size_t>(pc) % std::size(pcColours)]; }

HFONT createUiFont(int pixels, LONG weight) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    LOGFONTW font{};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
    else lstrcpynW(font.lfFaceName, L"Segoe UI", LF_FACESIZE);
    font.lfHeight = -pixels;
    font.lfWidth = 0;
    font.lfWeight = weight;
    font.lfQuality = CLEARTYPE_QUALITY;
    return CreateFontIndirectW(&font);
}

// The outer size of the window whose client area is `client`.
SIZE outerSize(ChartSize client) {
    RECT rect{0, 0, client.width, client.height};
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT toRect(const ChartBox& box) { return {box.left, box.top, box.right, box.bottom}; }

void fill(HDC dc, const ChartBox& box, COLORREF colour) {
    const BrushHandle brush(CreateSolidBrush(colour));
    const RECT rect = toRect(box);
    if (brush) FillRect(dc, &rect, brush.get());
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

}  // namespace

// Declared in the order they are needed: the window goes first (its button still uses the
// fonts until then), the class last.
struct HistoryWindow::Open {
    // The three text sizes at one scale, made anew when the window moves to another.
    struct Fonts {
        explicit Fonts(DisplayScale scale)
            : small(createUiFont(historyFonts(scale.factor()).small, FW_NORMAL)),
              strong(createUiFont(historyFonts(scale.factor()).small, FW_BOLD)),
              large(createUiFont(historyFonts(scale.factor()).large, FW_SEMIBOLD)) {}
        FontHandle small;
        FontHandle strong;
        FontHandle large;
    };

    explicit Open(HistoryWindow* owner);
    // Lays the window out at `newScale`: its fonts, and its button's.
    void takeScale(DisplayScale newScale);

    WindowClass windowClass;
    // The system's DPI until the window exists; then that of the monitor it is on.
    DisplayScale scale = windowScale(nullptr);
    std::unique_ptr<Fonts> fonts;
    OwnedWindow window;
    HWND shareButton = nullptr;  // children of window, destroyed with it
    HWND button = nullptr;
    bool shareButtonStops = false;  // the share button reads "Stop sharing"
    DWORD error = 0;        // why the window could not be made
};

namespace {

WNDCLASSEXW classDescription() {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.style = CS_HREDRAW | CS_VREDRAW;
    description.hInstance = GetModuleHandleW(nullptr);
    description.hIcon = LoadIconW(description.hInstance, MAKEINTRESOURCEW(1));
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.lpszClassName = className;
    return description;
}

}  // namespace

HistoryWindow::Open::Open(HistoryWindow* owner)
    : windowClass([] {
          WNDCLASSEXW description = classDescription();
          description.lpfnWndProc = HistoryWindow::procedure;
          return description;
      }()),
      fonts(std::make_unique<Fonts>(scale)),
      window([owner, this] {
          const SIZE size = outerSize(historyDefaultSize(scale.factor()));
          // A class left registered by an earlier failure still serves.
          return CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, size.cx, size.cy,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), owner);
      }()) {
    if (!window.get()) {
        error = GetLastError();
        return;
    }
    shareButtonStops = owner->sharing_->sharing();
    shareButton = CreateWindowExW(0, L"BUTTON", shareButtonStops ? stopText : shareText,
                                  WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 0, 0, 0, window.get(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(shareButtonId)),
                                  GetModuleHandleW(nullptr), nullptr);
    button = CreateWindowExW(0, L"BUTTON", L"Open in spreadsheet", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                             0, 0, 0, 0, window.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(buttonId)),
                             GetModuleHandleW(nullptr), nullptr);
    // Opened on another monitor than the main one, it takes that monitor's scale and size.
    const DisplayScale actual = windowScale(window.get());
    if (actual != scale) {
        const SIZE size = outerSize(historyDefaultSize(actual.factor()));
        SetWindowPos(window.get(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        takeScale(actual);
    } else if (fonts->small) {
        for (HWND child : {shareButton, button})
            if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fonts->small.get()), FALSE);
    }
}

void HistoryWindow::Open::takeScale(DisplayScale newScale) {
    auto replacement = std::make_unique<Fonts>(newScale);
    // The buttons let go of the old font before it is deleted.
    for (HWND child : {shareButton, button})
        if (child && replacement->small)
            SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(replacement->small.get()), TRUE);
    fonts = std::move(replacement);
    scale = newScale;
}

HistoryWindow::HistoryWindow() = default;
HistoryWindow::~HistoryWindow() = default;

HWND HistoryWindow::handle() const { return open_ ? open_->window.get() : nullptr; }

void HistoryWindow::show(WorkHistory& history, HistorySharing& sharing) {
    history_ = &history;
    sharing_ = &sharing;
    // Corrections saved from a spreadsheet show, and the file holds what the window shows.
    history.flush(readLocalMoment());
    if (open_) {
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
    sharing.windowOpened();
    placeButtons();
    // Shown normally, it takes the foreground from the overlay's menu, which had it.
    ShowWindow(open_->window.get(), SW_SHOWNORMAL);
    UpdateWindow(open_->window.get());
}

void HistoryWindow::update(DayNumber today) {
    if (!open_) return;
    if (history_->revision() != drawnRevision_ || sharing_->revision() != drawnSharing_ || today != drawnDay_)
        InvalidateRect(open_->window.get(), nullptr, FALSE);
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
        const SIZE minimum = outerSize(historyMinimumSize(open_ ? open_->scale.factor() : 1.0));
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
        placeButtons();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case WM_SIZE:
        placeButtons();
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT covers every pixel; erasing first would flicker
    case WM_PAINT:
        if (!open_) break;
        paint();
        return 0;
    case WM_SETFOCUS:
        if (open_ && open_->button) SetFocus(open_->button);
        return 0;
    case WM_COMMAND:
        if (!open_ || HIWORD(wParam) != BN_CLICKED) break;
        if (LOWORD(wParam) == buttonId) openInSpreadsheet();
        else if (LOWORD(wParam) == shareButtonId) shareOrStop();
        else break;
        return 0;
    case WM_CLOSE:
        close();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void HistoryWindow::close() {
    // Closing ends only this window; its class and fonts go with it, and show makes them anew.
    open_.reset();
    sharing_->windowClosed();
}

void HistoryWindow::placeButtons() {
    if (!open_) return;
    RECT client;
    GetClientRect(open_->window.get(), &client);
    // Where the buttons go depends on the client size alone.
    const HistoryChart chart =
        layoutHistoryChart(std::vector<HistoryRow>(), 0, client.right, client.bottom, open_->scale.factor());
    const auto place = [](HWND child, const ChartBox& box) {
        if (child) MoveWindow(child, box.left, box.top, box.right - box.left, box.bottom - box.top, TRUE);
    };
    place(open_->shareButton, chart.shareButton);
    place(open_->button, chart.button);
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
    if (open_->shareButton && shared.sharing() != open_->shareButtonStops) {
        open_->shareButtonStops = shared.sharing();
        SetWindowTextW(open_->shareButton, shared.sharing() ? stopText : shareText);
    }

    // Drawn off screen and copied in one step, so that a resize does not flicker.
    const MemoryDC memory(paint.get());
    const BitmapHandle bitmap(CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    const Selection selected(memory.get(), bitmap.get());
    if (!selected) return;
    const HDC dc = memory.get();

    ChartInput input;
    input.pcs = shared.chartPcs(history_->rows());
    input.shared = shared.sharing();
    input.notes = shared.statusLines();
    input.textWidth = [dc, font = open_->fonts->small.get()](const std::wstring& text) {
        const Selection useFont(dc, font);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    const HistoryChart chart = layoutHistoryChart(input, drawnDay_, client.right, client.bottom, open_->scale.factor());

    fill(dc, {0, 0, client.right, client.bottom}, GetSysColor(COLOR_WINDOW));
    for (std::size_t i = 0; i < chart.gridLines.size(); ++i) {
        const int y = chart.gridLines[i];
        fill(dc, {chart.plot.left, y, chart.plot.right, y + 1}, i == 0 ? baselineColour : gridColour);
    }
    for (const ChartBar& bar : chart.bars) {
        for (const ChartSegment& segment : bar.segments) {
            const COLORREF colour = chart.stacked ? pcColour(segment.pc) : bar.today ? todayColour : barColour;
            fill(dc, segment.box, colour);
        }
    }
    for (const ChartSegment& swatch : chart.swatches) fill(dc, swatch.box, pcColour(swatch.pc));

    SetBkMode(dc, TRANSPARENT);
    for (const ChartText& text : chart.texts) {
        const Open::Fonts& fonts = *open_->fonts;
        const FontHandle& font = text.size == ChartText::Size::large ? fonts.large
                                 : text.strong                       ? fonts.strong
                                                                     : fonts.small;
        const Selection useFont(dc, font.get());
        SetTextColor(dc, text.strong ? todayTextColour
                         : text.size == ChartText::Size::large ? GetSysColor(COLOR_WINDOWTEXT)
                                                               : labelColour);
        const bool oneLine = text.text.find(L'\n') == std::wstring::npos;
        UINT format = DT_NOPREFIX | (oneLine ? DT_SINGLELINE | DT_VCENTER : DT_TOP);
        if (text.ellipsis) format |= DT_END_ELLIPSIS;
        format |= text.align == ChartText::Align::center ? DT_CENTER
                  : text.align == ChartText::Align::right ? DT_RIGHT
                                                          : DT_LEFT;
        RECT rect = toRect(text.box);
        DrawTextW(dc, text.text.c_str(), -1, &rect, format);
    }
    BitBlt(paint.get(), 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
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
