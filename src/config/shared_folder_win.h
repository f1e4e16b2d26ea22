#pragma once

#include <windows.h>

// The security the state folder is created with. The common application-data folder's default
// gives a new file to its creator and lets other users only read it, so every account but the
// first could not save. Here Users may modify files (not the folder's security), SYSTEM and
// Administrators have full control, new files inherit it, and the parent's entries are not
// inherited. Owns the descriptor; without one (the conversion failed) the folder gets the
// default security, as before.
class SharedFolderSecurity {
public:
    SharedFolderSecurity();
    SharedFolderSecurity(const SharedFolderSecurity&) = delete;
    SharedFolderSecurity& operator=(const SharedFolderSecurity&) = delete;
    ~SharedFolderSecurity() { LocalFree(descriptor_); }

    PSECURITY_DESCRIPTOR descriptor() const { return descriptor_; }
    // For CreateDirectoryW: null when there is no descriptor.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
};
