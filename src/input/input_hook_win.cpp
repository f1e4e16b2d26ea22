#include "input/input_hook_win.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <future>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>

#include "common/kernel_handle_win.h"
#include "common/window_handles_win.h"
#include "input/hook_handle_win.h"
#include "input/input_flag.h"
#include "input/pen_reports_win.h"

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

// Where the pointer was at the last mouse event. Only the hook thread touches it.
POINT lastPointer{};
bool pointerKnown = false;

// A "move" that leaves the pointer where it was is nobody's doing: under Wine a window that
// appears under a resting pointer makes one, and so do some drivers and remote sessions.
bool pointerStayed(WPARAM message, LPARAM data) {
    if (message != WM_MOUSEMOVE) return false;
    const POINT at = reinterpret_cast<const MSLLHOOKSTRUCT*>(data)->pt;
    const bool stayed = pointerKnown && at.x == lastPointer.x && at.y == lastPointer.y;
    lastPointer = at;
    pointerKnown = true;
    if (!stayed) pointerPosition.store(packPointer(at.x, at.y), std::memory_order_relaxed);
    return stayed;
}

DigitizerInput digitizerInput;  // hook thread only: the mouse hook and raw input both run there

// Mouse input that Windows made of a pen's or a finger's report that the pen rule reads too:
// that rule decides, or a resting pen would count through the pointer it jitters.
bool leftToPenRule(int code, WPARAM message, LPARAM data) {
    if (code != HC_ACTION || message < WM_MOUSEFIRST || message > WM_MOUSELAST) return false;
    const auto& event = *reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    return digitizerInput.leavesMouseEvent(event.dwExtraInfo, eventTime(code, message, data));
}

}  // namespace

LRESULT CALLBACK inputHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    // Every keyboard and mouse event of the system passes through here: a load, and for the
    // first event after a frame, two stores. Then the event goes on, so that other programs'
    // hooks (hotkeys, accessibility tools) still see it.
    if (nCode == HC_ACTION && pointerStayed(wParam, lParam)) return CallNextHookEx(nullptr, nCode, wParam, lParam);
    if (leftToPenRule(nCode, wParam, lParam)) noteUncountedInput();
    else raiseInputFlag([&] { return eventTime(nCode, wParam, lParam); });
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

namespace {

std::wstring hookFailure(const wchar_t* kind) {
    const DWORD error = GetLastError();
    return std::wstring(L"Ardeno Time cannot detect ") + kind +
           L" activity: the system refused its input hook (error " + std::to_wstring(error) +
           L").\n\nIt stops here rather than run and count nothing.";
}

// The hook thread, once it runs: the main thread posts it a request to put the hooks back.
std::atomic<DWORD> hookThreadId{0};
constexpr UINT reinstallMessage = WM_APP + 1;

struct Hooks {
    HookHandle keyboard;
    HookHandle mouse;
};

// Installs both hooks; an empty text, or a sentence for the user saying which one failed.
std::wstring install(Hooks& hooks) {
    pointerKnown = GetCursorPos(&lastPointer) != FALSE;
    if (pointerKnown) pointerPosition.store(packPointer(lastPointer.x, lastPointer.y), std::memory_order_relaxed);
    // The old ones go first: the system may have removed them already, and then this changes nothing.
    hooks.mouse.reset();
    hooks.keyboard.reset();
    hooks.keyboard.reset(SetWindowsHookExW(WH_KEYBOARD_LL, inputHookProc, nullptr, 0));
    if (!hooks.keyboard) return hookFailure(L"keyboard");
    hooks.mouse.reset(SetWindowsHookExW(WH_MOUSE_LL, inputHookProc, nullptr, 0));
    if (!hooks.mouse) return hookFailure(L"mouse");
    return std::wstring();
}

LRESULT CALLBACK rawInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) {
        // The event's time: WM_INPUT is posted, stamped when the report came.
        const DWORD stamped = GetMessageTime();
        digitizerInput.note(reinterpret_cast<HRAWINPUT>(lParam), stamped ? stamped : GetTickCount());
    }
    // DefWindowProc frees what the system keeps for WM_INPUT.
    return DefWindowProcW(window, message, wParam, lParam);
}

// Pens and touch screens to `window`, whatever program is in front.
bool registerDigitizers(HWND window) {
    RAWINPUTDEVICE devices[std::size(digitizerUsages)];
    for (std::size_t i = 0; i < std::size(digitizerUsages); ++i)
        devices[i] = {digitizerUsages[i].page, digitizerUsages[i].usage, RIDEV_INPUTSINK, window};
    return window && RegisterRawInputDevices(devices, static_cast<UINT>(std::size(devices)), sizeof devices[0]);
}

// Names the thread for debuggers and profilers (and, under Wine, for the system's own tools, which
// is how the benchmark tells the hooks' time from the rest). Windows before 10 has no names.
void nameThisThread(const wchar_t* name) {
    using SetDescription = HRESULT(WINAPI*)(HANDLE, PCWSTR);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel ? reinterpret_cast<SetDescription>(
                                  reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")))
                            : nullptr;
    if (set) set(GetCurrentThread(), name);
}

// Low-level hooks are called on the thread that installed them while it waits for messages,
// so this thread installs them and then waits for the rest of the process.
void inputHookThread(std::promise<std::wstring> started) {
    nameThisThread(L"input hooks");
    Hooks hooks;
    // The message queue exists before anyone learns the thread's id and may post to it.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const std::wstring failure = install(hooks);
    if (!failure.empty()) {
        started.set_value(failure);
        return;
    }
    // Refused, the pen still counts through the system's last-input time.
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = rawInputProc;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"ArdenoTimePenInput";
    const WindowClass penClass(description);
    const OwnedWindow penWindow(penClass ? CreateWindowExW(0, description.lpszClassName, L"", 0, 0, 0, 0, 0,
                                                           HWND_MESSAGE, nullptr, description.hInstance, nullptr)
                                         : nullptr);
    registerDigitizers(penWindow.get());
    hookThreadId = GetCurrentThreadId();
    started.set_value(std::wstring());

    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.hwnd) DispatchMessageW(&message);
        // Should a hook not come back, the overlay still counts through the system's last-input
        // time, and asks again at the next silence.
        else if (message.message == reinstallMessage) install(hooks);
    }
}

}  // namespace

void requestHookReinstall() {
    if (const DWORD thread = hookThreadId.load()) PostThreadMessageW(thread, reinstallMessage, 0, 0);
}

bool foregroundAboveOurIntegrity() {
    const auto integrityOf = [](HANDLE process) -> std::optional<DWORD> {
        HANDLE token = nullptr;
        if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
        const KernelHandle owned(token);
        alignas(TOKEN_MANDATORY_LABEL) unsigned char buffer[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
        DWORD size = 0;
        if (!GetTokenInformation(token, TokenIntegrityLevel, buffer, sizeof buffer, &size)) return std::nullopt;
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
        const UCHAR parts = *GetSidSubAuthorityCount(sid);
        if (parts == 0) return std::nullopt;
        return *GetSidSubAuthority(sid, parts - 1);
    };
    const HWND foreground = GetForegroundWindow();
    if (!foreground) return false;
    DWORD processId = 0;
    GetWindowThreadProcessId(foreground, &processId);
    if (processId == GetCurrentProcessId()) return false;
    const KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    const std::optional<DWORD> theirs = integrityOf(process.get());
    if (!theirs) return GetLastError() == ERROR_ACCESS_DENIED;
    const std::optional<DWORD> ours = integrityOf(GetCurrentProcess());
    return ours && *theirs > *ours;
}

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

InputSystem windowsInputSystem() {
    const auto lastInputTime = [] {
        LASTINPUTINFO info{};
        info.cbSize = sizeof info;
        return GetLastInputInfo(&info) ? static_cast<std::uint32_t>(info.dwTime) : 0u;
    };
    return {lastInputTime, foregroundAboveOurIntegrity, requestHookReinstall};
}
