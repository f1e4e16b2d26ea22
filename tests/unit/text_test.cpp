#include <gtest/gtest.h>

#include "common/startup_error.h"
#include "common/text.h"

namespace {

TEST(Utf8, RoundTripsEveryPlaneIncludingSurrogatePairsOnWindows) {
    const std::wstring text = L"a\u00e9\u0416\u6642\U0001F600z";
    const std::string bytes = toUtf8(text);
    EXPECT_EQ(bytes, "a\xC3\xA9\xD0\x96\xE6\x99\x82\xF0\x9F\x98\x80z");
    EXPECT_EQ(fromUtf8(bytes), text);
    EXPECT_EQ(decodeUtf8Strict(bytes), text);
}

TEST(Utf8, StrictDecodingRejectsWhatIsNotWellFormed) {
    for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3", "\xE6\x99",
                            "\x80", "ab\xFF", "\xC3\x28"}) {
        EXPECT_FALSE(decodeUtf8Strict(bad).has_value()) << bad;
    }
    EXPECT_EQ(decodeUtf8Strict(""), std::wstring());
}

TEST(Utf8, LenientDecodingReplacesBadBytesAndKeepsTheRest) {
    EXPECT_EQ(fromUtf8("a\xFF" "b\xC3"), L"a\uFFFDb\uFFFD");
}

// A file a person edits may be part UTF-8 and part ANSI: a spreadsheet's ANSI save of a UTF-8
// file keeps the bytes of the names it showed garbled and writes the typed ones in cp1252.
TEST(FileText, EachLineIsUtf8WhenItIsElseInTheAnsiCodePage) {
    const struct {
        const char* name;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"UTF-8 lines keep their names beside a cp1252 line", "\xC3\x9C" "berarbeitung\r\nCaf\xE9 \x96 Entwurf\r\nM\xC3\xBCller\n",
         L"\u00dcberarbeitung\r\nCaf\u00e9 \u2013 Entwurf\r\nM\u00fcller\n"},
        {"a byte-order mark at the start only", "\xEF\xBB\xBF" "a\n\xEF\xBB\xBF" "b", L"a\n\uFEFFb"},
        {"the last line without its end", "x\n\x80 5", L"x\n\u20AC 5"},
        {"a lead byte without its trail: the line is cp1252", "\xC3" "x\n\xC3\xA9", L"\u00c3x\n\u00e9"},
        {"the bytes cp1252 leaves undefined", "\x81\x8D\x8F\x90\x9D!", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD!"},
        {"nothing", "", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeFileText(c.bytes), c.text) << c.name;

    // Every byte from 0x80 to 0x9F on a cp1252 line of its own, each after a UTF-8 line: never a
    // control character (Latin-1 would give U+0080 to U+009F).
    const std::wstring cp1252 = L"\u20AC\uFFFD\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152"
                                L"\uFFFD\u017D\uFFFD\uFFFD\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122"
                                L"\u0161\u203A\u0153\uFFFD\u017E\u0178";
    std::string bytes;
    std::wstring expected;
    for (int byte = 0x80; byte < 0xA0; ++byte) {
        bytes += "\xC3\xA4\r\n" + std::string(1, static_cast<char>(byte)) + "\r\n";
        expected += L"\u00e4\r\n" + std::wstring(1, cp1252[static_cast<std::size_t>(byte - 0x80)]) + L"\r\n";
    }
    EXPECT_EQ(decodeFileText(bytes), expected);
}

TEST(StartupErrorText, CarriesTheLibraryDetailAndDescribesForeignExceptions) {
    const StartupError withDetail(L"The window could not be created.", "No available video device");
    EXPECT_EQ(describeException(withDetail), L"The window could not be created.\n\nNo available video device");
    EXPECT_EQ(std::string(withDetail.what()), "The window could not be created.\n\nNo available video device");
    const std::wstring other = describeException(std::out_of_range("invalid vector subscript"));
    EXPECT_NE(other.find(L"invalid vector subscript"), std::wstring::npos);
}

}  // namespace

// A program's name is matched as Windows matches file names: the default "photoshop.exe" is the
// file Adobe ships as Photoshop.exe.
TEST(FileNames, MatchAsWindowsComparesThemOrdinalIgnoringCase) {
    const struct {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    } cases[] = {
        {L"photoshop.exe", L"Photoshop.exe", true},
        {L"photoshop.exe", L"PHOTOSHOP.EXE", true},
        {L"photoshop.exe", L"photoshop.exe", true},
        {L"photoshop.exe", L"photoshop.exe ", false},
        {L"photoshop.exe", L"photoshop.ex", false},
        {L"photoshop.exe", L"photoshop_exe", false},
        {L"", L"", true},
        {L"", L"notepad.exe", false},
#ifdef _WIN32
        {L"\u00c4rdeno.exe", L"\u00e4RDENO.EXE", true},  // Windows folds beyond ASCII too
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.a) + " / " + toUtf8(c.b));
        EXPECT_EQ(sameFileName(c.a, c.b), c.same);
        EXPECT_EQ(sameFileName(c.b, c.a), c.same);
    }
}

// The project's name on the overlay, measured here at ten units a character.
TEST(ShortenToFit, ALongTextEndsInAnEllipsisWithinTheWidthWithoutSplittingACharacter) {
    const auto measure = [](const std::wstring& text) { return 10.0f * static_cast<float>(text.size()); };
    const std::wstring wide = fromUtf8("\xF0\x9F\x8E\xA8");  // two UTF-16 units on Windows
    const struct {
        std::wstring text;
        float width;
        std::wstring shown;
    } cases[] = {
        {L"Acme logo", 90, L"Acme logo"},
        {L"Acme logo", 89, L"Acme lo\u2026"},
        {L"Acme logo", 60, L"Acme\u2026"},  // the space before the ellipsis goes
        {L"Acme logo", 25, L"A\u2026"},
        {L"Acme logo", 5, L"\u2026"},
        {L"", 0, L""},
        {L"a" + wide + wide, 10.0f * (1 + wide.size()), L"a\u2026"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.text) + " in " + std::to_string(c.width));
        EXPECT_EQ(shortenToFit(c.text, c.width, measure), c.shown);
    }
}
