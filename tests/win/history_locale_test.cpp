// history.csv on a German Windows (ctest runs these with LC_ALL=de_DE.UTF-8): the form a new
// file takes, a spreadsheet's ANSI save read back, an earlier version's files at the first
// start, and a history.csv held for a moment, with the code page's own conversions as
// MultiByteToWideChar and WideCharToMultiByte make them.
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/ansi_code_page.h"
#include "common/kernel_handle_win.h"
#include "common/list_separator_win.h"
#include "common/text.h"
#include "config/app_data_folder_win.h"
#include "history/history_journal.h"
#include "overlay/context_menu.h"
#include "overlay_fixture.h"
#include "sharing/share_settings.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

const std::string mark = "\xEF\xBB\xBF";

// The table the portable build reads cp1252 with is Windows' own, but for the five bytes that
// Windows maps to the C1 control characters of their value, which no name holds.
TEST(AnsiCodePage, TheCp1252TableIsWhatWindowsGivesAndTheBytesItLeavesUndefinedAreNoControls) {
    std::string everyByte;
    std::wstring expected;
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        wchar_t windows = 0;
        ASSERT_EQ(MultiByteToWideChar(1252, 0, &c, 1, &windows, 1), 1);
        const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
        EXPECT_EQ(windows >= 0x80 && windows <= 0x9F, undefined) << byte;
        EXPECT_EQ(cp1252Character(static_cast<unsigned char>(byte)), undefined ? L'\uFFFD' : windows) << byte;
        everyByte += c;
        expected += undefined ? L'\uFFFD' : windows;
    }
    if (GetACP() == 1252) {  // a Western locale: the system's decoding, with the same result
        EXPECT_EQ(decodeAnsi(everyByte), expected);
    }
}

bool german() {
    const char* locale = std::getenv("LC_ALL");
    return locale && std::string(locale).rfind("de_DE", 0) == 0;
}

std::wstring wide(UINT page, const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string narrow(UINT page, const std::wstring& text) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()),
                                                              bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

// A spreadsheet's save: a new file in place of the old one.
void saveInPlace(const fs::path& file, const std::string& bytes) {
    writeBytes(file.wstring() + L".saving", bytes);
    ASSERT_TRUE(MoveFileExW((file.wstring() + L".saving").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING));
}

class GermanHistory : public OverlayTest {
protected:
    void SetUp() override {
        if (!german()) GTEST_SKIP() << "for LC_ALL=de_DE.UTF-8";
        OverlayTest::SetUp();
        fs::remove_all(stateFolder);
        fs::create_directories(stateFolder);
        writeBytes(stateFolder / L"data.cfg", "notepad.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n1000\r\n");
    }
    void TearDown() override {
        if (!german()) return;
        OverlayTest::TearDown();
        fs::remove_all(stateFolder);
    }
    void start() {
        overlay = std::make_unique<Base>();
        overlay->init();
    }
    const path stateFolder = path(commonAppDataFolder()) / L"Ardeno Time";
    const path history = stateFolder / L"history.csv";
    const std::wstring today = isoDate(clock.now.day);
};

TEST_F(GermanHistory, ANewFileOpensWithSemicolonsAndTheMarkAndASpreadsheetsAnsiSaveIsReadBackWithEveryName) {
    EXPECT_EQ(userListSeparator(), L";");
    start();
    EXPECT_EQ(readBytes(history), mark + "date;program;seconds;project\r\n");
    overlay->history.record(L"notepad.exe", L"\u00dcberarbeitung", 30, clock.now);
    overlay->history.flush(clock.now);
    const std::string written = readBytes(history);
    EXPECT_EQ(written, mark + "date;program;seconds;project\r\n" + toUtf8(today) + ";notepad.exe;30;\xC3\x9C" "berarbeitung\r\n");

    // A person adds a row in Excel and saves as "CSV (delimiter-separated)", in the ANSI code
    // page. Excel read the file as UTF-8 (it has the mark) or, as it was without one, in the
    // ANSI code page: then the UTF-8 bytes of the name came through unchanged beside the
    // typed row's cp1252 bytes.
    const std::wstring typed = L"10.03.2026;notepad.exe;20;Caf\u00e9 \u2013 Entwurf\r\n";
    const struct {
        const char* name;
        std::wstring shown;  // the file as the spreadsheet showed it
    } reads[] = {
        {"read as UTF-8", wide(CP_UTF8, written.substr(3))},
        {"read in the ANSI code page, as a file without the mark", wide(CP_ACP, written.substr(3))},
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.name);
        saveInPlace(history, narrow(CP_ACP, read.shown + typed));
        overlay->history.flush(clock.now);
        EXPECT_EQ(overlay->history.notice, L"") << "nothing set aside";
        EXPECT_EQ(projectSecondsOnDay(overlay->history.rows(), clock.now.day, L"\u00dcberarbeitung"), 30)
            << "the name still matches its project";
        EXPECT_EQ(projectSecondsOnDay(overlay->history.rows(), clock.now.day, L"Caf\u00e9 \u2013 Entwurf"), 20);
        EXPECT_EQ(readBytes(history), written + toUtf8(today) + ";notepad.exe;20;Caf\xC3\xA9 \xE2\x80\x93 Entwurf\r\n")
            << "written back in UTF-8 with the mark";
        saveInPlace(history, written);
        overlay->history.flush(clock.now);
    }
}

// An earlier version left a comma file without the mark and a journal (killed while counting);
// the first start in German keeps the commas, adds the mark and the journal's seconds.
TEST_F(GermanHistory, AnEarlierVersionsFileAndJournalReadAsBeforeAtTheFirstStartAndKeepTheirCommas) {
    const std::string earlier = "date,program,seconds,project\r\n2026-03-09,notepad.exe,100,\r\n";
    writeBytes(history, earlier);
    const ContentMark found = contentMark(earlier);
    char base[48];
    std::snprintf(base, sizeof base, "base,%lld,%016llx\r\n", static_cast<long long>(found.size),
                  static_cast<unsigned long long>(found.hash));
    writeBytes(journalPathFor(history.wstring()), std::string("Ardeno Time: seconds not yet in history.csv\r\n") +
                                                       base + "date,program,seconds,project\r\n" + toUtf8(today) +
                                                       ",notepad.exe,12,\xC3\x9C" "berarbeitung\r\n");
    start();
    EXPECT_EQ(readBytes(history), mark + earlier + toUtf8(today) + ",notepad.exe,12,\xC3\x9C" "berarbeitung\r\n");
    EXPECT_FALSE(fs::exists(journalPathFor(history.wstring())));
    EXPECT_EQ(overlay->history.notice, L"");
}

// history.csv held without sharing at the start, as a virus scanner may: it stays, the plate's
// mark and the menu say why, this PC's shared file is not written from a history not read, and
// a second later everything is read and written, the seconds counted meanwhile too.
TEST_F(GermanHistory, AHistoryHeldAtTheStartIsReadASecondLaterAndNeverHandedOnBefore) {
    const std::string held = mark + "date;program;seconds;project\r\n2026-03-09;notepad.exe;100;\r\n";
    writeBytes(history, held);
    const TempFolder shared;
    writeBytes(shareSettingsPath(stateFolder.wstring()), toUtf8(shared.path().wstring()) + "\r\n");
    KernelHandle exclusive(
        CreateFileW(history.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(exclusive) << GetLastError();
    start();
    EXPECT_FALSE(overlay->history.readWhole());
    EXPECT_TRUE(overlay->frameContent().saveFailed) << "the plate's mark";
    const std::wstring first = contextMenuEntries(*overlay, clock.now.day)[0].text;
    EXPECT_EQ(first.rfind(L"history.csv cannot be read now (", 0), 0u) << toUtf8(first);
    overlay->history.record(L"notepad.exe", L"", 7, clock.now);
    overlay->sharing.settle(3000);
    for (const auto& entry : fs::directory_iterator(shared.path()))
        EXPECT_NE(entry.path().extension(), L".csv") << "nothing handed to sharing: " << entry.path();

    exclusive.reset();
    clock.now.secondOfDay += 1;
    overlay->history.writeWhenDue(clock.now);
    EXPECT_TRUE(overlay->history.readWhole());
    EXPECT_FALSE(overlay->frameContent().saveFailed);
    EXPECT_EQ(readBytes(history), held + toUtf8(today) + ";notepad.exe;7;\r\n");
    for (const auto& entry : fs::directory_iterator(stateFolder))
        EXPECT_EQ(entry.path().filename().wstring().find(L"unreadable"), std::wstring::npos) << entry.path();
    overlay->sharing.settle(3000);
    int sharedFiles = 0;
    for (const auto& entry : fs::directory_iterator(shared.path())) sharedFiles += entry.path().extension() == L".csv";
    EXPECT_EQ(sharedFiles, 1) << "handed on once read";
}

}  // namespace
