#pragma once

#include <windows.h>

// Owns one installed Windows hook and removes it when it goes out of scope.
class HookHandle {
public:
    HookHandle() = default;
    explicit HookHandle(HHOOK hook) : hook_(hook) {}
    HookHandle(const HookHandle&) = delete;
    HookHandle& operator=(const HookHandle&) = delete;
    ~HookHandle() { reset(); }

    // Removes the hook held (the system may have removed it already) and holds `hook` instead.
    void reset(HHOOK hook = nullptr) {
        if (hook_) UnhookWindowsHookEx(hook_);
        hook_ = hook;
    }

    explicit operator bool() const { return hook_ != nullptr; }

private:
    HHOOK hook_ = nullptr;
};
