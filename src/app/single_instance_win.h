#pragma once

#include <windows.h>

#include "common/kernel_handle_win.h"

// A machine-wide mark, across user sessions, that Ardeno Time is running. Two copies would
// each rewrite the one state file with their own total and lose each other's seconds.
// The running copy also holds a mark of its own session, so that a second start can tell whether
// the copy that counts is in its session or in another account's (fast user switching), and it
// listens for an installer that asks it to close, in whichever session it runs.
class SingleInstance {
public:
    enum class Other { none, inThisSession, inAnotherSession };

    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Another copy held the mark first (possibly under another user, whose mark this copy may
    // not even open), and where it runs.
    Other otherCopy() const { return other_; }

    // From now on, an installer's request to close (it sets the machine-wide event that this
    // copy made) closes `window` as "Exit" does: WM_CLOSE, and the run's count is stored.
    void closeWhenAsked(HWND window);
    // From now on, a second start in this session (see askToShow) posts `message` to `window`.
    void showWhenAsked(HWND window, UINT message);
    // Called by a second start in the running copy's session: asks that copy to show its overlay,
    // which may be hidden. False when it could not be asked (a copy of a version without it).
    static bool askToShow();

private:
    KernelHandle mutex_;
    KernelHandle sessionMutex_;
    KernelHandle closeRequest_;
    KernelHandle showRequest_;
    Other other_ = Other::none;
};
