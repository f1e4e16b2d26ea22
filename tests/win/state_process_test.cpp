// The real program against the real common application-data folder of the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "config/app_data_folder_win.h"
#include "config/shared_folder_win.h"
#include "process_harness.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    std::wstring message;  // empty when the program started normally
    DWORD exitCode = STILL_ACTIVE;
};

class ProgramStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(commonAppDataFolder()) / L"Ardeno Time";
        fs::remove_all(folder);
        workingFolder = fs::temp_directory_path() / L"ardeno-skin";
        fs::remove_all(workingFolder);
        fs::create_directories(workingFolder);
        fs::copy(fs::path(binaryFolder()) / L"data", workingFolder / L"data", fs::copy_options::recursive);
    }
    void TearDown() override {
        fs::remove_all(folder);
        fs::remove_all(workingFolder);
    }

    fs::path stateFile() const { return folder / L"data.cfg"; }
    void writeState(const std::string& bytes) {
        fs::create_directories(folder);
        writeBytes(stateFile(), bytes);
    }

    // Starts the program, waits for it to run its main loop and closes its window.
    DWORD runAndClose() {
        OverlayProcess program(workingFolder.wstring());
        EXPECT_TRUE(program.started());
        const HWND window = program.waitForWindow(L"SDL_app", L"Ardeno Time", 20000);
        EXPECT_NE(window, nullptr);
        // The window exists before the state is loaded; a close posted early still waits in
        // the queue until the loop runs, so loading always completes first.
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        if (HWND dialog = program.waitForWindow(L"#32770", L"Ardeno Time", 500)) {
            ADD_FAILURE() << "unexpected message: " << messageBoxText(dialog).c_str();
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
        return program.waitForExit(15000);
    }

    // Starts the program, expecting it to stop with a message; dismisses it.
    Outcome runExpectingMessage() {
        OverlayProcess program(workingFolder.wstring());
        EXPECT_TRUE(program.started());
        Outcome outcome;
        if (HWND dialog = program.waitForWindow(L"#32770", L"Ardeno Time", 20000)) {
            outcome.message = messageBoxText(dialog);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        }
        outcome.exitCode = program.waitForExit(15000);
        return outcome;
    }

    std::wstring expectedPath() const { return stateFile().lexically_normal().make_preferred().wstring(); }

    fs::path folder;
    fs::path workingFolder;
};

TEST_F(ProgramStateTest, FirstRunWritesTheDefaultFileAndALaterRunChangesOnlyThePreviousRunsCount) {
    EXPECT_EQ(runAndClose(), 0u);
    EXPECT_EQ(readBytes(stateFile()), "photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n0\r\n");

    // Closing stores the run's count (nothing counted: 0) in line 3; remarks and values stay.
    writeBytes(stateFile(), "notepad.exe\n30\tseconds idle\n75\ntrue\n300\n150\n90061\n");
    EXPECT_EQ(runAndClose(), 0u);
    EXPECT_EQ(readBytes(stateFile()), "notepad.exe\r\n30\tseconds idle\r\n0\r\ntrue\r\n300\r\n150\r\n90061\r\n");
}

TEST_F(ProgramStateTest, MissingLineStopsWithAMessageNamingFileLineAndMeaning) {
    const std::string saved = "photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n";
    writeState(saved);
    const Outcome outcome = runExpectingMessage();
    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_NE(outcome.message.find(expectedPath()), std::wstring::npos) << outcome.message.c_str();
    EXPECT_NE(outcome.message.find(L"Line 7 (the all-time total in seconds) is missing"), std::wstring::npos);
    EXPECT_NE(outcome.message.find(L"Nothing was changed"), std::wstring::npos);
    EXPECT_EQ(readBytes(stateFile()), saved);
}

TEST_F(ProgramStateTest, NonNumberStopsWithAMessageAndTheTotalIsKept) {
    const std::string saved = "photoshop.exe\r\nten\r\n0\r\nfalse\r\n0\r\n0\r\n123456\r\n";
    writeState(saved);
    const Outcome outcome = runExpectingMessage();
    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_NE(outcome.message.find(L"Line 2 (the idle time-out in seconds) does not start with a whole number: \"ten\""),
              std::wstring::npos)
        << outcome.message.c_str();
    EXPECT_EQ(readBytes(stateFile()), saved);
}

TEST_F(ProgramStateTest, FolderInPlaceOfTheFileStopsWithAMessage) {
    fs::create_directories(stateFile());
    const Outcome outcome = runExpectingMessage();
    EXPECT_EQ(outcome.exitCode, 1u);
    EXPECT_NE(outcome.message.find(expectedPath()), std::wstring::npos) << outcome.message.c_str();
    EXPECT_NE(outcome.message.find(L"Line 1 (the executable file name of the program to track) is missing"),
              std::wstring::npos);
    EXPECT_TRUE(fs::is_directory(stateFile()));
}

TEST_F(ProgramStateTest, BrokenSkinStopsWithAMessageNamingTheSkinFile) {
    writeBytes(workingFolder / L"data" / L"skin.cfg", "100\n100\n28\n255\n255\n");
    const Outcome outcome = runExpectingMessage();
    EXPECT_EQ(outcome.exitCode, 1u);
    const std::wstring skinPath = (workingFolder / L"data" / L"skin.cfg").lexically_normal().make_preferred().wstring();
    EXPECT_NE(outcome.message.find(skinPath), std::wstring::npos) << outcome.message.c_str();
    EXPECT_NE(outcome.message.find(L"Line 6 (the green of the text colour) is missing"), std::wstring::npos);
}

// Wine keeps no folder security of its own, so the descriptor the folder is created with is
// what can be checked.
TEST(StateFolderSecurity, EveryUserMayReplaceFilesWhichInheritItAndTheParentsEntriesDoNotApply) {
    SharedFolderSecurity security;
    ASSERT_NE(security.attributes(), nullptr);
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(GetSecurityDescriptorControl(security.descriptor(), &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(security.descriptor(), &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    const struct {
        WELL_KNOWN_SID_TYPE who;
        ACCESS_MASK rights;
    } expected[] = {{WinLocalSystemSid, FILE_ALL_ACCESS},
                    {WinBuiltinAdministratorsSid, FILE_ALL_ACCESS},
                    {WinBuiltinUsersSid, FILE_GENERIC_READ | FILE_GENERIC_WRITE | FILE_GENERIC_EXECUTE | DELETE}};
    ASSERT_EQ(dacl->AceCount, std::size(expected));
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        SCOPED_TRACE(i);
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE);
        EXPECT_EQ(ace->Mask, expected[i].rights);
        BYTE sid[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof sid;
        ASSERT_TRUE(CreateWellKnownSid(expected[i].who, nullptr, sid, &size));
        EXPECT_TRUE(EqualSid(&ace->SidStart, sid));
    }
}

}  // namespace
