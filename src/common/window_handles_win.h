#pragma once

#include <windows.h>

// Owners of the user-interface objects a window of the program's own needs. Neither can be
// copied: a class unregistered or a window destroyed twice may already be someone else's.

// A window class registered for this module; it is unregistered when it goes, which succeeds
// only once no window of the class is left, so the windows must go first.
class WindowClass {
public:
    explicit WindowClass(const WNDCLASSEXW& description)
        : instance_(description.hInstance), atom_(RegisterClassExW(&description)) {}
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    ~WindowClass() {
        if (atom_) UnregisterClassW(MAKEINTATOM(atom_), instance_);
    }
    explicit operator bool() const { return atom_ != 0; }

private:
    HINSTANCE instance_;
    ATOM atom_;
};

// A top-level window, destroyed with its child windows when it goes (unless it was destroyed
// already).
class OwnedWindow {
public:
    explicit OwnedWindow(HWND window = nullptr) : window_(window) {}
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    ~OwnedWindow() {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
    }
    HWND get() const { return window_; }

private:
    HWND window_;
};
