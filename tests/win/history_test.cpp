// The work history under Windows: history.csv held open by a spreadsheet while the real overlay
// counts into it and exits, and the user's short date format as Windows reports it.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/main_loop.h"
#include "common/kernel_handle_win.h"
#include "common/local_clock_win.h"
#include "config/app_data_folder_win.h"
#include "config/config_file.h"
#include "history/date_order_win.h"
#include "history/history_journal.h"
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
        o.history.flush(readLocalMoment());  // as the history window does when it opens
        EXPECT_EQ(readBytes(history), earlier);
        const MenuEntry first = contextMenuEntries(o, readLocalMoment().day)[0];
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

}  // namespace
