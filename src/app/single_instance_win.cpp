#include "app/single_instance_win.h"

#include <sddl.h>

#include <system_error>
#include <thread>

namespace {

// The marks an installer opens from its own, elevated session: SYSTEM and the administrators may
// wait on them and signal them, whichever account made them. The making copy has its own handles.
const wchar_t markSddl[] = L"D:(A;;GA;;;SY)(A;;GA;;;BA)";

class MarkSecurity {
public:
    MarkSecurity() {
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(markSddl, SDDL_REVISION_1, &descriptor_, nullptr))
            descriptor_ = nullptr;
        attributes_.nLength = sizeof attributes_;
        attributes_.lpSecurityDescriptor = descriptor_;
        attributes_.bInheritHandle = FALSE;
    }
    MarkSecurity(const MarkSecurity&) = delete;
    MarkSecurity& operator=(const MarkSecurity&) = delete;
    ~MarkSecurity() { LocalFree(descriptor_); }

    // Null when the descriptor could not be made: the default security then, which at worst
    // keeps an installer from asking a copy of another account to close.
    SECURITY_ATTRIBUTES* get() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};

// Per session: a second start shows the overlay of the copy in its own session only.
const wchar_t showRequestName[] = L"Local\\ArdenoTime.ShowOverlay";

// Posts `message` to `window` each time `event` is set, for as long as the program runs.
void postWhenSet(HANDLE event, HWND window, UINT message) {
    try {
        std::thread([event, window, message] {
            while (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) PostMessageW(window, message, 0, 0);
        }).detach();
    } catch (const std::system_error&) {
        // Without the thread a second start says that the program runs, as it always did.
    }
}

}  // namespace

SingleInstance::SingleInstance() {
    MarkSecurity security;
    mutex_.reset(CreateMutexW(security.get(), FALSE, L"Global\\ArdenoTime.StateFile.Owner"));
    const DWORD error = GetLastError();
    // Any other failure lets this copy run: refusing to count would lose more than it saves.
    if (error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED)) {
        // A copy that will not run must not keep the mark alive: while its message waits for the
        // user, the running copy may end, and every later start would still find the mark taken.
        mutex_.reset();
        const KernelHandle ours(OpenMutexW(SYNCHRONIZE, FALSE, L"Local\\ArdenoTime.Session.Owner"));
        other_ = ours ? Other::inThisSession : Other::inAnotherSession;
        return;
    }
    sessionMutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\ArdenoTime.Session.Owner"));
    // Auto-reset: each request shows the overlay once.
    showRequest_.reset(CreateEventW(nullptr, FALSE, FALSE, showRequestName));
    closeRequest_.reset(CreateEventW(security.get(), TRUE, FALSE, L"Global\\ArdenoTime.Close"));
    // Still there from an installer that asked the copy before this one to close.
    if (closeRequest_ && GetLastError() == ERROR_ALREADY_EXISTS) ResetEvent(closeRequest_.get());
}

void SingleInstance::closeWhenAsked(HWND window) {
    if (!closeRequest_) return;
    // A thread that waits costs nothing until the event is set; the handle outlives it, since
    // this object lives until the program ends.
    const HANDLE request = closeRequest_.get();
    try {
        std::thread([request, window] {
            if (WaitForSingleObject(request, INFINITE) == WAIT_OBJECT_0) PostMessageW(window, WM_CLOSE, 0, 0);
        }).detach();
    } catch (const std::system_error&) {
        // Without the thread an installer falls back to finding the window in its own session.
    }
}

void SingleInstance::showWhenAsked(HWND window, UINT message) {
    if (showRequest_) postWhenSet(showRequest_.get(), window, message);
}

bool SingleInstance::askToShow() {
    const KernelHandle request(OpenEventW(EVENT_MODIFY_STATE, FALSE, showRequestName));
    return request && SetEvent(request.get());
}
