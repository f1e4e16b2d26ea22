// The real program, started as a process of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include "process_harness.h"

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
    EXPECT_NE(FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
    FreeLibrary(image);
}

}  // namespace
