// Billing in the history window under Windows: rates set through the Rates and budgets dialog,
// then the report and the export saved through Windows' save dialog, their amounts checked.
#include <windows.h>

#include <string>

#include "common/list_separator_win.h"
#include "common/number_marks_win.h"
#include "common/text.h"
#include "history/history_controls_win.h"
#include "history/history_window_win.h"
#include "history_window_helpers.h"
#include "temp_folder.h"
#include "test_local_clock.h"

namespace {

namespace fs = std::filesystem;

// Dispatches this thread's messages, as the program's main loop does, and lets the window take
// what its dialogs left, until `done` holds.
template <class Done>
bool pumpUntil(HistoryWindow& window, Done done, DWORD milliseconds = 15000) {
    for (const DWORD end = GetTickCount() + milliseconds;; Sleep(10)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        window.update(readLocalMoment().day);
        if (done()) return true;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    }
}

// The amount column of an export, in cents.
std::int64_t exportedCents(const std::string& csv, char separator, char decimal) {
    std::int64_t cents = 0;
    std::size_t start = csv.find("\r\n") + 2;  // after the heading
    for (std::size_t end; (end = csv.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = csv.substr(start, end - start);
        const std::string amount = line.substr(line.rfind(separator) + 1);
        if (amount.empty()) continue;
        const std::size_t mark = amount.find(decimal);
        cents += std::stoll(amount.substr(0, mark)) * 100 + std::stoll(amount.substr(mark + 1));
    }
    return cents;
}

TEST(BillingWindowTest, RatesSetInTheDialogPriceTheReportAndTheExportAlike) {
    TempFolder temp;
    const std::wstring documents = temp.file(L"Documents");
    fs::create_directories(documents);
    // The report opens with a command that records it; the host's browser is never reached.
    const RecordedReports reports(documents, temp.file(L"opened.txt"), L"ardeno.billingtest");
    ASSERT_TRUE(reports.ready());

    const TestLocalClock clock(workingAfternoon());
    const LocalMoment now = clock.now;
    const std::wstring historyPath = temp.file(L"history.csv");
    // Acme in two spellings and two programs, 1:00:01 in all: five quarters billed; Globex
    // exactly an hour and a half; a minute of no project, which has no rate.
    writeBytes(historyPath, "date,program,seconds,project\r\n" + toUtf8(isoDate(now.day)) +
                                ",photoshop.exe,3000,Acme\r\n" + toUtf8(isoDate(now.day)) +
                                ",illustrator.exe,601,acme\r\n" + toUtf8(isoDate(now.day - 1)) +
                                ",word.exe,5400,Globex\r\n" + toUtf8(isoDate(now.day)) + ",notepad.exe,60,\r\n");
    WorkHistory history;
    history.open(historyPath, now);
    NotSharing sharing;
    HistoryWindow window;
    window.show(history, sharing);
    ASSERT_TRUE(window.isOpen());
    const HWND shown = window.handle();
    ASSERT_TRUE(pumpUntil(window, [&] { return window.shownRange().last == now.day; }));

    // The dialog on a thread of its own lists Acme once, Globex and No project.
    PostMessageW(shown, WM_COMMAND, MAKEWPARAM(HistoryControls::ratesId, BN_CLICKED), 0);
    HWND dialog = nullptr;
    // Shown once its controls are made.
    ASSERT_TRUE(pumpUntil(window, [&] {
        dialog = FindWindowW(L"ArdenoTimeRates", RatesDialog::title);
        return dialog && IsWindowVisible(dialog);
    }));
    EXPECT_NE(GetWindowThreadProcessId(dialog, nullptr), GetCurrentThreadId());
    // No taskbar button: owned, by a hidden window of the dialog's thread rather than the history
    // window's, whose input would then wait on the dialog's.
    const HWND owner = GetWindow(dialog, GW_OWNER);
    ASSERT_TRUE(owner);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(GetWindowThreadProcessId(owner, nullptr), GetWindowThreadProcessId(dialog, nullptr));
    EXPECT_FALSE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    const HWND list = GetDlgItem(dialog, 102);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    wchar_t first[128] = {};
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_EQ(std::wstring(first), L"Acme\t\t");
    SetWindowTextW(GetDlgItem(dialog, 100), L"EUR");
    SendMessageW(GetDlgItem(dialog, 101), CB_SETCURSEL, 2, 0);  // up to 15 minutes
    const auto edit = [&](int line, const wchar_t* rate, const wchar_t* budget) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(102, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        SetWindowTextW(GetDlgItem(dialog, 103), rate);
        SetWindowTextW(GetDlgItem(dialog, 104), budget);
    };
    edit(0, L"80", L"1");
    edit(1, L"65,50", L"");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    const fs::path rates = fs::path(temp.path()) / "rates.cfg";
    ASSERT_TRUE(pumpUntil(window, [&] { return fs::exists(rates); }));
    EXPECT_EQ(readBytes(rates), "EUR\r\n15\r\n80\t1\tAcme\r\n65.5\t\tGlobex\r\n");

    // The export: Acme 1.25 h at 80 is 100.00, Globex 1.5 h at 65.50 is 98.25.
    const NumberMarks marks = userNumberMarks();
    const CsvForm form = spreadsheetCsv(userListSeparator());
    const auto saveThrough = [&](int id, const wchar_t* title, const std::wstring& name) {
        HWND box = nullptr;
        for (int i = 0; i < 10 && !box; ++i) {
            PostMessageW(shown, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
            pumpUntil(window, [&] { return (box = ownedWindow(shown, title)) != nullptr; }, 1000);
        }
        if (!box) return false;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return pumpUntil(window, [&] { return fs::exists(fs::path(documents) / name); });
    };
    std::wstring exportName = reportFileName(window.shownRange());
    exportName = exportName.substr(0, exportName.size() - 5) + L" invoice lines.csv";
    ASSERT_TRUE(saveThrough(HistoryControls::exportId, L"Export CSV", exportName));
    const std::string csv = readBytes(fs::path(documents) / exportName);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" "date", 0), 0u);
    EXPECT_EQ(exportedCents(csv, form.separator, static_cast<char>(marks.decimal[0])), 19825);
    const std::string sep(1, form.separator), dec = toUtf8(marks.decimal);
    EXPECT_NE(csv.find(toUtf8(isoDate(now.day)) + sep + "Acme" + sep), std::string::npos) << csv;
    EXPECT_NE(csv.find(sep + "1" + dec + "2500" + sep + "80" + dec + "00" + sep + "100" + dec + "00\r\n"),
              std::string::npos)
        << csv;

    // The report: the same total, and Acme past its budget of an hour.
    const std::wstring reportName = reportFileName(window.shownRange());
    ASSERT_TRUE(saveThrough(HistoryControls::saveId, L"Save report", reportName));
    const std::string page = readBytes(fs::path(documents) / reportName);
    EXPECT_NE(page.find("amount <strong>198" + dec + "25 EUR</strong>"), std::string::npos);
    EXPECT_NE(page.find("<tr class=\"project over\">"), std::string::npos);
    EXPECT_NE(page.find("rounded up to 15 minutes"), std::string::npos);
    PostMessageW(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil(window, [&] { return !window.isOpen(); }, 2000));
}

}  // namespace
