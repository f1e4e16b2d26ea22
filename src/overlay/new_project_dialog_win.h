#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>

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
    ~NewProjectDialog();

    // Opens the dialog beside `overlay`, drawn at `scale`; an open one comes to the front instead.
    void open(HWND overlay, DisplayScale scale);
    // The name confirmed with OK, once, after the dialog has closed; nullopt otherwise. Costs a
    // look at a flag while no dialog was opened.
    std::optional<std::wstring> takeName();
    // The dialog's window while it is open; null otherwise.
    HWND window();

private:
    struct Mailbox {
        std::mutex lock;
        HWND window = nullptr;   // once made, until it is destroyed
        bool closeAsked = false;  // by the destructor, perhaps before the window was made
        bool closed = false;      // the thread is done with its window
        std::optional<std::wstring> name;
    };

    void finish();
    static void run(Mailbox& mailbox, HWND overlay, DisplayScale scale, HWND previous);

    Mailbox mailbox_;
    std::thread thread_;
};
