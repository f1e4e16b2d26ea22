#include "sharing/folder_picker_win.h"

#include <shobjidl.h>

#include "common/com_win.h"

FolderChoice pickFolder(HWND owner, const std::wstring& title) {
    FolderChoice choice;
    const ComApartment com;
    ComRef<IFileOpenDialog> dialog;
    choice.error = CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileOpenDialog,
                                    reinterpret_cast<void**>(dialog.put()));
    if (FAILED(choice.error)) return choice;
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
    dialog->SetTitle(title.c_str());
    const HRESULT shown = dialog->Show(owner);
    if (shown == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return choice;
    choice.error = shown;
    if (FAILED(shown)) return choice;
    ComRef<IShellItem> item;
    choice.error = dialog->GetResult(item.put());
    if (FAILED(choice.error)) return choice;
    ComMemory<PWSTR> path;
    choice.error = item->GetDisplayName(SIGDN_FILESYSPATH, path.put());
    if (SUCCEEDED(choice.error) && path.get()) choice.folder = path.get();
    return choice;
}
