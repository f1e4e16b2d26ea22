// The work history under Windows: history.csv held open by a spreadsheet while the real overlay
// counts into it and exits, the user's short date format as Windows reports it, and the history
// window's ranges and reports with Windows' own save dialog.
#include <windows.h>

#include <shlwapi.h>

#include <cstdlib>
#include <string>

#include "app/main_loop.h"
#include "common/kernel_handle_win.h"
#include "common/text.h"
#include "config/app_data_folder_win.h"
#include "config/config_file.h"
#include "config/file_system.h"
#include "history/date_order_win.h"
#include "history/history_journal.h"
#include "history/history_controls_win.h"
#include "history/history_window_win.h"
#include "history_window_helpers.h"
#include "overlay/context_menu.h"
#include "overlay_fixture.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

std::int64_t secondsIn(const std::vector<HistoryRow>& rows) {
    std::int64_t sum = 0;
    for (const HistoryRow& row : rows) sum += row.seconds;
    return sum;
}

// History.csv held as a spreadsheet holds the file it opened (reading and writing, letting
// others only read) while the overlay counts and exits; closed, it gets every second at the
// next start.
TEST_F(OverlayTest, SecondsCountedWhileASpreadsheetHoldsHistoryCsvReachItOnceItIsClosed) {
    const path stateFolder = path(commonAppDataFolder()) / L"Ardeno Time";
    const path history = stateFolder / L"history.csv";
    const std::string earlier = "date,program,seconds\r\n2026-01-05,notepad.exe,100\r\n";
    fs::remove_all(stateFolder);
    fs::create_directories(stateFolder);
    writeBytes(stateFolder / L"data.cfg", "notepad.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n1000\r\n");
    writeBytes(history, earlier);
    const Notepad notepad;
    ASSERT_NE(notepad.window, nullptr);
    KernelHandle held(CreateFileW(history.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held) << GetLastError();

    ScriptedOverlay typed;
    INPUT keys[2]{};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = 'A';
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    for (int frame = 0; frame < 120; frame += 6)  // 4 s, then the spell ends
        typed.script[frame] = [&](ScriptedOverlay&) { SendInput(2, keys, sizeof(INPUT)); };
    typed.script[200] = [&](ScriptedOverlay& o) {
        EXPECT_GE(o.currentSeconds, 2);
        EXPECT_EQ(readBytes(history), earlier) << "the held file is not replaced";
        EXPECT_FALSE(o.frameContent().saveFailed) << "no red mark: the journal keeps the seconds";
        o.history.flush(clock.now);  // as the history window does when it opens
        EXPECT_EQ(readBytes(history), earlier);
        const MenuEntry first = contextMenuEntries(o, clock.now.day)[0];
        EXPECT_TRUE(first.disabled);
        EXPECT_EQ(first.text,
                  L"history.csv is open in another program; the new seconds are kept and written when it is closed");
        PostMessageW(o.hwnd, WM_COMMAND, exitCommand, 0);
    };
    typed.init();
    SetForegroundWindow(notepad.window);
    for (int i = 0; i < 50 && GetForegroundWindow() != notepad.window; ++i) Sleep(100);  // Wine takes a while
    std::vector<Window*> windows{&typed};
    FPSmanager limiter{};
    runMainLoop(windows, limiter);
    quitWindows(windows);
    const std::int32_t counted = typed.currentSeconds;
    EXPECT_EQ(parseLines(readBytes(stateFolder / L"data.cfg"))[6], std::to_wstring(1000 + counted));
    EXPECT_EQ(readBytes(history), earlier) << "still held at Exit";
    EXPECT_EQ(secondsIn(*keptHistory(history.wstring())), 100 + counted) << "the journal has them";

    held.reset();  // closed in the spreadsheet
    overlay = std::make_unique<Base>();
    overlay->init();
    EXPECT_EQ(secondsIn(parseHistoryText(readBytes(history)).rows), 100 + counted);
    EXPECT_FALSE(fs::exists(journalPathFor(history.wstring())));
    overlay.reset();
    fs::remove_all(stateFolder);
}

// Wine takes the user's locale from the Unix locale variables (here, with no Unix locales
// installed, from LC_ALL only); ctest runs this once for each of three locales.
TEST(UserDateOrder, IsTheOrderOfTheShortDateFormatOfTheUsersLocale) {
    const char* set = std::getenv("LC_ALL");
    const std::string locale = set && *set ? set : "C";
    DateOrder expected;
    if (locale == "C" || locale.rfind("en_US", 0) == 0) expected = DateOrder::monthFirst;
    else if (locale.rfind("en_GB", 0) == 0 || locale.rfind("de_DE", 0) == 0) expected = DateOrder::dayFirst;
    else GTEST_SKIP() << "no known order for " << locale;
    EXPECT_EQ(userDateOrder(), expected) << locale;
}

// Dispatches this thread's messages, as the program's main loop does, until `done` holds;
// counts the turns it took.
template <class Done>
bool pumpUntil(Done done, int* turns = nullptr, DWORD milliseconds = 15000) {
    for (const DWORD end = GetTickCount() + milliseconds;; Sleep(10)) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) return true;
        if (turns) ++*turns;
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
    }
}

std::wstring textsOf(HWND window) {
    std::wstring texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM all) -> BOOL {
            wchar_t text[512] = {};
            GetWindowTextW(child, text, 512);
            *reinterpret_cast<std::wstring*>(all) += std::wstring(text) + L"|";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

void press(WORD key, bool shift = false) {
    INPUT keys[4]{};
    int n = 0;
    const auto add = [&](WORD vk, DWORD flags) {
        keys[n].type = INPUT_KEYBOARD;
        keys[n].ki.wVk = vk;
        keys[n++].ki.dwFlags = flags;
    };
    if (shift) add(VK_SHIFT, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (shift) add(VK_SHIFT, KEYEVENTF_KEYUP);
    SendInput(n, keys, sizeof(INPUT));
}

// The window over literal rows: ranges chosen with the keyboard, and reports saved through
// Windows' own save dialog, first into Documents (this test's own folder, as Windows relocates
// it), then where the last one went, while this thread (the program's main loop) runs on. The
// .html files open with a command that records them; the host's browser is never reached.
TEST(HistoryWindowTest, RangesChosenWithKeysAndReportsSavedThroughWindowsDialog) {
    TempFolder temp;
    const std::wstring documents = temp.file(L"Documents"), elsewhere = temp.file(L"elsewhere");
    fs::create_directories(documents);
    fs::create_directories(elsewhere);
    const std::wstring opened = temp.file(L"opened.txt");
    const RecordedReports reports(documents, opened, L"ardeno.reporttest");
    ASSERT_TRUE(reports.ready()) << "without the recording command, a report would open in the host's browser";

    const TestLocalClock clock(workingAfternoon());
    const LocalMoment now = clock.now;
    const CivilDate date = civilDate(now.day);
    const DayNumber lastMonth = now.day - date.day;  // its last day
    const std::wstring historyPath = temp.file(L"history.csv");
    writeBytes(historyPath, "date,program,seconds,project\r\n" + toUtf8(isoDate(lastMonth)) +
                                ",photoshop.exe,5400,<b>&\"x\"\r\n" + toUtf8(isoDate(now.day)) + ",notepad.exe,60,\r\n");
    WorkHistory history;
    history.open(historyPath, now);
    NotSharing sharing;
    HistoryWindow window;
    window.show(history, sharing);
    ASSERT_TRUE(window.isOpen());
    const HWND shown = window.handle();
    ASSERT_TRUE(pumpUntil([&] { return window.shownRange().kind == ReportRangeKind::last14Days; }));
    EXPECT_EQ(window.shownRange().last, now.day) << "Last 14 days, as before, at first";

    // The list has the focus: Down goes to the next range, and four more to Last month.
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == shown; }));
    press(VK_DOWN);
    EXPECT_TRUE(pumpUntil([&] { return window.shownRange().kind == ReportRangeKind::thisWeek; }));
    for (int i = 0; i < 3; ++i) press(VK_DOWN);
    ASSERT_TRUE(pumpUntil([&] { return window.shownRange().kind == ReportRangeKind::lastMonth; }));
    EXPECT_EQ(window.shownRange().last, lastMonth);
    const std::wstring name = reportFileName(window.shownRange());

    // Tab reaches "Save report...", and Enter presses it: the dialog opens in Documents with
    // the report's name, on a thread of its own, while this thread's loop goes on.
    press(VK_TAB);
    wchar_t focusText[64] = {};
    ASSERT_TRUE(pumpUntil([&] { return GetWindowTextW(GetFocus(), focusText, 64) && focusText == std::wstring(L"Save report..."); }));
    press(VK_RETURN);
    HWND dialog = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (dialog = ownedWindow(shown, L"Save report")) != nullptr; }));
    EXPECT_NE(GetWindowThreadProcessId(dialog, nullptr), GetCurrentThreadId());
    int turns = 0;
    pumpUntil([] { return false; }, &turns, 500);
    EXPECT_GE(turns, 20) << "the main loop runs while the dialog is open";
    EXPECT_NE(textsOf(dialog).find(name), std::wstring::npos) << "the report's name is offered";
    const auto save = [&](HWND box, const std::wstring& typed) {
        if (!typed.empty()) SetWindowTextW(FindWindowExW(box, nullptr, L"Edit", nullptr), typed.c_str());
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    };
    save(dialog, L"");
    const fs::path first = fs::path(documents) / name;
    ASSERT_TRUE(pumpUntil([&] { return readBytes(opened).find(first.string()) != std::string::npos; }))
        << "saved in Documents, then opened";
    const std::string page = readBytes(first);
    EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
    EXPECT_NE(page.find(toUtf8(L"Last month: " + reportDatesText(window.shownRange()))), std::string::npos);
    EXPECT_NE(page.find("&lt;b&gt;&amp;&quot;x&quot;"), std::string::npos) << "a project's name as typed";

    // Saved elsewhere under a name of the person's own; the next dialog opens there. A click
    // while the last save's thread is still ending does nothing, so it is made again.
    const auto clickSave = [&] {
        dialog = nullptr;
        for (int i = 0; i < 10 && !dialog; ++i) {
            PostMessageW(shown, WM_COMMAND, MAKEWPARAM(HistoryControls::saveId, BN_CLICKED), 0);
            pumpUntil([&] { return (dialog = ownedWindow(shown, L"Save report")) != nullptr; }, nullptr, 1000);
        }
        return dialog != nullptr;
    };
    ASSERT_TRUE(clickSave());
    save(dialog, (fs::path(elsewhere) / L"mine.html").wstring());
    ASSERT_TRUE(pumpUntil([&] { return readBytes(opened).find("mine.html") != std::string::npos; }));
    ASSERT_TRUE(clickSave());
    save(dialog, L"");
    EXPECT_TRUE(pumpUntil([&] { return fs::exists(fs::path(elsewhere) / name); })) << "where the last one went";

    // A report that cannot be written: the message names the file and the system's reason,
    // and nothing is opened.
    fs::create_directories(fs::path(elsewhere) / L"blocked.html.new");
    ASSERT_TRUE(clickSave());
    save(dialog, L"blocked.html");
    HWND message = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (message = ownedWindow(shown, L"Ardeno Time")) != nullptr; }));
    const std::wstring said = textsOf(message);
    EXPECT_NE(said.find(L"Ardeno Time cannot save the report as:\n" + (fs::path(elsewhere) / L"blocked.html").wstring() +
                        L"\n\n" + systemReason(std::error_code(ERROR_ACCESS_DENIED, std::system_category())) + L"."),
              std::wstring::npos)
        << std::string(said.begin(), said.end());
    PostMessageW(message, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(message); }));
    EXPECT_EQ(readBytes(opened).find("blocked"), std::string::npos);

    // Closed with the dialog open, the window closes it too, at once.
    ASSERT_TRUE(clickSave());
    PostMessageW(shown, WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([&] { return !window.isOpen() && !IsWindow(dialog); }, nullptr, 2000));
}

}  // namespace

// Sharing's question (corrected history, or a copy of another PC?) is asked in the window, once
// each time it opens while one waits, and again when a new one comes.
TEST(HistoryWindowTest, AsksSharingsQuestionOnceEachTimeItOpens) {
    TempFolder temp;
    const TestLocalClock clock(workingAfternoon());
    const LocalMoment now = clock.now;
    WorkHistory history;
    history.open(temp.file(L"history.csv"), now);
    NotSharing sharing;
    sharing.waiting = sharing.answerWith = 7;  // put off
    HistoryWindow window;
    const auto frames = [&](int count) {
        for (int i = 0; i < count; ++i) {
            window.update(now.day);
            pumpUntil([] { return true; });
        }
    };
    window.show(history, sharing);
    frames(20);
    ASSERT_EQ(sharing.asked.size(), 1u);
    EXPECT_EQ(sharing.asked[0], window.handle()) << "modal to the window";
    PostMessageW(window.handle(), WM_CLOSE, 0, 0);
    frames(5);
    ASSERT_FALSE(window.isOpen());
    window.show(history, sharing);
    frames(20);
    EXPECT_EQ(sharing.asked.size(), 2u) << "asked again at the next opening";
    sharing.waiting = sharing.answerWith = 8;
    frames(20);
    EXPECT_EQ(sharing.asked.size(), 3u) << "a new question is asked at once";
    sharing.answerWith = 0;
    sharing.waiting = 9;
    frames(20);
    EXPECT_EQ(sharing.asked.size(), 4u);
    frames(20);
    EXPECT_EQ(sharing.asked.size(), 4u) << "answered: nothing more to ask";
    PostMessageW(window.handle(), WM_CLOSE, 0, 0);
    frames(5);
}
