#pragma once

// What the tests of the history window share: a PC that shares nothing, the windows Windows
// opens over it, and reports that open nowhere but in a file of the test's.
#include <windows.h>

#include <shlwapi.h>

#include <string>
#include <vector>

#include "history/history_window_win.h"
#include "registry_value.h"

// What the window needs of sharing, for a PC that shares nothing.
struct NotSharing : HistorySharing {
    bool sharing() const override { return false; }
    std::vector<ChartPc> chartPcs(const std::vector<HistoryRow>& ownRows) const override {
        return {{L"STUDIO (this PC)", &ownRows}};
    }
    std::vector<std::wstring> statusLines() const override { return {}; }
    std::uint64_t revision() const override { return 0; }
    void windowOpened() override {}
    void windowClosed() override {}
    void shareOrStop(HWND, const std::vector<HistoryRow>&) override {}
    std::uint64_t question() const override { return waiting; }
    void askQuestion(HWND owner) override {
        asked.push_back(owner);
        waiting = answerWith;
    }
    std::uint64_t waiting = 0;     // the question that waits
    std::uint64_t answerWith = 0;  // what waits once it has been asked: 0 when it was answered
    std::vector<HWND> asked;
};

// A dialog of Windows' own (a save dialog, a message box) that `owner` opened and shows.
inline HWND ownedWindow(HWND owner, const wchar_t* title) {
    for (HWND w = FindWindowW(L"#32770", title); w; w = FindWindowExW(nullptr, w, L"#32770", title))
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    return nullptr;
}

// Documents moved to `documents`, and .html files opened, under the class `progId`, with a
// command that appends their path to `opened`, so that the host's browser is never reached; all
// put back afterwards.
class RecordedReports {
public:
    RecordedReports(const std::wstring& documents, const std::wstring& opened, const std::wstring& progId)
        : recorder_(L"C:\\windows\\system32\\cmd.exe /c echo %1>>\"" + opened + L"\""),
          documents_(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                     L"Personal", REG_EXPAND_SZ, documents),
          progId_{progId},
          command_(HKEY_CLASSES_ROOT, progId + L"\\shell\\open\\command", nullptr, REG_SZ, recorder_),
          html_(HKEY_CLASSES_ROOT, L".html", nullptr, REG_SZ, progId) {}
    RecordedReports(const RecordedReports&) = delete;
    RecordedReports& operator=(const RecordedReports&) = delete;

    // Whether all of it took, and Windows now names the recording command for .html.
    bool ready() const {
        wchar_t found[1024] = {};
        DWORD size = 1024;
        AssocQueryStringW(0, ASSOCSTR_COMMAND, L".html", L"open", found, &size);
        return documents_.set() && command_.set() && html_.set() && found == recorder_;
    }

private:
    struct ProgIdTree {
        std::wstring name;
        ~ProgIdTree() { RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str()); }
    };

    const std::wstring recorder_;
    const RegistryValue documents_;
    const ProgIdTree progId_;  // removed after the values in it are put back
    const RegistryValue command_, html_;
};
