#pragma once

#include <windows.h>

#include <gdiplus.h>

#include <memory>
#include <optional>

#include "app/window.h"
#include "input/input_hook_win.h"
#include "history/history_window_win.h"
#include "overlay/counting.h"
#include "overlay/first_start_note_win.h"
#include "overlay/full_screen.h"
#include "overlay/new_project_dialog_win.h"
#include "overlay/overlay_core.h"
#include "overlay/overlay_look.h"
#include "overlay/process_name_win.h"
#include "overlay/pause_hotkey_win.h"
#include "overlay/render_win.h"
#include "overlay/tray_icon_win.h"
#include "sharing/pc_sharing_win.h"

// The work-time overlay: a 200 x 200 (at 96 DPI), always-on-top window with per-pixel alpha. Its portable
// state is OverlayCore; this adds the native handle, the layered-window parameters and the
// skin's GDI+ objects. Created once with SDL and GDI+ running, never destroyed.
class Base : public Window, public OverlayCore {
public:
    Base();

    // Makes the hidden SDL window the visible, layered, non-activating overlay and loads the
    // skin, both pictures and the saved state; a pinned overlay goes to its stored place.
    void init() override;
    // Stores this run's count as the previous run's.
    void quit() override;
    // Counting, target selection and the context menu's trigger.
    void update(std::uint32_t& elapsedMs) override;
    void render() override;
    // Carries out menu commands and notes right presses on the overlay.
    void handleEvent(const SDL_Event& event) override;

    // Moved to a monitor of another scale: takes its size there at the place Windows suggests.
    void takeScale(DisplayScale newScale, const RECT& suggested);
    // Finds or creates data.cfg in the common application-data folder and applies it; true when
    // it was created now.
    bool loadState();
    // Reads the skin's skin.cfg and makes the time text's font from its font.ttf: data/ in the
    // working folder, or the one beside the program.
    void loadSkin();
    // Builds the menu for the present state and runs it at the cursor until it closes.
    void showContextMenu();
    // What the overlay shows now.
    FrameContent frameContent() const;
    // The same, written over `content`: its strings keep their room, so that a frame that
    // shows what the last one showed allocates nothing.
    void fillFrameContent(FrameContent& content) const;
    // Opens the plate's menu at `at` from the notification-area icon; its command comes back to
    // the overlay as the plate's do.
    void showIconMenu(POINT at);
    // A second start asked to see the overlay.
    void showOnRequest();
    // The message a second start's request arrives as (see SingleInstance).
    UINT showRequestMessage = 0;
    // The notification-area icon's tooltip for now.
    std::wstring iconTip(DayNumber today) const;
    // While a window of the program's own is in front (`front`: a message box, the Save dialog, New
    // project), the plate steps behind it: true then. Called at housekeeping and whenever the
    // program becomes the active one, also inside a modal loop that holds the frames up.
    bool stepBehindOwnWindow(HWND front);
    // The monitors changed (WM_DISPLAYCHANGE): looked at in the next frame.
    void displayChanged() {
        displayChanged_ = true;
        monitorAskedAt_.reset();
    }

    POINT cursorPos{};
    HWND hwnd = nullptr;
    std::unique_ptr<Gdiplus::Image> baseImage;
    std::unique_ptr<Gdiplus::Image> targetSelectImage;
    RECT windowRect{};
    SIZE windowSize{200, 200};  // 200 x 200 at 96 DPI, scaled with the monitor
    DisplayScale scale;         // of the monitor the overlay is on
    POINT sourceOrigin{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    std::unique_ptr<Gdiplus::Font> font;
    std::unique_ptr<Gdiplus::Font> projectFont;  // the system's interface font, for the project's name
    Gdiplus::PrivateFontCollection fontCollection;
    // The overlay received a right press since the previous frame: a tap shorter than a frame
    // is never seen down by the per-frame poll.
    bool rightPressSeen = false;
    // Opened by the menu's "Work history"; nothing of it exists while it is closed.
    HistoryWindow historyWindow;
    // Shown at the very first start only, when there was no data.cfg yet.
    FirstStartNote firstStartNote;
    // Opened by the menu's "New project..."; the name typed there becomes the current project.
    NewProjectDialog newProjectDialog;
    // The history shared with the user's other PCs through a folder, when share.cfg names one.
    PcSharing sharing{shared};
    // In the notification area: the menu and show / hide while the plate is hidden or clicked through.
    TrayIcon trayIcon;
    // Ctrl+Alt+Shift+P, for the icon's window (or the overlay's, without one).
    std::optional<PauseHotkey> pauseHotkey;

private:
    std::wstring skinFolder_ = L"data/";  // where loadSkin found the skin
    // The layered window keeps the last picture it was given; an unchanged frame is not redrawn.
    FrameContent lastFrame;
    FrameContent nextFrame_;  // filled each frame and compared with lastFrame; swapped with it when pushed
    bool framePushed = false;
    FrameCache frameCache;
    InputWatch inputWatch{windowsInputSystem()};
    std::uint32_t previousFrameInputClock = 0;  // input clock at the previous frame's update
    std::optional<std::uint32_t> lastHousekeeping_;  // SDL tick of the last last-input check
    std::optional<std::uint32_t> lastWindowCheck_;   // ... and of the last look at the front window and the z-order
    ProgramNames programNames;
    std::int32_t goalFill_ = 0;      // thousandths of the daily goal done today
    std::int32_t shownSeconds_ = 0;  // the figure of the last update, by the menu's "Overlay shows"
    // shownSeconds_'s text, made again only when the figure changes; what a frame shows.
    std::int32_t figureOf_ = 0;
    std::wstring figure_ = figureText(0);

    // Whether the plate is on the screen, takes clicks and how opaque it is, from the choices, the
    // icon and the pointer; and the icon's requests and tooltip.
    void keepPresence(const FrameClocks& clocks);
    HiddenBy hiddenBy_ = HiddenBy::nothing;
    bool onScreen_ = true;         // the window is shown
    bool clickThrough_ = false;    // WS_EX_TRANSPARENT is set
    std::uint8_t alpha_ = 255;     // the plate's constant alpha for this frame
    PlateFade plateFade_;
    int fadeOpacity_ = 0;          // the opacity plateFade_ works at
    std::int64_t tipMinute_ = -1;  // the minute of day the tooltip was last made in
    HWND behind_ = nullptr;        // the program's own window the plate stepped behind
    HWND frontAsked_ = nullptr;    // the window in front whose program was last asked for
    bool frontOurs_ = false;       // ... and whether it is one of the program's own
    bool fullScreenInFront_ = false;  // another program fills the plate's monitor
    HWND lastFront_ = nullptr;     // the foreground window the full-screen check last looked at
    bool displayChanged_ = false;  // the monitors changed: the plate may be on none of them now
    bool captureApplied_ = false;  // the window is left out of screen shares
    bool iconPaused_ = false;      // the icon shows the paused variant
    bool tipPaused_ = false;       // the tooltip was made while paused

    // The full-screen check, at housekeeping and when the window in front changed.
    void checkFullScreen(HWND front);
    // The monitor the plate is on, kept while neither the plate's place nor the monitors change.
    ScreenRect overlayMonitor();
    ScreenRect monitor_;
    std::optional<RECT> monitorAskedAt_;  // the plate's place when monitor_ was asked; none: ask anew
    // Leaves the overlay out of screen shares, or puts it back, as chosen.
    void applyCaptureChoice();
    // After a display change: back on a monitor when the plate is on none.
    void placeAfterDisplayChange();

    void keepOnTop(HWND front);
    void selectionStep();
    bool menuTriggered();
    // Sign-out and sleep, seen inside the window procedure that receives them.
    static int SDLCALL watchSessionMessages(void* overlay, SDL_Event* event);
};

// The overlay's hit test as registered with SDL: the pin rule, except that while the right
// button is down the overlay is plain client area. A right press on a caption would otherwise
// run the system's modal caption loop, and no frame would see it.
SDL_HitTestResult overlayHitTest(SDL_Window* window, const SDL_Point* point, void* data);
