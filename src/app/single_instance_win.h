#pragma once

#include "common/kernel_handle_win.h"

// A machine-wide mark, across user sessions, that Ardeno Time is running. Two copies would
// each rewrite the one state file with their own total and lose each other's seconds.
class SingleInstance {
public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Another copy held the mark first (possibly under another user, whose mark this copy may
    // not even open).
    bool alreadyRunning() const { return alreadyRunning_; }

private:
    KernelHandle mutex_;
    bool alreadyRunning_ = false;
};
