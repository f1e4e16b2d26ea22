#pragma once

#include <windows.h>

#include <string>

// Starts the real ArdenoTime.exe from beside the test program and watches its windows.
class OverlayProcess {
public:
    // Starts the program with `workingDirectory` as its current folder (its skin is found there)
    // and `arguments` on its command line.
    explicit OverlayProcess(const std::wstring& workingDirectory, const std::wstring& arguments = L"");
    OverlayProcess(const OverlayProcess&) = delete;
    OverlayProcess& operator=(const OverlayProcess&) = delete;
    // Kills the program if a test left it running.
    ~OverlayProcess();

    bool started() const { return process_.hProcess != nullptr; }
    DWORD id() const { return process_.dwProcessId; }

    // The first top-level window of the program with this class (null: any) and title, or null
    // once `timeoutMs` has passed. Hidden windows count.
    HWND waitForWindow(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) const;

    // The program's exit code, or STILL_ACTIVE when it did not end within `timeoutMs`.
    DWORD waitForExit(DWORD timeoutMs) const;

private:
    PROCESS_INFORMATION process_{};
};

// Folder of the running test program; ArdenoTime.exe is built into the same folder.
std::wstring binaryFolder();

// The text of a message box: its static controls, joined by newlines.
std::wstring messageBoxText(HWND dialog);
