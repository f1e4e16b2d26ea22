#pragma once

#include <windows.h>

#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "common/display_scale.h"
#include "common/gdi_handles_win.h"
#include "common/window_handles_win.h"

// The small dialogs of the program run each on a thread of their own with their own message
// loop, so that the overlay's frames and the counting go on while one is open: a modal loop on
// the main thread would stop them, and SDL's message pump never calls IsDialogMessage. What they
// share is here; what each shows and says stays with it.

// Posted to an open dialog that is asked to open again: it comes to the front instead.
constexpr UINT dialogComeForward = WM_APP + 1;

// What a dialog's window procedure leaves to the rest: OK is the default button, closing destroys
// the window, and the thread's loop ends with it.
LRESULT dialogDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A child control of a dialog, at `place` in its client area, in `font`.
HWND dialogControl(const wchar_t* kind, const wchar_t* text, DWORD style, DWORD exStyle, int id, RECT place,
                   HWND parent, HFONT font);
std::wstring controlText(HWND control);
// A line's height and a text's width in `font`, on the screen.
int fontLineHeight(HFONT font);
int fontTextWidth(HFONT font, const wchar_t* text);
// A window that is never shown, made on the dialog's thread to own it: an owned window has no
// taskbar button, and an owner on the dialog's own thread leaves the main thread's input apart
// from the dialog's.
HWND makeHiddenOwner();

// What a dialog's thread holds for its whole life: its window class, and the system's interface
// font at the scale it is drawn at. The class goes last, after the windows of the class.
class DialogThreadKit {
public:
    DialogThreadKit(const wchar_t* className, WNDPROC procedure, DisplayScale scale);
    HFONT font() const { return font_.get(); }

private:
    static WNDCLASSEXW description(const wchar_t* className, WNDPROC procedure);

    const WindowClass windowClass_;
    const LOGFONTW logFont_;
    const FontHandle font_;
};

// Shows `window` in front with the keyboard in `focus`, and runs the thread's messages until the
// window is destroyed (its WM_DESTROY posts the quit): Enter, Escape and Tab, as in any dialog.
void runDialogLoop(HWND window, HWND focus);

// The thread of one dialog, and the mailbox between it and the main thread, which takes the
// dialog's `Result` once the dialog has closed. Only one dialog of a kind is open at a time.
template <class Result>
class DialogThread {
public:
    // The dialog thread's side: it makes its window, publishes it, and hands over its result as
    // it ends.
    class Mailbox {
    public:
        // Whether the dialog should go on: the main thread has not asked it to close meanwhile.
        bool publish(HWND window) {
            const std::lock_guard<std::mutex> hold(lock_);
            window_ = window;
            return !closeAsked_;
        }
        // The thread is done with its window.
        void hand(std::optional<Result> result) {
            const std::lock_guard<std::mutex> hold(lock_);
            window_ = nullptr;
            result_ = std::move(result);
            closed_ = true;
        }

    private:
        friend class DialogThread;
        std::mutex lock_;
        HWND window_ = nullptr;   // once made, until it is destroyed
        bool closeAsked_ = false;  // by the main thread, perhaps before the window was made
        bool closed_ = false;
        std::optional<Result> result_;
    };

    struct Taken {
        bool closed = false;  // false while it is open, or none was opened
        std::optional<Result> result;
    };

    DialogThread() = default;
    DialogThread(const DialogThread&) = delete;
    DialogThread& operator=(const DialogThread&) = delete;
    ~DialogThread() { close(); }

    // When a dialog is open, brings it to the front and says so.
    bool bringForward() {
        if (!thread_.joinable()) return false;
        const std::lock_guard<std::mutex> hold(mailbox_.lock_);
        if (mailbox_.closed_) return false;
        if (mailbox_.window_) PostMessageW(mailbox_.window_, dialogComeForward, 0, 0);
        return true;
    }
    // Runs `run(mailbox, arguments...)` on a new thread, after the last one; see bringForward.
    template <class Run, class... Arguments>
    void start(Run run, Arguments&&... arguments) {
        if (thread_.joinable()) thread_.join();
        mailbox_.window_ = nullptr;
        mailbox_.closeAsked_ = mailbox_.closed_ = false;
        mailbox_.result_.reset();
        try {
            thread_ = std::thread(run, std::ref(mailbox_), std::forward<Arguments>(arguments)...);
        } catch (const std::system_error&) {
            MessageBeep(MB_ICONWARNING);  // no thread to be had now; the user can try again
        }
    }
    // What the dialog handed over, once, after it has closed.
    Taken take() {
        Taken taken;
        if (!thread_.joinable()) return taken;
        {
            const std::lock_guard<std::mutex> hold(mailbox_.lock_);
            if (!mailbox_.closed_) return taken;
            taken.closed = true;
            taken.result = std::move(mailbox_.result_);
            mailbox_.result_.reset();
        }
        thread_.join();
        return taken;
    }
    // Closes an open dialog as Cancel does, and waits for its thread.
    void close() {
        if (!thread_.joinable()) return;
        HWND window = nullptr;
        {
            const std::lock_guard<std::mutex> hold(mailbox_.lock_);
            mailbox_.closeAsked_ = true;
            window = mailbox_.window_;
        }
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        thread_.join();
    }
    // The dialog's window while it is open; null otherwise.
    HWND window() {
        const std::lock_guard<std::mutex> hold(mailbox_.lock_);
        return mailbox_.window_;
    }
    bool isOpen() {
        const std::lock_guard<std::mutex> hold(mailbox_.lock_);
        return thread_.joinable() && !mailbox_.closed_;
    }

private:
    Mailbox mailbox_;
    std::thread thread_;
};
