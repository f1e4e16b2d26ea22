#include "input/input_hook_win.h"

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

#include "input/hook_handle_win.h"
#include "input/input_flag.h"

LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    // Every keyboard and mouse event of the system passes through here: one store, then hand
    // the event on so that other programs' hooks (hotkeys, accessibility tools) still see it.
    inputSeen.store(true, std::memory_order_relaxed);
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

namespace {

std::wstring hookFailure(const wchar_t* kind) {
    const DWORD error = GetLastError();
    return std::wstring(L"Ardeno Time cannot detect ") + kind +
           L" activity: the system refused its input hook (error " + std::to_wstring(error) +
           L").\n\nIt stops here rather than run and count nothing.";
}

// Low-level hooks are called on the thread that installed them while it waits for messages,
// so this thread installs them and then waits for the rest of the process.
void inputHookThread(std::promise<std::wstring> started) {
    HookHandle keyboard(SetWindowsHookExW(WH_KEYBOARD_LL, inputHookProc, nullptr, 0));
    if (!keyboard) {
        started.set_value(hookFailure(L"keyboard"));
        return;
    }
    HookHandle mouse(SetWindowsHookExW(WH_MOUSE_LL, inputHookProc, nullptr, 0));
    if (!mouse) {
        started.set_value(hookFailure(L"mouse"));
        return;
    }
    started.set_value(std::wstring());

    // Nothing posts to this thread; the loop only keeps a stray message from ending the service.
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    }
}

}  // namespace

std::wstring startInputHookThread() {
    std::promise<std::wstring> started;
    std::future<std::wstring> result = started.get_future();
    try {
        std::thread(inputHookThread, std::move(started)).detach();
    } catch (const std::system_error& error) {
        return L"Ardeno Time cannot detect keyboard and mouse activity: its input thread could not be started (" +
               std::to_wstring(error.code().value()) + L").\n\nIt stops here rather than run and count nothing.";
    }
    if (result.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
        return L"Ardeno Time cannot detect keyboard and mouse activity: its input hooks did not start in time."
               L"\n\nIt stops here rather than run and count nothing.";
    return result.get();
}
