#include "overlay/base_win.h"

#include <SDL_syswm.h>

#include "common/startup_error.h"
#include "config/app_data_folder_win.h"
#include "config/skin_file.h"
#include "config/skin_font_win.h"
#include "config/state_file.h"
#include "input/input_flag.h"
#include "overlay/context_menu.h"
#include "overlay/counting.h"
#include "overlay/local_clock_win.h"
#include "overlay/process_name_win.h"
#include "overlay/render_win.h"
#include "overlay/time_text.h"

namespace {

bool buttonDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

}  // namespace

SDL_HitTestResult overlayHitTest(SDL_Window* window, const SDL_Point* point, void* data) {
    if (buttonDown(VK_RBUTTON)) return SDL_HITTEST_NORMAL;
    return hitTest(window, point, data);
}

Base::Base() = default;

void Base::init() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdlWindow, &info) || !info.info.win.window)
        throw StartupError(L"Ardeno Time cannot reach its overlay window.", SDL_GetError());
    hwnd = info.info.win.window;

    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_NOACTIVATE);
    // Shown without activation: the overlay never takes the foreground from the program the
    // user works in. (Under Wine a layered window that was once active also lost the first
    // click after another window was activated.)
    ShowWindow(hwnd, SW_SHOWNOACTIVATE);
    SDL_SetWindowHitTest(sdlWindow, overlayHitTest, nullptr);
    loadSkin();
    // A missing or broken picture still gives an image, one whose status says so; drawing
    // skips it, and the overlay runs without that picture.
    baseImage.reset(new Gdiplus::Image(L"data/base.png", FALSE));
    targetSelectImage.reset(new Gdiplus::Image(L"data/targetSelect.png", FALSE));
    loadState();
    history.open(historyFilePath(stateFileLocation(commonAppDataFolder()).folder), readLocalMoment());

    secondMark = 0;
    lastActivity = readClocks().wallClock;
    currentSeconds = 0;
    if (windowFixed) SetWindowPos(hwnd, HWND_TOP, fixedX, fixedY, 0, 0, SWP_NOSIZE);
}

void Base::quit() { saveLine(*this, 2, std::to_wstring(currentSeconds)); }

void Base::loadState() { ::loadState(*this, commonAppDataFolder()); }

void Base::loadSkin() {
    ConfigFile skin;
    skin.load(skinLayoutPath);
    applySkinLayout(skin, *this);
    const float size = skinFontSize(skin);
    font = createSkinFont(fontCollection, skinFontPath, size);
}

void Base::update(std::uint32_t& elapsedMs) {
    (void)elapsedMs;  // the overlay keeps its own clocks
    GetWindowRect(hwnd, &windowRect);
    // Without SWP_NOACTIVATE this raise would take the foreground from the target program
    // 30 times a second, and nothing would ever count. Nothing above a topmost overlay: the
    // raise would change nothing, and it is a frame's dearest call.
    if (GetWindow(hwnd, GW_HWNDPREV) || !(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 200, 200, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    GetCursorPos(&cursorPos);

    if (selectingTarget) {
        selectionStep();
    } else {
        // Only frames with input look at the foreground window's process.
        const bool qualifies = inputSeen.load(std::memory_order_relaxed) &&
                               foregroundProgramName(GetForegroundWindow()) == targetProgram;
        if (const std::int32_t counted = accountFrame(*this, qualifies, readClocks()); counted > 0) {
            saveLine(*this, 6, std::to_wstring(totalSeconds));
            // After data.cfg: a kill between the two writes leaves the history one frame behind.
            history.record(targetProgram, counted, readLocalMoment());
        }
        if (menuTriggered()) showContextMenu();
    }
    historyWindow.update();
    // A target pick leaves counting as it was: wasActive already equals active.
    rightPressSeen = false;
}

void Base::selectionStep() {
    // Down now, or pressed since the last query: a click shorter than a frame still picks.
    if ((GetAsyncKeyState(VK_LBUTTON) & 0x8001) == 0) return;
    pickTarget(*this, foregroundProgramName(WindowFromPoint(cursorPos)), [this] { loadState(); });
}

bool Base::menuTriggered() const {
    return insideMenuArea(windowRect.left, windowRect.top, cursorPos.x, cursorPos.y) &&
           WindowFromPoint(cursorPos) == hwnd && (buttonDown(VK_RBUTTON) || rightPressSeen);
}

FrameContent Base::frameContent() const {
    FrameContent content;
    content.baseImage = baseImage.get();
    content.targetSelectImage = targetSelectImage.get();
    content.font = font.get();
    content.textCenterX = textCenter.x;
    content.textCenterY = textCenter.y;
    std::copy(std::begin(textColor), std::end(textColor), content.textColor);
    content.timeText = timeText(currentSeconds);
    content.selectingTarget = selectingTarget;
    content.saveFailed = saveError || history.saveError();
    return content;
}

void Base::render() {
    // The layered window shows what UpdateLayeredWindow gave it; a WM_PAINT has nothing to draw.
    // SDL answers one by validating the client area only, and under Wine the frame's part of
    // the update region then brings WM_PAINT again and again, ahead of every other window's:
    // the work-history window and message boxes were never painted. BeginPaint validates all.
    if (GetUpdateRect(hwnd, nullptr, FALSE)) {
        const PaintSession validateAll(hwnd);
    }
    FrameContent content = frameContent();
    // Drawing and pushing a frame is most of a frame's cost, and the picture changes once a
    // second at most; the window shows the last pushed picture until it differs.
    if (framePushed && content == lastFrame) return;
    // A frame that cannot be pushed leaves the last one on screen; the next frame tries again.
    framePushed = renderFrame(hwnd, POINT{windowRect.left, windowRect.top}, windowSize, sourceOrigin, blend, content);
    lastFrame = std::move(content);
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
    if (message.msg != WM_COMMAND) return;

    const unsigned id = LOWORD(message.wParam);
    if (carryOutCommand(*this, id, windowRect.left, windowRect.top, [this] { loadState(); })) {
        closed = true;
    } else if (id == workHistoryCommand) {
        historyWindow.show(history);
    } else if (id == selectTargetCommand) {
        // The left click that chose this item is still reported as "pressed since the last
        // query"; drop it, or the first selection frame would pick the program under the menu.
        GetAsyncKeyState(VK_LBUTTON);
    }
}
