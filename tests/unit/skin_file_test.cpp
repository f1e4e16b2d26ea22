#include <gtest/gtest.h>

#include "common/text.h"
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

// Lines 7 to 10 place the project's name; a skin may leave any of them out (or empty), and a
// skin of six lines shows it under the time.
TEST_F(SkinFileTest, ProjectLinesAreOptionalAndASixLineSkinPutsTheNameUnderTheTime) {
    const std::string six = "90\r\n80\r\n28\r\n255\r\n255\r\n255\r\n";
    const struct {
        std::string extra;
        float x, y, size, width;
    } cases[] = {
        {"", 90, 108, 12, 180},
        {"\r\n", 90, 108, 12, 180},  // a blank line at the end of an old file
        {"100\r\n130\r\n11.5\r\n156\tremark\r\n", 100, 130, 11.5f, 156},
        {"\t\r\n  \r\n14px\r\n", 90, 108, 14, 180},
        {"100\r\n130\r\n12\r\n0\r\n", 100, 130, 12, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extra);
        applySkinLayout(skin(six + c.extra), overlay);
        const OverlayCore::ProjectPlace& place = overlay.projectPlace;
        EXPECT_EQ(std::vector<float>({place.x, place.y, place.size, place.width}),
                  std::vector<float>({c.x, c.y, c.size, c.width}));
        EXPECT_EQ(overlay.textCenter.y, 80);
    }
    for (const char* bad : {"100\r\nlow\r\n", "1\r\n1\r\nnan\r\n"}) {
        try {
            applySkinLayout(skin(six + bad), overlay);
            ADD_FAILURE() << "no error";
        } catch (const SettingsError& error) {
            EXPECT_EQ(error.index(), bad[1] == '0' ? 7 : 8);
            EXPECT_NE(error.message().find(bad[1] == '0' ? L"Line 8 (the y of the project name's centre) does not "
                                                           L"start with a number: \"low\""
                                                         : L"Line 9 (the project name's font size in pixels) holds a "
                                                           L"number too large or too small: \"nan\""),
                      std::wstring::npos)
                << toUtf8(error.message());
        }
    }
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
