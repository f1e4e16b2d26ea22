#include <gtest/gtest.h>

#include "config/skin_file.h"
#include "overlay/overlay_core.h"
#include "overlay/overlay_settings.h"
#include "temp_folder.h"

namespace {

class SkinFileTest : public ::testing::Test {
protected:
    ConfigFile skin(const std::string& bytes) {
        writeBytes(folder.path() / "skin.cfg", bytes);
        ConfigFile file;
        file.load(folder.file(L"skin.cfg"));
        return file;
    }
    TempFolder folder;
    OverlayCore overlay;
};

TEST_F(SkinFileTest, ValuesGoToTheTextCentreColourAndFontSize) {
    const ConfigFile file = skin("100\n100\n48\n255\n255\n255\n");
    applySkinLayout(file, overlay);
    EXPECT_EQ(overlay.textCenter.x, 100);
    EXPECT_EQ(overlay.textCenter.y, 100);
    EXPECT_EQ(overlay.textColor[0], 255);
    EXPECT_EQ(overlay.textColor[1], 255);
    EXPECT_EQ(overlay.textColor[2], 255);
    EXPECT_FLOAT_EQ(skinFontSize(file), 48.0f);
}

TEST_F(SkinFileTest, RemarksChangeNothingAndColourBytesKeepTheirLowEightBits) {
    const ConfigFile file = skin("90\tx\r\n-5\ty\r\n24.5\tsize\r\n256\ta\r\n300\tr\r\n-1\tg\r\n");
    applySkinLayout(file, overlay);
    EXPECT_EQ(overlay.textCenter.x, 90);
    EXPECT_EQ(overlay.textCenter.y, -5);
    EXPECT_EQ(overlay.textColor[0], 0);
    EXPECT_EQ(overlay.textColor[1], 44);
    EXPECT_EQ(overlay.textColor[2], 255);
    EXPECT_FLOAT_EQ(skinFontSize(file), 24.5f);
}

TEST_F(SkinFileTest, SizeMayCarryUnitsButMustStartWithANumber) {
    EXPECT_FLOAT_EQ(skinFontSize(skin("0\n0\n24px\n")), 24.0f);
    try {
        skinFontSize(skin("0\n0\npx\n"));
        ADD_FAILURE() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_EQ(error.index(), 2);
        EXPECT_NE(error.message().find(L"Line 3 (the font size in pixels) does not start with a number: \"px\""),
                  std::wstring::npos);
    }
}

TEST_F(SkinFileTest, FiveLineSkinFailsOnTheSixthAfterStoringWhatCameBefore) {
    try {
        applySkinLayout(skin("70\n80\n28\n200\n100\n"), overlay);
        ADD_FAILURE() << "no error";
    } catch (const SettingsError& error) {
        EXPECT_EQ(error.index(), 5);
        EXPECT_NE(error.message().find(L"skin layout file"), std::wstring::npos);
        EXPECT_NE(error.message().find(L"Line 6 (the green of the text colour) is missing: the file has only 5 lines"),
                  std::wstring::npos);
    }
    EXPECT_EQ(overlay.textCenter.x, 70);
    EXPECT_EQ(overlay.textCenter.y, 80);
    EXPECT_EQ(overlay.textColor[0], 200);
    EXPECT_EQ(overlay.textColor[1], 100);
    EXPECT_EQ(overlay.textColor[2], 0);
}

TEST(HitTest, AnswersFromThePinFlagAtEveryCall) {
    windowFixed = false;
    EXPECT_EQ(hitTest(nullptr, nullptr, nullptr), SDL_HITTEST_DRAGGABLE);
    windowFixed = true;
    EXPECT_EQ(hitTest(nullptr, nullptr, nullptr), SDL_HITTEST_NORMAL);
    windowFixed = false;
    EXPECT_EQ(hitTest(nullptr, nullptr, nullptr), SDL_HITTEST_DRAGGABLE);
}

}  // namespace
