#pragma once

#include <windows.h>

#include <string>

// A registry value set for one test and put back afterwards (deleted, if there was none).
class RegistryValue {
public:
    RegistryValue(HKEY root, std::wstring key, const wchar_t* name, DWORD type, const std::wstring& value)
        : root_(root), key_(std::move(key)), name_(name ? name : L"") {
        wchar_t old[1024];
        DWORD size = sizeof old;
        had_ = RegGetValueW(root_, key_.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type_, old, &size) == ERROR_SUCCESS;
        if (had_) old_.assign(old, size / sizeof(wchar_t) - (size ? 1 : 0));
        set_ = RegSetKeyValueW(root_, key_.c_str(), name, type, value.c_str(),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~RegistryValue() {
        const wchar_t* name = name_.empty() ? nullptr : name_.c_str();
        if (had_)
            RegSetKeyValueW(root_, key_.c_str(), name, type_, old_.c_str(),
                            static_cast<DWORD>((old_.size() + 1) * sizeof(wchar_t)));
        else
            RegDeleteKeyValueW(root_, key_.c_str(), name);
    }
    bool set() const { return set_; }

private:
    HKEY root_;
    std::wstring key_, name_, old_;
    DWORD type_ = REG_SZ;
    bool had_ = false, set_ = false;
};
