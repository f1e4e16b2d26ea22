// Where the overlay is and how it takes the pointer: shown or hidden, clicked through or not, at
// what opacity; and the notification-area icon that reaches it whatever it is.
#include "overlay/base_win.h"

#include "common/local_clock.h"
#include "input/input_flag.h"
#include "overlay/context_menu.h"
#include "overlay/capture_hiding_win.h"
#include "overlay/context_menu_win.h"
#include "overlay/full_screen_win.h"
#include "overlay/screen_place_win.h"
#include "overlay/shown_time.h"
#include "config/file_system.h"

namespace {

bool ofThisProcess(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

}  // namespace

std::wstring Base::iconTip(DayNumber today) const {
    IconFacts facts;
    facts.shows = shownChoice.choices.shows;
    facts.shownSeconds = shownSeconds_;
    facts.todaySeconds = everyPcSecondsOnDay(*this, today);
    facts.hiddenBy = hiddenBy_;
    facts.goalHours = shownChoice.choices.goalHours;
    facts.paused = paused;
    return iconTooltip(facts);
}

void Base::keepPresence(const FrameClocks& clocks) {
    const TrayIcon::Requests requests = trayIcon.takeRequests();
    iconShown = trayIcon.shown();
    // A left click on the icon is the menu's "Hide overlay" / "Show overlay", carried out alike.
    if (requests.toggle) PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(hideOverlayCommand, 0), 0);
    if (requests.pause) PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(pauseCommand, 0), 0);
    if (paused != iconPaused_) {
        iconPaused_ = paused;
        trayIcon.showPaused(paused);
    }

    const HiddenBy hiddenBy = overlayHiddenBy(shownChoice.choices, iconShown, fullScreenInFront_);
    const bool tipDue = hiddenBy != hiddenBy_ || requests.hovered || requests.pause ||
                        paused != tipPaused_ || clocks.local.secondOfDay / 60 != tipMinute_;
    hiddenBy_ = hiddenBy;
    const bool show = hiddenBy == HiddenBy::nothing;
    if (show != onScreen_) {
        onScreen_ = show;
        // Hidden, it keeps counting; shown again, it is drawn afresh where it was.
        ShowWindow(hwnd, show ? SW_SHOWNOACTIVATE : SW_HIDE);
        if (show) framePushed = false;
        else firstStartNote.close();
    }

    const bool through = clickThroughNow(shownChoice.choices, iconShown);
    if (through != clickThrough_) {
        clickThrough_ = through;
        const LONG style = GetWindowLongW(hwnd, GWL_EXSTYLE);
        SetWindowLongW(hwnd, GWL_EXSTYLE, through ? style | WS_EX_TRANSPARENT : style & ~WS_EX_TRANSPARENT);
    }
    // The hook's last pointer position, read while it matters: no question to the system.
    bool faded = false;
    if (through && onScreen_) {
        const PointerAt at = unpackPointer(pointerPosition.load(std::memory_order_relaxed));
        faded = pointerOverPlate(windowRect.left, windowRect.top, windowSize.cx, at.x, at.y);
    }
    // Only the pointer fades the plate; a new opacity from the menu shows at once.
    if (shownChoice.choices.opacity != fadeOpacity_) {
        fadeOpacity_ = shownChoice.choices.opacity;
        plateFade_ = PlateFade{};
    }
    alpha_ = plateFade_.at(plateAlpha(shownChoice.choices.opacity, faded), clocks.ticks);

    if (tipDue) {
        tipMinute_ = clocks.local.secondOfDay / 60;
        tipPaused_ = paused;
        trayIcon.setTip(iconTip(clocks.local.day));
    }
    if (requests.menu) showIconMenu(requests.at);
}

void Base::showIconMenu(POINT at) {
    firstStartNote.close();
    const PopupMenu menu = buildPopupMenu(contextMenuEntries(*this, readLocalMoment().day));
    history.notice.clear();  // said once
    projects.notice.clear();
    shownChoice.notice.clear();
    const HWND previous = GetForegroundWindow();
    if (const UINT chosen = trayIcon.trackMenu(menu.get(), at))
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    if (previous && IsWindow(previous) && previous != trayIcon.window()) SetForegroundWindow(previous);
}

void Base::showOnRequest() {
    // Whatever hid it, the person who started the program again wants to see it.
    if (shownChoice.choices.hidden) setHidden(shownChoice, false);
}

bool Base::stepBehindOwnWindow(HWND front) {
    // Whose window it is stays as long as the window does: asked once for each window in front,
    // and whether it is visible only of the program's own.
    if (front != frontAsked_) {
        frontAsked_ = front;
        frontOurs_ = front && front != hwnd && ofThisProcess(front);
    }
    if (!frontOurs_ || !IsWindowVisible(front)) {
        behind_ = nullptr;
        return false;
    }
    if (front != behind_) {
        // Placed after a window that is not topmost, the plate is no longer topmost itself; it goes
        // back on top once that window is no longer in front.
        behind_ = front;
        SetWindowPos(hwnd, front, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return true;
}

void Base::checkFullScreen(HWND front) {
    lastFront_ = front;
    fullScreenInFront_ =
        front && front != hwnd && fullScreenHidesOverlay(overlayMonitor(), front, targetPrograms, programNames);
}

ScreenRect Base::overlayMonitor() {
    // The program's own window's place is known without asking the window server; the monitor
    // under it is asked only when that place or the monitors changed.
    RECT place{};
    GetWindowRect(hwnd, &place);
    if (!monitorAskedAt_ || !EqualRect(&place, &*monitorAskedAt_)) {
        monitor_ = monitorOf(hwnd);
        monitorAskedAt_ = place;
    }
    return monitor_;
}

void Base::applyCaptureChoice() {
    const bool wanted = captureHidingAvailable && shownChoice.choices.hideFromCapture;
    if (wanted == captureApplied_ && captureFailure.empty()) return;
    const DWORD error = setHiddenFromCapture(hwnd, wanted);
    if (error == 0) {
        captureApplied_ = wanted;
        captureFailure.clear();
    } else {
        // Said in the menu: a person who shares their screen must know the overlay is in it.
        captureFailure = systemReason(std::error_code(static_cast<int>(error), std::system_category()));
    }
}

void Base::placeAfterDisplayChange() {
    // The stored pinned place stays in data.cfg: the monitor may come back.
    if (const std::optional<Point> place = placeAfterDisplayChangeOnScreen(hwnd))
        SetWindowPos(hwnd, nullptr, place->x, place->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
