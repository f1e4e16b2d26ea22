#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "common/dialog_thread_win.h"
#include "common/display_scale.h"

// The "New project" dialog: one text box, OK and Cancel; Enter is OK and Escape is Cancel. It
// runs on a thread of its own with its own message loop, so that the overlay's frames (and the
// counting) go on while it is open: a modal loop on the main thread would stop them, and SDL's
// message pump never calls IsDialogMessage. Topmost, beside the overlay, drawn in the system's
// interface font at the overlay's scale; the overlay never covers it (see raiseAbove). OK takes
// only a name that keeps the name rule. The name comes back to the main thread through a
// mailbox that the overlay empties once a frame.
class NewProjectDialog {
public:
    static constexpr const wchar_t* title = L"New project";

    NewProjectDialog() = default;
    NewProjectDialog(const NewProjectDialog&) = delete;
    NewProjectDialog& operator=(const NewProjectDialog&) = delete;
    // Closes a dialog that is still open, as Cancel does, and waits for its thread.
    ~NewProjectDialog() = default;

    // Opens the dialog beside `overlay`, drawn at `scale`; an open one comes to the front instead.
    void open(HWND overlay, DisplayScale scale);
    // The name confirmed with OK, once, after the dialog has closed; nullopt otherwise. Costs a
    // look at a flag while no dialog was opened.
    std::optional<std::wstring> takeName();
    // The dialog's window while it is open; null otherwise.
    HWND window();

private:
    using Thread = DialogThread<std::wstring>;
    static void run(Thread::Mailbox& mailbox, HWND overlay, DisplayScale scale, HWND previous);

    Thread thread_;
};
