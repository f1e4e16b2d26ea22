#pragma once

#include <windows.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "app/platform_session_win.h"
#include "overlay/base_win.h"
#include "process_harness.h"
#include "test_local_clock.h"

// SDL and GDI+ up, and a working folder holding a copy of the default skin, for tests of the
// overlay object in this process.
class OverlayTest : public ::testing::Test {
protected:
    using path = std::filesystem::path;

    void SetUp() override {
        SDL_SetMainReady();
        session = std::make_unique<PlatformSession>();
        folder = std::filesystem::temp_directory_path() / L"ardeno-overlay-test";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::copy(path(binaryFolder()) / L"data", folder / L"data", std::filesystem::copy_options::recursive);
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    }
    void TearDown() override {
        overlay.reset();  // its GDI+ objects go before GDI+ does
        session.reset();
        SetCurrentDirectoryW(binaryFolder().c_str());
        std::filesystem::remove_all(folder);
        windowFixed = false;
    }
    void writeSkin(const char* text) { std::ofstream(folder / L"data" / L"skin.cfg", std::ios::binary) << text; }
    std::wstring fontFamilyName() const {
        Gdiplus::FontFamily family;
        if (overlay->font->GetFamily(&family) != Gdiplus::Ok) return L"";
        WCHAR name[LF_FACESIZE] = {};
        family.GetFamilyName(name, LANG_NEUTRAL);
        return name;
    }

    // The overlay's day and hour, whatever the hour the test runs at.
    TestLocalClock clock{workingAfternoon()};
    std::unique_ptr<PlatformSession> session;
    std::unique_ptr<Base> overlay;
    path folder;
};

// The overlay with a script: a step runs before the update of its frame.
class ScriptedOverlay : public Base {
public:
    void update(std::uint32_t& elapsedMs) override {
        if (const auto step = script.find(frame); step != script.end()) step->second(*this);
        ++frame;
        Base::update(elapsedMs);
        if (frame > 300) closed = true;  // a script that never exits must not hang the suite
    }

    std::map<int, std::function<void(ScriptedOverlay&)>> script;
    int frame = 0;
};

// A program of its own, started from `exe` (a name the system finds, or a path) with `arguments`;
// ended when the test is done.
struct StandIn {
    explicit StandIn(const std::wstring& exe, const std::wstring& arguments = L"") {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            WaitForInputIdle(process.hProcess, 10000);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;
    ~StandIn() {
        end();
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    void end() const {
        if (!process.hProcess) return;
        TerminateProcess(process.hProcess, 0);
        WaitForSingleObject(process.hProcess, 10000);
    }

    PROCESS_INFORMATION process{};
};

template <class Found>
auto waitFor(Found found) {
    for (int i = 0; i < 100; ++i, Sleep(100))
        if (auto result = found()) return result;
    return decltype(found())();
}

// A real notepad, a program of its own to be the target.
struct Notepad : StandIn {
    Notepad() : StandIn(L"notepad.exe") {
        window = waitFor([this] {
            for (HWND w = FindWindowW(L"Notepad", nullptr); w; w = FindWindowExW(nullptr, w, L"Notepad", nullptr)) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == process.dwProcessId) return w;
            }
            return HWND{};
        });
    }
    HWND window = nullptr;
};
