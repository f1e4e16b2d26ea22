// Entry point of Ardeno Time. SDL2main's WinMain calls main with the command line, which the
// program does not use.
#include <windows.h>

#include <SDL.h>

#include "app/main_loop.h"
#include "app/platform_session_win.h"
#include "app/single_instance_win.h"
#include "common/startup_error.h"
#include "app/window.h"
#include "input/input_hook_win.h"
#include "overlay/base_win.h"

namespace {

void showFatalMessage(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), L"Ardeno Time", MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

int main(int argc, char* argv[]) {
    (void)argc;
    (void)argv;
    // Checked before anything reads or writes the state file.
    const SingleInstance instance;
    if (instance.alreadyRunning()) {
        MessageBoxW(nullptr, L"Ardeno Time is already running.\n\nOnly one copy can count at a time, so this one closes.",
                    L"Ardeno Time", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
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

        runMainLoop(windowList, frameLimiter);
        quitWindows(windowList);
        return 0;
    } catch (const std::exception& error) {
        // The platform session is already down here: no window is left to write anything.
        showFatalMessage(describeException(error));
        return 1;
    }
}
