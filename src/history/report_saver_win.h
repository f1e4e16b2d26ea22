#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

#include "common/calendar.h"

// "Save report...": Windows' save dialog on a thread of its own, so that the program's main
// loop, and with it the counting, goes on while a person chooses where the report goes. The
// thread writes the report there in one step (writeFileAtomically), opens it with the
// program Windows opens .html files with (a browser), and says in a message box what went
// wrong, naming the file and the system's reason. The dialog opens in the user's Documents
// folder the first time, and then in the folder the last report of this run went to.
class ReportSaver {
public:
    // What is saved: the dialog's title, its one file type, and whether the file opens once saved.
    struct Kind {
        const wchar_t* title;
        const wchar_t* typeName;   // "Web page (*.html)"
        const wchar_t* pattern;    // "*.html"
        const wchar_t* extension;  // "html"
        const wchar_t* noun;       // "report", in what a message says
        bool openSaved;
    };
    static const Kind report;  // the report, opened in the browser
    static const Kind csv;     // the export for invoicing, left for the program it goes into

    ReportSaver() = default;
    ReportSaver(const ReportSaver&) = delete;
    ReportSaver& operator=(const ReportSaver&) = delete;
    // Ends a save that is still going: see stop.
    ~ReportSaver();

    // Asks where to save `html`, offering `fileName`, in a dialog modal to `owner`; returns at
    // once. Nothing is done while an earlier save still goes on, or when no thread can be
    // started: the error says why.
    std::error_code start(HWND owner, const std::wstring& fileName, std::string html, const Kind& kind = report);
    // Whether a save goes on: its dialog or a message is open, or the report is being written.
    bool busy() const;
    // Closes the save's dialog or message, as Cancel would, and waits for its thread, at most a
    // few seconds; `owner` may be destroyed after.
    void stop();
    // The local day the last report was written on, once, after it was written; nullopt while
    // none was since the last call (cancelled, failed, or still being asked for).
    std::optional<DayNumber> takeSaved();

private:
    struct Job;
    // Takes what the finished save learnt.
    void collect();

    std::shared_ptr<Job> job_;
    std::thread thread_;
    std::wstring lastFolder_;  // where the last report of this run went; empty before the first
    std::optional<DayNumber> savedOn_;  // a save's day that collect took before takeSaved did
};
