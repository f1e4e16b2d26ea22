#pragma once

#include <windows.h>

#include "common/calendar.h"
#include "common/dialog_thread_win.h"
#include "common/display_scale.h"

// The days picked for a custom range.
struct PickedDays {
    DayNumber first = 0;
    DayNumber last = 0;
};

// "Custom...": a small dialog with two of Windows' date pickers, From and To (both days
// included), OK and Cancel; Enter is OK and Escape is Cancel. It runs on a thread of its own with
// its own message loop, as New project's does, so that the counting goes on while it is open
// (SDL's message pump never calls IsDialogMessage). It stays above the history window, which
// owns it. The days come back to the main thread through a mailbox that the window empties once
// a frame.
class CustomRangeDialog {
public:
    static constexpr const wchar_t* title = L"Custom range";
    static constexpr int fromId = 101;
    static constexpr int toId = 102;

    CustomRangeDialog() = default;
    CustomRangeDialog(const CustomRangeDialog&) = delete;
    CustomRangeDialog& operator=(const CustomRangeDialog&) = delete;
    // Closes a dialog that is still open, as Cancel does, and waits for its thread.
    ~CustomRangeDialog() = default;

    // Opens the dialog over `owner`, drawn at `scale`, showing `days`; an open one comes to the
    // front instead.
    void open(HWND owner, DisplayScale scale, PickedDays days);
    // What the dialog said, once, after it has closed.
    struct Answer {
        bool closed = false;     // false while it is open, or none was opened
        bool confirmed = false;  // with OK; Cancel, Escape and the close box leave the range
        PickedDays days;         // with OK: first before last
    };
    Answer takeAnswer();
    // The dialog's window while it is open; null otherwise.
    HWND window();
    // Closes it as Cancel does and waits for its thread.
    void close();

private:
    using Thread = DialogThread<PickedDays>;
    static void run(Thread::Mailbox& mailbox, HWND owner, DisplayScale scale, PickedDays days);

    Thread thread_;
};
