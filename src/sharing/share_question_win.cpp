#include "sharing/share_question_win.h"

#include <commctrl.h>

#include <string>

namespace {

const wchar_t title[] = L"Ardeno Time";
const wchar_t instruction[] = L"Was this PC's history corrected, or is this PC a copy of another PC?";
const wchar_t content[] =
    L"Its file in the shared folder holds time that its history no longer holds, and the history holds time "
    L"that the file lacks. Until you answer, the file stays as it is: nothing counts twice.";
const wchar_t correctedText[] = L"My history was corrected\nThe file takes this PC's history as it is now";
const wchar_t copyText[] =
    L"This PC is a copy of another PC\nThis PC takes an ID of its own; the other PC's file stays and counts";
constexpr int correctedId = 100, copyId = 101;

using TaskDialogIndirectFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// Version 6 of the common controls has the task dialog; a process without the manifest that
// asks for it gets an older one, which has not: a message box says the same then.
TaskDialogIndirectFunction taskDialog() {
    const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    return controls ? reinterpret_cast<TaskDialogIndirectFunction>(
                          reinterpret_cast<void*>(GetProcAddress(controls, "TaskDialogIndirect")))
                    : nullptr;
}

}  // namespace

PcAnswer askWhoseHistory(HWND owner) {
    if (const TaskDialogIndirectFunction show = taskDialog()) {
        const TASKDIALOG_BUTTON buttons[] = {{correctedId, correctedText}, {copyId, copyText}};
        TASKDIALOGCONFIG config{};
        config.cbSize = sizeof config;
        config.hwndParent = owner;
        config.dwFlags = TDF_USE_COMMAND_LINKS | TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
        config.dwCommonButtons = TDCBF_CANCEL_BUTTON;
        config.pszWindowTitle = title;
        config.pszMainIcon = TD_WARNING_ICON;
        config.pszMainInstruction = instruction;
        config.pszContent = content;
        config.cButtons = 2;
        config.pButtons = buttons;
        config.nDefaultButton = IDCANCEL;
        int chosen = 0;
        if (SUCCEEDED(show(&config, &chosen, nullptr, nullptr)))
            return chosen == correctedId ? PcAnswer::corrected : chosen == copyId ? PcAnswer::copy : PcAnswer::none;
    }
    const std::wstring text = std::wstring(instruction) + L"\n\n" + content +
                              L"\n\nYes: my history was corrected; the file takes it as it is now.\nNo: this PC is a "
                              L"copy of another PC; it takes an ID of its own.";
    switch (MessageBoxW(owner, text.c_str(), title, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3)) {
    case IDYES: return PcAnswer::corrected;
    case IDNO: return PcAnswer::copy;
    default: return PcAnswer::none;
    }
}
