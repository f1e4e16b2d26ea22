// The real program, started as a process of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "common/kernel_handle_win.h"
#include "config/app_data_folder_win.h"
#include "process_harness.h"
#include "temp_folder.h"

namespace {

TEST(OverlayProgram, StartsItsWindowAndEndsWithCodeZeroWhenTheWindowIsClosed) {
    OverlayProcess program(binaryFolder());
    ASSERT_TRUE(program.started()) << "CreateProcess failed: " << GetLastError();
    const HWND window = program.waitForWindow(nullptr, L"Ardeno Time", 15000);
    ASSERT_NE(window, nullptr) << "no window titled Ardeno Time appeared";
    ASSERT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    EXPECT_EQ(program.waitForExit(10000), 0u);
}

TEST(OverlayProgram, ManifestAsksForTheInvokersRightsWithoutUiAccessAndAnIconIsEmbedded) {
    const std::wstring exe = binaryFolder() + L"\\ArdenoTime.exe";
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(manifest, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, manifest)));
    const std::string text(bytes, SizeofResource(image, manifest));
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos) << text;
    EXPECT_NE(text.find("uiAccess=\"false\""), std::string::npos) << text;
    EXPECT_NE(text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos) << text;
    EXPECT_NE(text.find(">true/pm</dpiAware>"), std::string::npos) << text;
    EXPECT_NE(FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
    FreeLibrary(image);
}

// Started again to find an overlay put away from the notification-area icon: the running copy
// shows it, and the second start ends without a word and without touching the state file.
TEST(OverlayProgram, ASecondStartShowsTheFirstCopysHiddenOverlayAndEndsQuietly) {
    const std::filesystem::path folder = std::filesystem::path(commonAppDataFolder()) / L"Ardeno Time";
    std::filesystem::create_directories(folder);
    writeBytes(folder / L"overlay.cfg", "run\r\nhidden=on\r\n");
    OverlayProcess first(binaryFolder());
    const HWND overlay = first.waitForWindow(L"SDL_app", L"Ardeno Time", 15000);
    ASSERT_NE(overlay, nullptr);
    const std::filesystem::path state = folder / L"data.cfg";
    for (int i = 0; i < 100 && !std::filesystem::exists(state); ++i) Sleep(50);
    const std::string before = readBytes(state);
    ASSERT_FALSE(before.empty());
    // Hidden once the icon is there to bring it back.
    for (int i = 0; i < 100 && IsWindowVisible(overlay); ++i) Sleep(50);
    ASSERT_FALSE(IsWindowVisible(overlay));

    OverlayProcess second(binaryFolder());
    EXPECT_EQ(second.waitForExit(10000), 0u);
    EXPECT_EQ(second.waitForWindow(L"#32770", L"Ardeno Time", 0), nullptr);
    for (int i = 0; i < 100 && !IsWindowVisible(overlay); ++i) Sleep(50);
    EXPECT_TRUE(IsWindowVisible(overlay));
    EXPECT_EQ(readBytes(state), before);
    EXPECT_NE(readBytes(folder / L"overlay.cfg").find("hidden=off\r\n"), std::string::npos);
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.waitForExit(10000), 0u);
    std::filesystem::remove(folder / L"overlay.cfg");
}

// A copy of an earlier version counts (its marks, without the request to show): a second start
// says so. When that copy ends while the message is still open, the next start runs.
TEST(OverlayProgram, ASecondStartBesideAnEarlierVersionSaysTheFirstIsRunning) {
    std::optional<KernelHandle> mark(CreateMutexW(nullptr, FALSE, L"Global\\ArdenoTime.StateFile.Owner"));
    std::optional<KernelHandle> session(CreateMutexW(nullptr, FALSE, L"Local\\ArdenoTime.Session.Owner"));
    ASSERT_TRUE(*mark && *session);

    OverlayProcess second(binaryFolder());
    const HWND dialog = second.waitForWindow(L"#32770", L"Ardeno Time", 15000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(messageBoxText(dialog).find(L"Ardeno Time is already running."), std::wstring::npos);
    EXPECT_EQ(second.waitForWindow(L"SDL_app", L"Ardeno Time", 200), nullptr) << "the second copy made an overlay";

    mark.reset();
    session.reset();
    OverlayProcess third(binaryFolder());
    const HWND overlay = third.waitForWindow(L"SDL_app", L"Ardeno Time", 15000);
    EXPECT_NE(overlay, nullptr) << "the open message kept the program from starting";
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.waitForExit(10000), 0u);
    PostMessageW(overlay, WM_CLOSE, 0, 0);
    EXPECT_EQ(third.waitForExit(10000), 0u);
}

// Another account counts on this PC (fast user switching): its copy holds the machine's mark, not
// this session's. Every sign-in here starts a copy, which has nothing to say to anybody; a copy
// started by hand says where the counting goes on.
TEST(OverlayProgram, ACopyCountingInAnotherAccountsSessionEndsASignInQuietlyAndIsNamedToAPerson) {
    const KernelHandle mark(CreateMutexW(nullptr, FALSE, L"Global\\ArdenoTime.StateFile.Owner"));
    ASSERT_TRUE(mark);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

    OverlayProcess atSignIn(binaryFolder(), L"/sign-in");
    EXPECT_EQ(atSignIn.waitForExit(15000), 0u) << "a message kept the copy started at sign-in open";

    OverlayProcess byHand(binaryFolder());
    const HWND dialog = byHand.waitForWindow(L"#32770", L"Ardeno Time", 15000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(messageBoxText(dialog).find(L"Ardeno Time is counting in another account's session on this PC."),
              std::wstring::npos)
        << messageBoxText(dialog).c_str();
    EXPECT_EQ(byHand.waitForWindow(L"SDL_app", L"Ardeno Time", 200), nullptr) << "it made an overlay";
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(byHand.waitForExit(10000), 0u);
}

}  // namespace
