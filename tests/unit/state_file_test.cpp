#include <gtest/gtest.h>

#include <filesystem>

#include "common/text.h"
#include "config/state_file.h"
#include "overlay/overlay_settings.h"
#include "overlay/target_programs.h"
#include "temp_folder.h"

namespace {

class StateFileTest : public ::testing::Test {
protected:
    void SetUp() override { windowFixed = false; }
    void TearDown() override { windowFixed = false; }

    std::filesystem::path stateFile() const { return folder.path() / "Ardeno Time" / "data.cfg"; }
    void writeState(const std::string& bytes) {
        std::filesystem::create_directories(stateFile().parent_path());
        writeBytes(stateFile(), bytes);
    }
    void load() { loadState(overlay, folder.path().wstring()); }

    // Loads and returns the error, failing the test when there is none.
    std::wstring loadError() {
        try {
            load();
        } catch (const SettingsError& error) {
            return error.message();
        } catch (const StartupError& error) {
            return error.message();
        }
        ADD_FAILURE() << "loadState raised nothing";
        return L"";
    }

    TempFolder folder;
    OverlayCore overlay;
};

TEST_F(StateFileTest, FirstRunCreatesTheFolderAndThe37ByteDefaultFileAndAppliesIt) {
    overlay.currentSeconds = 12;
    EXPECT_TRUE(loadState(overlay, folder.path().wstring())) << "a first start";
    EXPECT_FALSE(loadState(overlay, folder.path().wstring()));
    EXPECT_EQ(readBytes(stateFile()), "photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n");
    EXPECT_EQ(readBytes(stateFile()).size(), 37u);
    EXPECT_EQ(overlay.targetPrograms, std::vector<std::wstring>{L"photoshop.exe"});
    EXPECT_EQ(overlay.stopAfterSeconds, 1);
    EXPECT_FALSE(windowFixed);
    EXPECT_EQ(overlay.fixedX, 0);
    EXPECT_EQ(overlay.fixedY, 0);
    EXPECT_EQ(overlay.totalSeconds, 0);
    EXPECT_EQ(overlay.currentSeconds, 12);
    EXPECT_EQ(overlay.dataFile.lines.size(), 7u);
}

TEST_F(StateFileTest, ExistingFileIsAppliedAndNeverRewritten) {
    const std::string saved = "notepad.exe\n5\tseconds\n75\ntrue\tpinned\n-150\n40\n90061";
    writeState(saved);
    load();
    load();
    EXPECT_EQ(readBytes(stateFile()), saved);
    EXPECT_EQ(overlay.targetPrograms, std::vector<std::wstring>{L"notepad.exe"});
    EXPECT_EQ(overlay.stopAfterSeconds, 5);
    EXPECT_TRUE(windowFixed);
    EXPECT_EQ(overlay.fixedX, -150);
    EXPECT_EQ(overlay.fixedY, 40);
    EXPECT_EQ(overlay.totalSeconds, 90061);
    // Line 2 belongs to "Load recent time", not to loading.
    EXPECT_EQ(overlay.currentSeconds, 0);
}

TEST_F(StateFileTest, Line1HoldsTheProgramsInTheOrderChosen) {
    const struct {
        const char* line;
        std::vector<std::wstring> programs;
    } cases[] = {
        {"Photoshop.exe", {L"Photoshop.exe"}},
        {"photoshop.exe|clipstudiopaint.exe", {L"photoshop.exe", L"clipstudiopaint.exe"}},
        {"Blender.exe|a.exe|BLENDER.EXE|blender.exe", {L"Blender.exe", L"a.exe"}},  // the first spelling
        {"||a.exe|| b c.exe |\tremark", {L"a.exe", L"b c.exe"}},
        {" | |", {}},  // nothing counts
    };
    for (const auto& c : cases) {
        const std::string saved = std::string(c.line) + "\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n";
        writeState(saved);
        load();
        EXPECT_EQ(overlay.targetPrograms, c.programs) << c.line;
        EXPECT_EQ(readBytes(stateFile()), saved);
    }
    EXPECT_EQ(targetProgramsLine({L"Photoshop.exe"}), L"Photoshop.exe");
    const std::wstring eleven = L"1.exe|2.exe|3.exe|4.exe|5.exe|6.exe|7.exe|8.exe|9.exe|10.exe|11.exe";
    const std::vector<std::wstring> all = parseTargetPrograms(eleven);
    EXPECT_EQ(targetProgramsLine(all), eleven);
    EXPECT_EQ(chosenTarget(all, L"11.EXE"), &all[10]) << "all of them count";
}

TEST_F(StateFileTest, OnlyExactlyTrueBeforeAnyRemarkPinsTheWindow) {
    for (const char* pin : {"True", "TRUE", "1", " true", "true "}) {
        writeState(std::string("a.exe\n1\n0\n") + pin + "\n0\n0\n0\n");
        windowFixed = true;
        load();
        EXPECT_FALSE(windowFixed) << pin;
    }
    writeState("a.exe\n1\n0\ntrue\tpinned by hand\n0\n0\n0\n");
    load();
    EXPECT_TRUE(windowFixed);
}

TEST_F(StateFileTest, MissingLineNamesTheFileTheLineAndItsMeaningAndChangesNothing) {
    const std::string saved = "a.exe\n5\n0\ntrue\n1\n2\n";
    writeState(saved);
    const std::wstring message = loadError();
    EXPECT_NE(message.find(displayPath(stateFile().wstring())), std::wstring::npos) << message.c_str();
    EXPECT_NE(message.find(L"Line 7 (the all-time total in seconds) is missing: the file has only 6 lines"),
              std::wstring::npos);
    EXPECT_NE(message.find(L"Nothing was changed"), std::wstring::npos);
    EXPECT_EQ(readBytes(stateFile()), saved);
    // What came before the bad line was applied; nothing after it.
    EXPECT_EQ(overlay.fixedY, 2);
    EXPECT_EQ(overlay.totalSeconds, 0);

    // The first absent line is named, though line 2 is not applied and line 3 is asked for first.
    writeState("a.exe\n5\n");
    EXPECT_NE(loadError().find(L"Line 3 (the seconds counted in the previous run) is missing: the file has only 2 lines"),
              std::wstring::npos);
}

TEST_F(StateFileTest, NonNumberAndOutOfRangeNumberAreNamedWithTheirText) {
    writeState("a.exe\nfive\n0\nfalse\n0\n0\n0\n");
    EXPECT_NE(loadError().find(L"Line 2 (the idle time-out in seconds) does not start with a whole number: \"five\""),
              std::wstring::npos);
    writeState("a.exe\n1\n0\nfalse\n0\n0\n99999999999\n");
    EXPECT_NE(loadError().find(L"Line 7 (the all-time total in seconds) holds a number outside"),
              std::wstring::npos);
    EXPECT_EQ(readBytes(stateFile()), "a.exe\n1\n0\nfalse\n0\n0\n99999999999\n");

    // A message box would end the text at the NUL, before the advice.
    writeState(std::string("a.exe\n1\n0\nfalse\n0\n0\n\xff\xfe\x00\x01\n", 25));
    const std::wstring message = loadError();
    EXPECT_NE(message.find(L"number: \"\u00FF\u00FE\uFFFD\uFFFD\""), std::wstring::npos) << toUtf8(message);
    EXPECT_EQ(message.find(L'\0'), std::wstring::npos);
    EXPECT_NE(message.find(L"Nothing was changed"), std::wstring::npos);
}

TEST_F(StateFileTest, FolderInPlaceOfTheFileCountsAsExistingAndIsReportedUnreadable) {
    std::filesystem::create_directories(stateFile());
    EXPECT_NE(loadError().find(L"Line 1 (the executable file name of the program to track) is missing: the file is "
                               L"empty or could not be read"),
              std::wstring::npos);
    EXPECT_TRUE(std::filesystem::is_directory(stateFile()));
}

TEST_F(StateFileTest, FileThatCannotBeCreatedIsReportedInsteadOfLoadingNothing) {
    // The common folder is a file here, so nothing can be created beneath it.
    writeBytes(folder.path() / "not-a-folder", "x");
    try {
        loadState(overlay, (folder.path() / "not-a-folder").wstring());
        ADD_FAILURE() << "no error";
    } catch (const StartupError& error) {
        EXPECT_NE(error.message().find(L"cannot create its state file"), std::wstring::npos);
    }
}

}  // namespace
