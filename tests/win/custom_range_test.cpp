// The history window's Custom... and Since the last report under Windows: the dialog of two date
// pickers on its own thread, its days across a year's end, Cancel, and a saved export moving where
// Since the last report starts, in lastreport.cfg beside the history.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "config/report_mark.h"
#include "history/history_controls_win.h"
#include "history/history_window_win.h"
#include "history_window_helpers.h"
#include "temp_folder.h"
#include "test_local_clock.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }

SYSTEMTIME systemTime(DayNumber d) {
    const CivilDate date = civilDate(d);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    return time;
}

DayNumber pickedDay(HWND picker) {
    SYSTEMTIME time{};
    SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    return dayNumber({time.wYear, time.wMonth, time.wDay}).value_or(-1);
}

class CustomRangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        history.open(folder.file(L"history.csv"), clock.now);
        history.record(L"photoshop.exe", L"Acme", 600, clock.now);
        window.show(history, sharing);
        ASSERT_TRUE(window.isOpen());
        shown = window.handle();
        list = FindWindowExW(shown, nullptr, L"ComboBox", nullptr);
        ASSERT_TRUE(list);
    }

    // The program's main loop: messages, then the window's frame.
    template <class Done>
    bool loopUntil(Done done, DWORD milliseconds = 15000) {
        for (const DWORD end = GetTickCount() + milliseconds;; Sleep(10)) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            window.update(clock.now.day);
            if (done()) return true;
            if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        }
    }

    // As a person choosing in the list: the selection moves, and the list tells the window.
    void choose(ReportRangeKind kind) {
        const auto at = std::find(std::begin(reportRangeKinds), std::end(reportRangeKinds), kind);
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(at - std::begin(reportRangeKinds)), 0);
        SendMessageW(shown, WM_COMMAND, MAKEWPARAM(HistoryControls::rangeId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }

    HWND openedDialog() {
        HWND dialog = nullptr;
        loopUntil([&] { return (dialog = FindWindowW(L"ArdenoTimeCustomRange", L"Custom range")) != nullptr &&
                               IsWindowVisible(dialog); });
        return dialog;
    }

    ReportRangeKind listed() const { return reportRangeKinds[SendMessageW(list, CB_GETCURSEL, 0, 0)]; }

    TempFolder folder;
    TestLocalClock clock{{day(2027, 1, 14), 14 * 3600}};  // a Thursday
    WorkHistory history;
    NotSharing sharing;
    HistoryWindow window;
    HWND shown = nullptr;
    HWND list = nullptr;
};

TEST_F(CustomRangeTest, DaysPickedAcrossAYearsEndAndCancelKeepsTheRange) {
    ASSERT_TRUE(loopUntil([&] { return window.shownRange().kind == ReportRangeKind::last14Days; }));
    choose(ReportRangeKind::custom);
    const HWND dialog = openedDialog();
    ASSERT_TRUE(dialog);
    EXPECT_NE(GetWindowThreadProcessId(dialog, nullptr), GetCurrentThreadId()) << "the counting goes on meanwhile";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), shown);
    const HWND from = GetDlgItem(dialog, CustomRangeDialog::fromId), to = GetDlgItem(dialog, CustomRangeDialog::toId);
    ASSERT_TRUE(from && to);
    EXPECT_EQ(pickedDay(from), day(2027, 1, 1)) << "the days shown until now";
    EXPECT_EQ(pickedDay(to), day(2027, 1, 14));
    EXPECT_EQ(window.shownRange().kind, ReportRangeKind::last14Days) << "nothing changes before OK";

    // Picked the wrong way round, across the year's end.
    SYSTEMTIME first = systemTime(day(2027, 1, 2)), last = systemTime(day(2026, 12, 30));
    SendMessageW(from, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&first));
    SendMessageW(to, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&last));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(loopUntil([&] { return window.shownRange().kind == ReportRangeKind::custom; }));
    EXPECT_EQ(window.shownRange().first, day(2026, 12, 30));
    EXPECT_EQ(window.shownRange().last, day(2027, 1, 2));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(listed(), ReportRangeKind::custom);

    // Another range, then Custom... and Cancel: that range stays, in the list too; the dialog
    // offers the days picked last.
    choose(ReportRangeKind::lastWeek);
    ASSERT_TRUE(loopUntil([&] { return window.shownRange().kind == ReportRangeKind::lastWeek; }));
    choose(ReportRangeKind::custom);
    const HWND again = openedDialog();
    ASSERT_TRUE(again);
    EXPECT_EQ(pickedDay(GetDlgItem(again, CustomRangeDialog::fromId)), day(2026, 12, 30));
    PostMessageW(again, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(loopUntil([&] { return !IsWindow(again) && listed() == ReportRangeKind::lastWeek; }));
    EXPECT_EQ(window.shownRange().kind, ReportRangeKind::lastWeek);

    // Closing the window closes an open dialog with it.
    choose(ReportRangeKind::custom);
    const HWND open = openedDialog();
    ASSERT_TRUE(open);
    PostMessageW(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(loopUntil([&] { return !window.isOpen() && !IsWindow(open); }, 3000));
}

TEST_F(CustomRangeTest, SinceTheLastReportFollowsTheSavesThatSucceeded) {
    choose(ReportRangeKind::sinceLastReport);
    ASSERT_TRUE(loopUntil([&] { return window.shownRange().kind == ReportRangeKind::sinceLastReport; }));
    EXPECT_EQ(window.shownRange().first, day(2027, 1, 14)) << "none yet: all time, today's work alone";

    // An export of This month saved on the 5th: from the 5th, in the file beside history.csv.
    window.noteRangeBilled({ReportRangeKind::thisMonth, day(2027, 1, 1), day(2027, 1, 31)}, day(2027, 1, 5));
    EXPECT_TRUE(loopUntil([&] { return window.shownRange().first == day(2027, 1, 5); }));
    EXPECT_EQ(readBytes(folder.file(L"lastreport.cfg")), "2027-01-01\r\n2027-01-31\r\n2027-01-05\r\n");
    // Last month saved later does not move it back.
    window.noteRangeBilled({ReportRangeKind::lastMonth, day(2026, 12, 1), day(2026, 12, 31)}, day(2027, 1, 10));
    loopUntil([] { return false; }, 200);
    EXPECT_EQ(window.shownRange().first, day(2027, 1, 5));
    EXPECT_EQ(readBytes(folder.file(L"lastreport.cfg")), "2027-01-01\r\n2027-01-31\r\n2027-01-05\r\n");
    window.noteRangeBilled(window.shownRange(), day(2027, 1, 14));
    EXPECT_TRUE(loopUntil([&] { return window.shownRange().first == day(2027, 1, 14); }));

    // The next opening reads the mark from the file.
    PostMessageW(shown, WM_CLOSE, 0, 0);
    ASSERT_TRUE(loopUntil([&] { return !window.isOpen(); }));
    writeBytes(folder.file(L"lastreport.cfg"), "2026-11-01\n2026-11-30\n2026-12-02\n");
    window.show(history, sharing);
    ASSERT_TRUE(window.isOpen());
    EXPECT_TRUE(loopUntil([&] { return window.shownRange().first == day(2026, 12, 1); }));
}

// Through Windows' save dialog: a cancelled save and one that fails leave the mark; the one that
// is written moves it. Documents is this test's own folder, and .html files open with a command
// that records them, so that the host's browser is never reached.
TEST_F(CustomRangeTest, OnlyAReportThatWasSavedMovesTheMark) {
    const std::wstring documents = folder.file(L"Documents"), opened = folder.file(L"opened.txt");
    std::filesystem::create_directories(documents);
    const RecordedReports reports(documents, opened, L"ardeno.rangetest");
    ASSERT_TRUE(reports.ready()) << "without the recording command, a report would open in the host's browser";

    const std::wstring markFile = folder.file(L"lastreport.cfg");
    choose(ReportRangeKind::thisMonth);
    ASSERT_TRUE(loopUntil([&] { return window.shownRange().kind == ReportRangeKind::thisMonth; }));
    const auto saveDialog = [&] {
        HWND dialog = nullptr;
        // A click while the last save's thread is still ending does nothing, so it is made again.
        for (int i = 0; i < 10 && !dialog; ++i) {
            PostMessageW(shown, WM_COMMAND, MAKEWPARAM(HistoryControls::saveId, BN_CLICKED), 0);
            loopUntil([&] {
                for (HWND w = FindWindowW(L"#32770", L"Save report"); w && !dialog;
                     w = FindWindowExW(nullptr, w, L"#32770", L"Save report"))
                    if (GetWindow(w, GW_OWNER) == shown && IsWindowVisible(w)) dialog = w;
                return dialog != nullptr;
            }, 1000);
        }
        return dialog;
    };
    const auto saveAs = [&](HWND dialog, const std::wstring& path) {
        SetWindowTextW(FindWindowExW(dialog, nullptr, L"Edit", nullptr), path.c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    };

    HWND dialog = saveDialog();
    ASSERT_TRUE(dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(loopUntil([&] { return !IsWindow(dialog); }));
    loopUntil([] { return false; }, 300);
    EXPECT_FALSE(std::filesystem::exists(markFile)) << "cancelled";

    std::filesystem::create_directories(std::filesystem::path(documents) / L"blocked.html.new");
    dialog = saveDialog();
    ASSERT_TRUE(dialog);
    saveAs(dialog, (std::filesystem::path(documents) / L"blocked.html").wstring());
    HWND message = nullptr;
    ASSERT_TRUE(loopUntil([&] {
        message = FindWindowW(L"#32770", L"Ardeno Time");
        return message && GetWindow(message, GW_OWNER) == shown;
    }));
    PostMessageW(message, WM_CLOSE, 0, 0);
    ASSERT_TRUE(loopUntil([&] { return !IsWindow(message); }));
    loopUntil([] { return false; }, 300);
    EXPECT_FALSE(std::filesystem::exists(markFile)) << "not written";

    dialog = saveDialog();
    ASSERT_TRUE(dialog);
    saveAs(dialog, (std::filesystem::path(documents) / L"january.html").wstring());
    ASSERT_TRUE(loopUntil([&] { return std::filesystem::exists(markFile); }));
    EXPECT_EQ(readBytes(markFile), "2027-01-01\r\n2027-01-31\r\n2027-01-14\r\n") << "saved on the 14th";
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(documents) / L"january.html"));
    choose(ReportRangeKind::sinceLastReport);
    EXPECT_TRUE(loopUntil([&] {
        return window.shownRange().kind == ReportRangeKind::sinceLastReport &&
               window.shownRange().first == day(2027, 1, 14);
    }));
}

}  // namespace
