#pragma once

#include <objbase.h>

// COM for the calling thread, for as long as the object lives. Shell calls (opening a file
// with its program, the folder picker) need it; a thread that has it already keeps it.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

private:
    HRESULT result_;
};

// One reference to a COM object, released when it goes.
template <class Interface>
class ComRef {
public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (object_) object_->Release();
    }
    Interface* get() const { return object_; }
    Interface* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // For calls that hand out a new reference; whatever was held is released first.
    Interface** put() {
        if (object_) object_->Release();
        object_ = nullptr;
        return &object_;
    }

private:
    Interface* object_ = nullptr;
};

// A block of memory the shell allocated for the caller (CoTaskMemAlloc), freed when it goes.
template <class Type>
class ComMemory {
public:
    ComMemory() = default;
    ComMemory(const ComMemory&) = delete;
    ComMemory& operator=(const ComMemory&) = delete;
    ~ComMemory() { CoTaskMemFree(memory_); }
    Type get() const { return memory_; }
    Type* put() {
        CoTaskMemFree(memory_);
        memory_ = nullptr;
        return &memory_;
    }

private:
    Type memory_ = nullptr;
};
