#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <stdexcept>

#include "common/text.h"
#include "config/config_file.h"
#include "config/projects_file.h"
#include "temp_folder.h"

namespace {

using Lines = std::vector<std::wstring>;

// Expects `call` to throw exactly `Error` with the text `what`.
template <class Error, class Call>
void expectError(Call call, const char* what) {
    try {
        call();
        ADD_FAILURE() << "no error; expected " << what;
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), what);
    } catch (const std::exception& other) {
        ADD_FAILURE() << "wrong error: " << other.what() << "; expected " << what;
    }
}

class ConfigFileTest : public ::testing::Test {
protected:
    ConfigFile loaded(const std::string& bytes) {
        writeBytes(folder.path() / "file.cfg", bytes);
        ConfigFile file;
        file.load(folder.file(L"file.cfg"));
        return file;
    }
    std::string onDisk() const { return readBytes(folder.path() / "file.cfg"); }

    TempFolder folder;
};

TEST_F(ConfigFileTest, LineEndsSplitLinesAndOnlyACrBeforeLfBelongsToTheLineEnd) {
    EXPECT_EQ(loaded("a\nb").lines, (Lines{L"a", L"b"}));
    EXPECT_EQ(loaded("a\nb\n").lines, (Lines{L"a", L"b"}));
    EXPECT_EQ(loaded("a\n\nb\n").lines, (Lines{L"a", L"", L"b"}));
    EXPECT_EQ(loaded("").lines, Lines{});
    EXPECT_EQ(loaded("a\r\nb\r\n").lines, (Lines{L"a", L"b"}));
    EXPECT_EQ(loaded("a\r\r\nb\rc\n\r").lines, (Lines{L"a\r", L"b\rc", L"\r"}));
    EXPECT_EQ(loaded("\n").lines, Lines{L""});
}

TEST_F(ConfigFileTest, RemarkAfterTabIsHiddenFromReadersAndKeptUntilItsLineIsReplaced) {
    ConfigFile file = loaded("25\tminutes of work\r\nx\r\n");
    EXPECT_EQ(file.getString(0), L"25");
    EXPECT_EQ(file.getInt(0), 25);
    file.set(1, L"y");
    EXPECT_EQ(onDisk(), "25\tminutes of work\r\ny\r\n");
    file.set(0, L"30");
    EXPECT_EQ(onDisk(), "30\r\ny\r\n");

    ConfigFile leadingTab = loaded("\t42\n");
    EXPECT_EQ(leadingTab.getString(0), L"");
    expectError<std::invalid_argument>([&] { leadingTab.getInt(0); }, "invalid stoi argument");
}

TEST_F(ConfigFileTest, IntegersParseALeadingNumberAndFailWithTheFixedTexts) {
    ConfigFile file = loaded(" 42abc\n-7\n2147483648\n\n-2147483648\n+5\nabc\n-2147483649\n");
    EXPECT_EQ(file.getInt(0), 42);
    EXPECT_EQ(file.getInt(1), -7);
    expectError<std::out_of_range>([&] { file.getInt(2); }, "stoi argument out of range");
    expectError<std::invalid_argument>([&] { file.getInt(3); }, "invalid stoi argument");
    EXPECT_EQ(file.getInt(4), INT_MIN);
    EXPECT_EQ(file.getInt(5), 5);
    expectError<std::invalid_argument>([&] { file.getInt(6); }, "invalid stoi argument");
    expectError<std::out_of_range>([&] { file.getInt(7); }, "stoi argument out of range");
}

TEST_F(ConfigFileTest, IndexesOutsideTheListFailAndLeaveTheFileUntouched) {
    ConfigFile file = loaded("a\nb\n");
    expectError<std::out_of_range>([&] { file.getString(-1); }, "invalid vector subscript");
    expectError<std::out_of_range>([&] { file.getString(2); }, "invalid vector subscript");
    expectError<std::out_of_range>([&] { file.getInt(2); }, "invalid vector subscript");
    expectError<std::out_of_range>([&] { file.set(2, L"c"); }, "invalid vector subscript");
    expectError<std::out_of_range>([&] { file.set(-1, L"c"); }, "invalid vector subscript");
    EXPECT_EQ(onDisk(), "a\nb\n");
    EXPECT_EQ(file.lines, (Lines{L"a", L"b"}));
}

TEST_F(ConfigFileTest, MissingFileGivesNoLinesAndASetThenCreatesNothing) {
    ConfigFile file;
    const std::wstring missing = folder.file(L"missing.cfg");
    file.load(missing);
    EXPECT_EQ(file.path, missing);
    EXPECT_TRUE(file.lines.empty());
    expectError<std::out_of_range>([&] { file.set(0, L"x"); }, "invalid vector subscript");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing.cfg"));
}

TEST_F(ConfigFileTest, SecondLoadReplacesTheWholeListEvenWhenTheFileIsGone) {
    ConfigFile file = loaded("a\nb\nc\n");
    writeBytes(folder.path() / "other.cfg", "z\n");
    file.load(folder.file(L"other.cfg"));
    EXPECT_EQ(file.lines, Lines{L"z"});
    file.load(folder.file(L"gone.cfg"));
    EXPECT_TRUE(file.lines.empty());
}

TEST_F(ConfigFileTest, SetWritesEveryLineWithCrLfAndNothingElse) {
    ConfigFile file = loaded("photoshop.exe\n1\n0\nfalse\n0\n0\n0");
    file.set(6, L"3601");
    EXPECT_EQ(onDisk(), "photoshop.exe\r\n1\r\n0\r\nfalse\r\n0\r\n0\r\n3601\r\n");
}

TEST_F(ConfigFileTest, OneBytePerCharacterBothWaysForLatin1) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\n' && b != '\r') all += static_cast<char>(b);
    ConfigFile file = loaded(all + "\r\nx\r\n");
    ASSERT_EQ(file.lines.size(), 2u);
    ASSERT_EQ(file.lines[0].size(), all.size());
    for (std::size_t i = 0; i < all.size(); ++i)
        EXPECT_EQ(static_cast<unsigned>(file.lines[0][i]), static_cast<unsigned char>(all[i]));
    file.set(1, L"y");
    EXPECT_EQ(onDisk(), all + "\r\ny\r\n");

    // A byte-order mark is three Latin-1 characters, not a marker.
    ConfigFile bom = loaded("\xEF\xBB\xBF" "12\n");
    EXPECT_EQ(bom.getString(0), L"\u00EF\u00BB\u00BF" L"12");
    expectError<std::invalid_argument>([&] { bom.getInt(0); }, "invalid stoi argument");

    // UTF-8 that decodes to nothing above U+00FF stays byte by byte.
    EXPECT_EQ(loaded("caf\xC3\xA9.exe\n").getString(0), L"caf\u00C3\u00A9.exe");
}

TEST_F(ConfigFileTest, CharactersAboveLatin1AreWrittenAsUtf8AndReadBack) {
    ConfigFile file = loaded("photoshop.exe\n1\n");
    file.set(0, L"\u8868\u8A08\u7B97\u00E9.exe");
    file.set(1, L"\u00E9");
    EXPECT_EQ(onDisk(), "\xE8\xA1\xA8\xE8\xA8\x88\xE7\xAE\x97\xC3\xA9.exe\r\n\xE9\r\n");
    ConfigFile again;
    again.load(file.path);
    EXPECT_EQ(again.lines, file.lines);
}

TEST(FloatConversion, ParsesALeadingNumberAndFailsWithTheFixedTexts) {
    EXPECT_FLOAT_EQ(parseFloat(L"24.5"), 24.5f);
    EXPECT_FLOAT_EQ(parseFloat(L"24px"), 24.0f);
    EXPECT_FLOAT_EQ(parseFloat(L"  -3e1"), -30.0f);
    EXPECT_FLOAT_EQ(parseFloat(L"0x1p3"), 8.0f);
    EXPECT_TRUE(std::isinf(parseFloat(L"inf")));
    expectError<std::invalid_argument>([] { parseFloat(L"px"); }, "invalid stof argument");
    expectError<std::invalid_argument>([] { parseFloat(L""); }, "invalid stof argument");
    expectError<std::out_of_range>([] { parseFloat(L"1e50"); }, "stof argument out of range");
}

}  // namespace

// projects.cfg as a person may leave it. Each row's text is read as "current|titles|recent,...",
// or not at all (empty); whatever is read, written and read again, is the same.
TEST(ProjectsFile, IsReadTolerantlyOrNotAtAllAndWritesBackWhatItRead) {
    const std::string sixty(60, 'x');
    const struct {
        const char* name;
        std::string bytes;
        std::wstring read;
    } cases[] = {
        {"its own form", "Acme logo\r\ntrue\r\nAcme logo\r\nGlobex\r\n", L"Acme logo|true|Acme logo,Globex"},
        {"empty: the defaults", "", L"|true|"},
        {"no project, titles off", "\r\nfalse\r\nGlobex\r\n", L"|false|Globex"},
        {"a BOM, LF ends, spaces and blank lines", "\xEF\xBB\xBF Acme \n false\n\n Globex \n\nAcme\n",
         L"Acme|false|Globex,Acme"},
        {"a current one missing from the list is the most recent", "Initech\r\ntrue\r\nGlobex\r\n",
         L"Initech|true|Initech,Globex"},
        {"one name twice but for case: the first spelling", "ACME\r\ntrue\r\nAcme\r\nacme\r\n", L"Acme|true|Acme"},
        {"only the first line", "Acme\r\n", L"Acme|true|Acme"},
        {"cp1252, a comma and quotes", "Caf\xe9, \"Smith\"\r\ntrue\r\n",
         L"Caf\u00e9, \"Smith\"|true|Caf\u00e9, \"Smith\""},
        {"an ANSI save of a UTF-8 file with one name typed in: each line its own; an undefined byte is no control",
         "\xC3\x9C" "berarbeitung\r\ntrue\r\n\xC3\x9C" "berarbeitung\r\nCaf\xE9 \x96 M\x81nchen\r\n",
         L"\u00dcberarbeitung|true|\u00dcberarbeitung,Caf\u00e9 \u2013 M\uFFFDnchen"},
        {"sixty characters", "\r\ntrue\r\n" + sixty + "\r\n", L"|true|" + std::wstring(60, L'x')},
        {"sixty-one characters", "\r\ntrue\r\n" + sixty + "y\r\n", L""},
        {"a control character", "A\x01" "B\r\ntrue\r\n", L""},
        {"a TAB inside a name", "\r\ntrue\r\nA\tB\r\n", L""},
        {"yes for true", "\r\nyes\r\n", L""},
        {"not a text", std::string("\0\0\xff", 3), L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<ProjectSettings> read = parseProjects(c.bytes);
        ASSERT_EQ(read.has_value(), !c.read.empty());
        if (!read) continue;
        std::wstring text = read->current + L"|" + (read->fromTitles ? L"true|" : L"false|");
        for (const std::wstring& name : read->recent) text += (text.back() == L'|' ? L"" : L",") + name;
        EXPECT_EQ(text, c.read);
        EXPECT_EQ(parseProjects(formatProjects(*read)), read);
    }
    EXPECT_EQ(formatProjects({L"R&D \u8868", false, {L"R&D \u8868", L"a,b"}}),
              "R&D \xE8\xA1\xA8\r\nfalse\r\nR&D \xE8\xA1\xA8\r\na,b\r\n");
}

// The name rule, as the New project dialog and projects.cfg apply it.
TEST(ProjectsFile, ANameIsTrimmedAndHasOneToSixtyCharactersNoneOfThemAControlCharacter) {
    std::wstring sixtyWide;  // each one character, in two UTF-16 units on Windows
    for (int i = 0; i < 60; ++i) sixtyWide += fromUtf8("\xF0\x9F\x8E\xA8");
    const struct {
        std::wstring typed;
        std::wstring name;  // empty: refused
    } cases[] = {
        {L"  Acme logo \t", L"Acme logo"}, {L"\"Smith, Jones\"", L"\"Smith, Jones\""}, {L"   ", L""}, {L"", L""},
        {std::wstring(61, L'a'), L""}, {L"a\nb", L""}, {L"a\u0085b", L""}, {L"\uFEFFAcme", L""},
        {sixtyWide, sixtyWide}, {sixtyWide + L"a", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.typed));
        EXPECT_EQ(projectName(c.typed).value_or(L""), c.name);
    }
}
