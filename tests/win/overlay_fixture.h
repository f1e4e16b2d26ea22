#pragma once

#include <windows.h>

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "app/platform_session_win.h"
#include "overlay/base_win.h"
#include "process_harness.h"

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

    std::unique_ptr<PlatformSession> session;
    std::unique_ptr<Base> overlay;
    path folder;
};

