// The work history under Windows: history.csv held open by a spreadsheet while the real overlay
// counts into it and exits, and the user's short date format as Windows reports it.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>

#include "app/main_loop.h"
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

// The overlay with keys typed into notepad for its first frames; checks run at chosen frames.
class TypedOverlay : public Base {
public:
    void update(std::uint32_t& elapsedMs) override {
        INPUT keys[2]{};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = 'A';
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        if (frame < typingFrames && frame % 6 == 0) SendInput(2, keys, sizeof(INPUT));
        if (const auto step = script.find(frame); step != script.end()) step->second(*this);
        ++frame;
        Base::update(elapsedMs);
        if (frame > 600) closed = true;  // a script that never exits must not hang the suite
    }

    int typingFrames = 0;
    std::map<int, std::function<void(TypedOverlay&)>> script;
    int frame = 0;
};

class HeldHistoryTest : public OverlayTest {
protected:
    void SetUp() override {
        OverlayTest::SetUp();
        stateFolder = path(commonAppDataFolder()) / L"Ardeno Time";
        fs::remove_all(stateFolder);
        fs::create_directories(stateFolder);
        writeBytes(stateFolder / L"data.cfg", "notepad.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n1000\r\n");
        writeBytes(historyFile(), earlier);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        wchar_t commandLine[] = L"notepad.exe";
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &notepad));
        WaitForInputIdle(notepad.hProcess, 10000);
        for (int i = 0; i < 100 && !notepadWindow; ++i, Sleep(100)) {
            for (HWND w = FindWindowW(L"Notepad", nullptr); w; w = FindWindowExW(nullptr, w, L"Notepad", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == notepad.dwProcessId) notepadWindow = w;
            }
        }
        ASSERT_NE(notepadWindow, nullptr);
    }
    void TearDown() override {
        release();
        if (notepad.hProcess) {
            TerminateProcess(notepad.hProcess, 0);
            WaitForSingleObject(notepad.hProcess, 10000);
            CloseHandle(notepad.hThread);
            CloseHandle(notepad.hProcess);
        }
        OverlayTest::TearDown();
        fs::remove_all(stateFolder);
    }

    path historyFile() const { return stateFolder / L"history.csv"; }
    std::int32_t total() const { return std::stoi(parseLines(readBytes(stateFolder / L"data.cfg"))[6]); }
    // As a spreadsheet holds the file it opened: reading and writing, and letting others only read.
    void holdAsASpreadsheetDoes() {
        held = CreateFileW(historyFile().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE) << GetLastError();
    }
    void release() {
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
    }
    // Runs the overlay until Exit, then shuts it down as the program does.
    void runUntilExit(TypedOverlay& overlay) {
        overlay.init();
        SetForegroundWindow(notepadWindow);
        std::vector<Window*> windows{&overlay};
        FPSmanager limiter{};
        runMainLoop(windows, limiter);
        quitWindows(windows);
    }

    const std::string earlier = "date,program,seconds\r\n2026-01-05,notepad.exe,100\r\n";
    path stateFolder;
    PROCESS_INFORMATION notepad{};
    HWND notepadWindow = nullptr;
    HANDLE held = INVALID_HANDLE_VALUE;
};

TEST_F(HeldHistoryTest, SecondsCountedWhileASpreadsheetHoldsTheFileReachItOnceItIsClosed) {
    holdAsASpreadsheetDoes();
    auto typed = std::make_unique<TypedOverlay>();
    typed->typingFrames = 120;  // 4 s of typing, then the 1 s time-out ends the spell
    typed->script[200] = [&](TypedOverlay& o) {
        EXPECT_GE(o.currentSeconds, 2);
        EXPECT_EQ(readBytes(historyFile()), earlier) << "the held file is not replaced";
        EXPECT_TRUE(o.history.hasWaitingSeconds());
        EXPECT_FALSE(o.frameContent().saveFailed) << "no red mark: the journal keeps the seconds";
        const std::vector<MenuEntry> menu = contextMenuEntries(o, readLocalMoment().day);
        EXPECT_TRUE(menu[0].disabled);
        EXPECT_EQ(menu[0].text,
                  L"history.csv is open in another program; the new seconds are kept and written when it is closed");
        PostMessageW(o.hwnd, WM_COMMAND, exitCommand, 0);
    };
    runUntilExit(*typed);
    const std::int32_t counted = typed->currentSeconds;
    EXPECT_EQ(total(), 1000 + counted);
    EXPECT_EQ(readBytes(historyFile()), earlier) << "still held at Exit";
    EXPECT_EQ(secondsIn(*keptHistory(historyFile().wstring())), 100 + counted) << "the journal has them";
    typed.reset();

    // Closed in the spreadsheet; the next start puts them into the file.
    release();
    overlay = std::make_unique<Base>();
    overlay->init();
    EXPECT_EQ(secondsIn(parseHistoryText(readBytes(historyFile())).rows), 100 + counted);
    EXPECT_FALSE(fs::exists(journalPathFor(historyFile().wstring())));
    EXPECT_EQ(contextMenuEntries(*overlay, readLocalMoment().day)[0].text.rfind(L"Total work time", 0), 0u);
}

TEST_F(HeldHistoryTest, AFileClosedBeforeExitGetsEverySecondAtExit) {
    holdAsASpreadsheetDoes();
    auto typed = std::make_unique<TypedOverlay>();
    typed->typingFrames = 90;
    typed->script[150] = [&](TypedOverlay& o) {
        EXPECT_TRUE(o.history.hasWaitingSeconds());
        release();
        PostMessageW(o.hwnd, WM_COMMAND, exitCommand, 0);
    };
    runUntilExit(*typed);
    EXPECT_GE(typed->currentSeconds, 1);
    EXPECT_EQ(secondsIn(parseHistoryText(readBytes(historyFile())).rows), 100 + typed->currentSeconds);
    EXPECT_FALSE(fs::exists(journalPathFor(historyFile().wstring())));
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
