#include "input/input_hook_win.h"

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

#include "input/hook_handle_win.h"
#include "input/input_flag.h"

namespace {

// The event's own time, stamped by the system when it happened; a hook may be called late.
std::uint32_t eventTime(int code, WPARAM message, LPARAM data) {
    DWORD time = 0;
    if (code == HC_ACTION && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        time = reinterpret_cast<const MSLLHOOKSTRUCT*>(data)->time;
    else if (code == HC_ACTION && message >= WM_KEYFIRST && message <= WM_KEYLAST)
        time = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)->time;
    return time ? time : GetTickCount();
}

}  // namespace

LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    // Every keyboard and mouse event of the system passes through here: a load, and for the
    // first event after a frame, two stores. Then the event goes on, so that other programs'
    // hooks (hotkeys, accessibility tools) still see it.
    if (!inputSeen.load(std::memory_order_relaxed)) {
        firstInputTime.store(eventTime(nCode, wParam, lParam), std::memory_order_relaxed);
        inputSeen.store(true, std::memory_order_release);
    }
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

InputWatch::InputWatch() : lastInputTime_(lastInputTime()) {}

DWORD InputWatch::lastInputTime() {
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    return GetLastInputInfo(&info) ? info.dwTime : 0;
}

InputSinceLastFrame InputWatch::poll(bool askSystem) {
    InputSinceLastFrame input;
    if (inputSeen.load(std::memory_order_acquire)) {
        input = {true, firstInputTime.load(std::memory_order_relaxed)};
        hooksSawInput_ = true;
    }
    if (!askSystem) return input;
    // The system's own note of the latest input, for what the hooks miss: the system removes a
    // low-level hook that once answers too slowly, and a hook sees no input aimed at an elevated
    // window. While the hooks see input they are taken to see all of it, and the system is not
    // asked: the next look only catches up, so that a change they saw does not count again.
    // The latest input, not the first: a long silence before it is still seen as one.
    if (hooksSawInput_) {
        hooksSawInput_ = false;
        behind_ = true;
        return input;
    }
    const DWORD latest = lastInputTime();
    const bool missedByHooks = latest != lastInputTime_ && !behind_;
    lastInputTime_ = latest;
    behind_ = false;
    if (!input.seen && missedByHooks) input = {true, latest};
    return input;
}
