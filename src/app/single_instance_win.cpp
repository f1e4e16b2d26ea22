#include "app/single_instance_win.h"

SingleInstance::SingleInstance()
    : mutex_(CreateMutexW(nullptr, FALSE, L"Global\\ArdenoTime.StateFile.Owner")) {
    const DWORD error = GetLastError();
    // Any other failure lets this copy run: refusing to count would lose more than it saves.
    alreadyRunning_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
    // A copy that will not run must not keep the mark alive: while its message waits for the
    // user, the running copy may end, and every later start would still find the mark taken.
    if (alreadyRunning_) mutex_.reset();
}
