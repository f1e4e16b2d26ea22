// Entry point of Ardeno Time. SDL2main's WinMain calls main with the command line, which says
// no more than whether the Startup shortcut started the program.
#include <windows.h>

#include <SDL.h>

#include "app/command_line.h"
#include "app/main_loop.h"
#include "app/platform_session_win.h"
#include "app/single_instance_win.h"
#include "app/window.h"
#include "common/startup_error.h"
#include "input/input_hook_win.h"
#include "overlay/base_win.h"

namespace {

void showNotice(const wchar_t* text) {
    MessageBoxW(nullptr, text, L"Ardeno Time", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
}

void showFatalMessage(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), L"Ardeno Time", MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

int main(int argc, char* argv[]) {
    // Checked before anything reads or writes the state file.
    SingleInstance instance;
    switch (instance.otherCopy()) {
    case SingleInstance::Other::none:
        break;
    case SingleInstance::Other::inThisSession:
        // Started again to find it: the running copy shows its overlay, which may be hidden.
        if (SingleInstance::askToShow()) return 0;
        showNotice(L"Ardeno Time is already running.\n\nOnly one copy can count at a time, so this one closes.");
        return 0;
    case SingleInstance::Other::inAnotherSession:
        // Every account that signs in while another one counts starts a copy; it has nothing to
        // say to a person who did not start it.
        if (!startedAtSignIn(argc, argv))
            showNotice(L"Ardeno Time is counting in another account's session on this PC.\n\nOnly one copy can "
                       L"count at a time on a PC, so this one closes.");
        return 0;
    }
    try {
        PlatformSession platform;
        const std::wstring hookError = startInputHookThread();
        if (!hookError.empty()) throw StartupError(hookError);

        // The overlay lives until the process ends; nothing deletes it.
        Base* overlay = new Base();
        overlay->init();
        windowList.push_back(overlay);
        instance.closeWhenAsked(overlay->hwnd);
        overlay->showRequestMessage = RegisterWindowMessageW(L"ArdenoTime.ShowOverlay");
        instance.showWhenAsked(overlay->hwnd, overlay->showRequestMessage);

        runMainLoop(windowList, frameLimiter);
        quitWindows(windowList);
        return 0;
    } catch (const std::exception& error) {
        // The platform session is already down here: no window is left to write anything.
        showFatalMessage(describeException(error));
        return 1;
    }
}
