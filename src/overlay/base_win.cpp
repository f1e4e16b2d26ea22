#include "overlay/base_win.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <utility>

#include "common/display_scale_win.h"
#include "common/list_separator_win.h"
#include "common/startup_error.h"
#include "common/text.h"
#include "common/time_text.h"
#include "config/app_data_folder_win.h"
#include "config/skin_file.h"
#include "config/skin_font_win.h"
#include "config/state_file.h"
#include "history/date_order_win.h"
#include "overlay/context_menu.h"
#include "overlay/capture_hiding.h"
#include "overlay/capture_hiding_win.h"
#include "overlay/counting.h"
#include "overlay/goal_line.h"
#include "overlay/mouse_buttons.h"
#include "overlay/overlay_settings.h"
#include "overlay/process_name_win.h"
#include "overlay/render_win.h"
#include "overlay/screen_place_win.h"
#include "overlay/stay_on_top_win.h"
#include "overlay/target_programs.h"

namespace {

// GetAsyncKeyState reads the physical buttons; what the overlay means by a button is its role.
int buttonKey(MouseButton button) { return virtualKeyOf(button, GetSystemMetrics(SM_SWAPBUTTON) != 0); }
bool buttonDown(MouseButton button) { return (GetAsyncKeyState(buttonKey(button)) & 0x8000) != 0; }

// A right button held down while the pointer moves onto the overlay: no press reaches the
// overlay then, but the hit test does. Main thread only.
bool rightButtonHeldOverOverlay = false;

// The window's title as GetWindowTextW reads it, which never waits on another program.
std::wstring windowTitle(HWND window) {
    wchar_t text[512];
    const int length = GetWindowTextW(window, text, 512);
    return std::wstring(text, static_cast<std::size_t>(std::max(length, 0)));
}

// What an idle frame need not ask every time, each a round trip to the window server under
// Wine: the system's last-input time, which counts input the hooks cannot see, as often as the
// input watch asks for it; which window is in front, whether one covers the plate and whether
// it fills the screen, once a second: quicker than a person looks back at the overlay, and a
// frame with input asks about a new window in front at once anyway.
constexpr std::uint32_t windowCheckMs = 1000;

// Whether `intervalMs` have passed since `last` (or nothing was done yet); if so, `last` becomes `now`.
bool dueAt(std::optional<std::uint32_t>& last, std::uint32_t now, std::uint32_t intervalMs) {
    if (last && now - *last < intervalMs) return false;
    last = now;
    return true;
}

// SDL's window procedure for the overlay, which the overlay's own procedure passes everything on
// to, and the one overlay it serves.
WNDPROC sdlWindowProc = nullptr;
Base* overlayOfWindow = nullptr;
constexpr UINT stepBackMessage = WM_APP + 0x32;

LRESULT CALLBACK overlayWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // A click on the overlay must leave the user's program in front, as WS_EX_NOACTIVATE
    // promises; Wine activates such a window on a click all the same unless it says no itself.
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    // Moved onto a monitor of another scale. SDL would keep the old size in pixels.
    if (message == WM_DPICHANGED && overlayOfWindow) {
        overlayOfWindow->takeScale(announcedScale(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    }
    // The program became the active one: one of its own windows may have opened under the plate,
    // and a modal loop (a message box, the Save dialog) may hold the frames up while it is open.
    // Asked once the activation is done, when the foreground window is the new one.
    if (message == WM_ACTIVATEAPP && wParam && overlayOfWindow) PostMessageW(hwnd, stepBackMessage, 0, 0);
    if (message == stepBackMessage && overlayOfWindow) {
        overlayOfWindow->stepBehindOwnWindow(GetForegroundWindow());
        return 0;
    }
    if (message == WM_DISPLAYCHANGE && overlayOfWindow) overlayOfWindow->displayChanged();
    // Dragged: the first start's note goes along, even while the system's move loop holds the
    // frames up.
    if (message == WM_MOVE && overlayOfWindow) overlayOfWindow->firstStartNote.follow(hwnd);
    return CallWindowProcW(sdlWindowProc, hwnd, message, wParam, lParam);
}

}  // namespace

SDL_HitTestResult overlayHitTest(SDL_Window* window, const SDL_Point* point, void* data) {
    if (buttonDown(MouseButton::secondary)) {
        rightButtonHeldOverOverlay = true;
        return SDL_HITTEST_NORMAL;
    }
    return hitTest(window, point, data);
}

Base::Base() = default;

void Base::init() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || !info.info.win.window)
        throw StartupError(L"Ardeno Time cannot reach its overlay window.", SDL_GetError());
    hwnd = info.info.win.window;

    // No frame: the layered picture covers the whole window anyway, and a frame that nothing
    // ever paints stays invalid under Wine, which then sends WM_PAINT after WM_PAINT to every
    // pump of the message queue, at several times the cost of an idle frame.
    SDL_SetWindowBordered(sdlWindow, SDL_FALSE);
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
    overlayOfWindow = this;
    sdlWindowProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(overlayWindowProc)));
    // The monitor's scale: the window is sized for it before it is shown; it stays centred where
    // SDL put it.
    scale = windowScale(hwnd);
    if (!scale.isStandard()) {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        const int side = frameSideAt(scale);
        SetWindowPos(hwnd, nullptr, rect.left + (rect.right - rect.left - side) / 2,
                     rect.top + (rect.bottom - rect.top - side) / 2, side, side, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    windowSize = {frameSideAt(scale), frameSideAt(scale)};
    SDL_SetWindowHitTest(sdlWindow, overlayHitTest, nullptr);
    loadSkin();
    // A missing or broken picture still gives an image, one whose status says so; drawing
    // skips it, and the overlay runs without that picture.
    baseImage.reset(new Gdiplus::Image((skinFolder_ + L"base.png").c_str(), FALSE));
    targetSelectImage.reset(new Gdiplus::Image((skinFolder_ + L"targetSelect.png").c_str(), FALSE));
    const bool firstStart = loadState();
    const FrameClocks now = readClocks();
    const std::wstring stateFolder = stateFileLocation(commonAppDataFolder()).folder;
    // A new history.csv opens in the user's spreadsheet with their list separator.
    history.open(historyFilePath(stateFolder), now.local, userDateOrder(), spreadsheetCsv(userListSeparator()));
    // This PC's file in the shared folder follows history.csv: whenever it is written, or tried.
    history.setWriteListener(
        [this](const std::vector<HistoryRow>& rows, LocalMoment) { sharing.historyWritten(rows); });
    sharing.open(stateFolder, history);
    loadProjects(projects, stateFolder, now.local);
    loadShownChoice(shownChoice, stateFolder);
    // Without the icon the plate is all there is: it shows whatever was chosen, and a failure
    // here is tried again every few seconds.
    trayIcon.create(iconTip(now.local.day), now.ticks, hwnd);
    iconShown = trayIcon.shown();
    pauseHotkey.emplace(trayIcon.window() ? trayIcon.window() : hwnd);
    pauseHotkeyTaken = !pauseHotkey->registered();
    captureHidingAvailable = ::captureHidingAvailable(windowsBuildNumber());
    applyCaptureChoice();
    hiddenBy_ = overlayHiddenBy(shownChoice.choices, iconShown, false);
    secondMark = 0;
    lastActivity = now.idleClock;
    currentSeconds = 0;
    previousFrameInputClock = now.inputClock;
    if (windowFixed) {
        // Lines 3 to 5 keep the stored place: a monitor that is away now may be back tomorrow.
        const Point place = pinnedPlaceOnScreen({fixedX, fixedY}, frameSideAt(scale));
        // Started from Startup, the overlay must not take the foreground from the program the user
        // is already typing in.
        SetWindowPos(hwnd, HWND_TOP, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Shown once it is in its place, so that a pinned overlay does not flash up in the middle of
    // the screen first; and without activation: the overlay never takes the foreground from the
    // program the user works in. (Under Wine a layered window that was once active also lost the
    // first click after another window was activated.)
    onScreen_ = hiddenBy_ == HiddenBy::nothing;
    if (onScreen_) ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    if (firstStart) firstStartNote.show(hwnd, scale);
    // Sign-out, shutdown and sleep arrive as sent messages, inside the window procedure; the
    // watch sees them there, before Windows may end the process.
    SDL_AddEventWatch(watchSessionMessages, this);
}

void Base::takeScale(DisplayScale newScale, const RECT& suggested) {
    scale = newScale;
    const int side = frameSideAt(scale);
    windowSize = {side, side};
    // The place Windows suggests keeps the overlay where the user dropped it; the next frame is
    // drawn at the new scale, since what it shows differs.
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, side, side, SWP_NOZORDER | SWP_NOACTIVATE);
}

int SDLCALL Base::watchSessionMessages(void* overlay, SDL_Event* event) {
    if (event->type != SDL_SYSWMEVENT || !event->syswm.msg) return 0;
    Base& self = *static_cast<Base*>(overlay);
    const auto& message = event->syswm.msg->msg.win;
    if (message.hwnd != self.hwnd) return 0;
    // The session ends once the window procedure returns: store what "Exit" stores, now.
    if (message.msg == WM_ENDSESSION && message.wParam) self.quit();
    if (message.msg == WM_POWERBROADCAST && message.wParam == PBT_APMSUSPEND) {
        endSpell(self);
        self.history.flush(readClocks().local);
        // Windows gives a program about two seconds before it sleeps.
        self.sharing.settle(1000);
    }
    return 0;
}

void Base::quit() {
    trayIcon.remove();
    saveLine(*this, 2, std::to_wstring(currentSeconds));
    history.flush(readClocks().local);
    // A shared folder that does not answer must not keep the program from ending.
    sharing.settle(3000);
}

bool Base::loadState() { return ::loadState(*this, commonAppDataFolder()); }

void Base::loadSkin() {
    skinFolder_ = skinFolder(programFolder());
    ConfigFile skin;
    skin.load(skinFolder_ + L"skin.cfg");
    applySkinLayout(skin, *this);
    const float size = skinFontSize(skin);
    font = createSkinFont(fontCollection, (skinFolder_ + L"font.ttf").c_str(), size);
    projectFont = createInterfaceFont(projectPlace.size);
}

void Base::update(std::uint32_t& elapsedMs) {
    (void)elapsedMs;  // the overlay keeps its own clocks
    const FrameClocks clocks = readClocks();
    const bool housekeeping = dueAt(lastHousekeeping_, clocks.ticks, inputWatch.lookIntervalMs());
    if (dueAt(lastWindowCheck_, clocks.ticks, windowCheckMs)) {
        // One question for both: each is a round trip to the window server under Wine.
        const HWND front = GetForegroundWindow();
        keepOnTop(front);
        trayIcon.update(clocks.ticks);
        checkFullScreen(front);
    }
    if (std::exchange(displayChanged_, false)) placeAfterDisplayChange();
    const InputSinceLastFrame input = inputWatch.poll(housekeeping);
    firstStartNote.update();
    if (rightPressSeen) firstStartNote.close();

    if (selectingTarget) {
        selectionStep();
    } else {
        // Only frames with input look at the foreground window's process; of those, only the ones
        // in which a second can count read its title (a Store app's frame's), and only while a
        // title may name a project.
        const HWND front = input.seen ? GetForegroundWindow() : nullptr;
        // A new window in front may be full screen: looked at now rather than at the next tick.
        if (front && front != lastFront_) checkFullScreen(front);
        const std::wstring* inFront = front ? chosenTarget(targetPrograms, programNames.of(front)) : nullptr;
        std::wstring title;
        if (inFront && titlesMayNameProject(projects)) title = windowTitle(front);
        // An input stamped before the previous frame (a late hook call) followed it at once.
        const auto silence = static_cast<std::int32_t>(input.firstAt - previousFrameInputClock);
        FrameInput frameInput{inFront != nullptr, static_cast<std::uint32_t>(std::max(silence, 0)), inFront,
                              title.empty() ? nullptr : &title};
        frameInput.paused = paused;
        if (const std::int32_t counted = accountFrame(*this, frameInput, clocks); counted > 0) {
            saveLine(*this, 6, std::to_wstring(totalSeconds));
            // After data.cfg: a kill between the two writes leaves the history one frame behind.
            recordCounted(*this, counted, clocks.local);
            retryProjectsSave(projects);
            retryShownChoiceSave(shownChoice);
            // The newcomer has found out how it works.
            firstStartNote.close();
        }
        if (std::optional<std::wstring> name = newProjectDialog.takeName()) chooseProject(projects, *name);
        history.writeWhenDue(clocks.local);
        readProjectsWhenDue(projects, clocks.local);
        if (menuTriggered()) showContextMenu();
    }
    sharing.update();
    historyWindow.update(clocks.local.day);
    // After everything that may count or change the sums in this frame.
    shownSeconds_ = shownTime.seconds(*this, shownChoice.choices.shows, clocks.local.day);
    if (shownSeconds_ != figureOf_) {
        figure_ = figureText(shownSeconds_);
        figureOf_ = shownSeconds_;
    }
    const std::int32_t goal = dailyGoalSeconds(shownChoice.choices.goalHours);
    goalFill_ = goal > 0 ? static_cast<std::int32_t>(goalFilledWidth(1000, shownTime.todaySeconds(*this, clocks.local.day), goal))
                         : 0;
    keepPresence(clocks);
    // A target pick leaves counting as it was: wasActive already equals active.
    previousFrameInputClock = clocks.inputClock;
    rightPressSeen = false;
}

void Base::keepOnTop(HWND front) {
    if (stepBehindOwnWindow(front)) return;
    // Without SWP_NOACTIVATE this raise would take the foreground from the target program, and
    // nothing would ever count.
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST && !raiseAbove(visibleWindowsAbove(hwnd))) return;
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, windowSize.cx, windowSize.cy, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Base::selectionStep() {
    // Down now, or pressed since the last query: a click shorter than a frame still picks.
    if ((GetAsyncKeyState(buttonKey(MouseButton::primary)) & 0x8001) == 0) return;
    GetCursorPos(&cursorPos);
    // A window whose program cannot be named leaves selection on for the next click.
    pickTarget(*this, foregroundProgramName(WindowFromPoint(cursorPos)), [this] { loadState(); });
}

bool Base::menuTriggered() {
    // A right press on the overlay always reaches it as a message, which a per-frame poll of the
    // button would miss for a tap; only after one are the pointer and the window asked where
    // they are, so that an idle frame asks the system nothing.
    const bool heldOver = std::exchange(rightButtonHeldOverOverlay, false) && buttonDown(MouseButton::secondary);
    if (!rightPressSeen && !heldOver) return false;
    GetWindowRect(hwnd, &windowRect);
    GetCursorPos(&cursorPos);
    return insideMenuArea(windowRect.left, windowRect.top, cursorPos.x, cursorPos.y, windowSize.cx) &&
           WindowFromPoint(cursorPos) == hwnd;
}

FrameContent Base::frameContent() const {
    FrameContent content;
    fillFrameContent(content);
    return content;
}

void Base::fillFrameContent(FrameContent& content) const {
    content.baseImage = baseImage.get();
    content.targetSelectImage = targetSelectImage.get();
    content.font = font.get();
    content.textCenterX = textCenter.x;
    content.textCenterY = textCenter.y;
    std::copy(std::begin(textColor), std::end(textColor), content.textColor);
    content.timeText.assign(figure_);
    content.projectText.assign(countedProject(projects));
    content.projectFont = projectFont.get();
    content.projectCenterX = projectPlace.x;
    content.projectCenterY = projectPlace.y;
    content.projectWidth = projectPlace.width;
    content.selectingTarget = selectingTarget;
    content.saveFailed =
        saveError || history.saveError() || history.waitingToRead() || projects.error || shownChoice.error;
    content.scale = scale;
    content.alpha = alpha_;
    content.clickThroughMark = shownChoice.choices.clickThrough && iconShown;
    content.paused = paused;
    content.projectSize = projectPlace.size;
    content.goalSeconds = dailyGoalSeconds(shownChoice.choices.goalHours);
    content.goalFill = goalFill_;
}

void Base::render() {
    if (!onScreen_) return;
    FrameContent& content = nextFrame_;
    fillFrameContent(content);
    // Drawing and pushing a frame is most of a frame's cost, and the picture changes once a
    // second at most; the window shows the last pushed picture until it differs.
    if (framePushed && content == lastFrame) return;

    // Dragged since the rectangle was last asked for, the window would jump back to the old place.
    GetWindowRect(hwnd, &windowRect);
    // A frame that cannot be pushed leaves the last one on screen; the next frame tries again.
    BLENDFUNCTION withAlpha = blend;
    withAlpha.SourceConstantAlpha = content.alpha;
    framePushed = renderFrame(hwnd, POINT{windowRect.left, windowRect.top}, windowSize, sourceOrigin, withAlpha,
                              content, &frameCache);
    std::swap(lastFrame, nextFrame_);
}

void Base::handleEvent(const SDL_Event& event) {
    if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_RIGHT &&
        event.button.windowID == SDL_GetWindowID(sdlWindow)) {
        rightPressSeen = true;
        return;
    }
    if (event.type != SDL_SYSWMEVENT || !event.syswm.msg) return;
    const auto& message = event.syswm.msg->msg.win;
    if ((message.msg == WM_NCRBUTTONDOWN || message.msg == WM_RBUTTONDOWN) && message.hwnd == hwnd) {
        rightPressSeen = true;
        return;
    }
    // Without the icon's window the hotkey comes to the overlay's.
    if (pauseHotkey && pauseHotkey->pressed(message.msg, message.wParam)) {
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(pauseCommand, 0), 0);
        return;
    }
    if (showRequestMessage && message.msg == showRequestMessage) {
        showOnRequest();
        return;
    }
    if (message.msg != WM_COMMAND) return;

    const unsigned id = LOWORD(message.wParam);
    GetWindowRect(hwnd, &windowRect);  // pinning stores where the window is now
    if (carryOutCommand(*this, id, windowRect.left, windowRect.top, [this] { loadState(); })) {
        closed = true;
    } else if (id == captureCommand) {
        applyCaptureChoice();
    } else if (id == workHistoryCommand) {
        historyWindow.show(history, sharing);
    } else if (id == newProjectCommand) {
        newProjectDialog.open(hwnd, scale);
    } else if (id == selectTargetCommand || id == addTargetCommand) {
        // The left click that chose this item is still reported as "pressed since the last
        // query"; drop it, or the first selection frame would pick the program under the menu.
        GetAsyncKeyState(buttonKey(MouseButton::primary));
    }
}
