#include "config/shared_folder_win.h"

#include <sddl.h>

namespace {

// 0x1301bf is "Modify": read, write, execute and delete, without changing permissions or owner.
const wchar_t folderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)";

}  // namespace

SharedFolderSecurity::SharedFolderSecurity() {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(folderSddl, SDDL_REVISION_1, &descriptor_, nullptr))
        descriptor_ = nullptr;
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}
