#pragma once

#include <windows.h>

// Owns a kernel object's handle (a process, a mutex) and closes it when it goes out of scope.
// Null means none; so does INVALID_HANDLE_VALUE, which some calls return instead.
class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle() { reset(); }

    HANDLE get() const { return handle_; }
    // Closes the handle held and holds `handle` instead.
    void reset(HANDLE handle = nullptr) {
        if (handle_) CloseHandle(handle_);
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_;
};

// A folder watch from FindFirstChangeNotificationW, which FindCloseChangeNotification ends.
class ChangeNotification {
public:
    explicit ChangeNotification(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ChangeNotification(const ChangeNotification&) = delete;
    ChangeNotification& operator=(const ChangeNotification&) = delete;
    ~ChangeNotification() { reset(); }

    HANDLE get() const { return handle_; }
    void reset(HANDLE handle = nullptr) {
        if (handle_) FindCloseChangeNotification(handle_);
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HANDLE handle_;
};
