#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/text.h"
#include "config/file_system.h"
#include "config/rates_file.h"
#include "temp_folder.h"

namespace {

std::wstring optionalText(const std::optional<std::int64_t>& value) { return value ? scaledText(*value) : L"-"; }

// "currency|rounding|rate/budget/name;..." with "-" for a missing number.
std::wstring describe(const RateSettings& settings) {
    std::wstring text = settings.currency + L"|" + std::to_wstring(settings.roundingMinutes) + L"|";
    for (const ProjectRate& line : settings.projects)
        text += optionalText(line.rate) + L"/" + optionalText(line.budget) + L"/" + line.project + L";";
    return text;
}

}  // namespace

// rates.cfg as a person may edit it: each row read as described, or not at all (empty); whatever
// is read is written and read back the same.
TEST(RatesFile, IsReadAsAPersonEditsItOrNotAtAllAndWritesBackWhatItRead) {
    const struct {
        const char* name;
        std::string bytes;
        std::wstring read;
    } cases[] = {
        {"its own form", "EUR\r\n15\r\n80\t40\tAcme\r\n65.5\t\tGlobex\r\n45\t\t\r\n",
         L"EUR|15|80/40/Acme;65.5/-/Globex;45/-/;"},
        {"empty: no currency, exact seconds, no rates", "", L"|0|"},
        {"only a currency", "CHF", L"CHF|0|"},
        {"spaces around fields, LF ends, a BOM, blank lines",
         "\xEF\xBB\xBF EUR \n 6 \n\n 80 \t 40 \t Acme logo \n   \n", L"EUR|6|80/40/Acme logo;"},
        {"both decimal marks", "\r\n30\r\n65,50\t12.25\tGlobex\r\n0,0001\t,5\tInitech\r\n",
         L"|30|65.5/12.25/Globex;0.0001/0.5/Initech;"},
        {"a missing rate and trailing tabs an editor dropped", "\r\n0\r\n\t40\tAcme\r\n45\r\n",
         L"|0|-/40/Acme;45/-/;"},
        {"a name with commas and quotes", "\r\n0\r\n80\t\tSmith, Jones \"and\" Co\r\n",
         L"|0|80/-/Smith, Jones \"and\" Co;"},
        {"names differing in case: the first line counts", "\r\n0\r\n80\t\tAcme\r\n90\t\tACME\r\n",
         L"|0|80/-/Acme;"},
        {"cp1252 in a line typed in", "\x80\r\n0\r\n80\t\tCaf\xE9\r\n", L"\u20AC|0|80/-/Caf\u00E9;"},
        {"a rounding of 10 minutes", "EUR\r\n10\r\n", L""},
        {"a rounding in words", "EUR\r\nquarter\r\n", L""},
        {"grouping in a number", "\r\n0\r\n1,000.50\t\tAcme\r\n", L""},
        {"a sign", "\r\n0\r\n-80\t\tAcme\r\n", L""},
        {"five decimal places", "\r\n0\r\n80.12345\t\tAcme\r\n", L""},
        {"a fourth field", "\r\n0\r\n80\t40\tAcme\tmore\r\n", L""},
        {"a currency of nine characters", "EUROSEURO\r\n0\r\n", L""},
        {"a rate beyond a million", "\r\n0\r\n1000000.01\t\tAcme\r\n", L""},
        {"a name of 61 characters", "\r\n0\r\n80\t\t" + std::string(61, 'x') + "\r\n", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<RateSettings> read = parseRates(c.bytes);
        ASSERT_EQ(read.has_value(), !c.read.empty());
        if (!read) continue;
        EXPECT_EQ(describe(*read), c.read);
        EXPECT_EQ(parseRates(formatRates(*read)), read);
    }
    RateSettings written{L"\u20AC", 15, {{L"Acme", 805000, std::nullopt}, {L"", std::nullopt, 125000}, {L"Bare", {}, {}}}};
    EXPECT_EQ(formatRates(written), "\xE2\x82\xAC\r\n15\r\n80.5\t\tAcme\r\n\t12.5\t\r\n");
}

TEST(RatesFile, OneLineAProjectAsWindowsComparesNames) {
    RateSettings settings;
    settings.set({L"Acme", 800000, std::nullopt});
    settings.set({L"ACME", 900000, 400000});
    ASSERT_EQ(settings.projects.size(), 1u);
    EXPECT_EQ(settings.projects[0], (ProjectRate{L"Acme", 900000, 400000}));
    ASSERT_NE(settings.find(L"acme"), nullptr);
    EXPECT_EQ(settings.find(L"Globex"), nullptr);
    settings.set({L"acme", std::nullopt, std::nullopt});
    EXPECT_TRUE(settings.projects.empty());
}

TEST(RatesFile, AFileThatCannotBeReadIsNamedAndNotWritable) {
    TempFolder folder;
    const std::wstring path = ratesFilePath(folder.path().wstring());
    EXPECT_EQ(loadRatesFile(path).state, RatesLoad::State::missing);
    EXPECT_TRUE(loadRatesFile(path).writable());

    ASSERT_FALSE(saveRatesFile(path, {L"EUR", 6, {{L"Acme", 800000, 400000}}}));
    RatesLoad load = loadRatesFile(path);
    EXPECT_EQ(load.state, RatesLoad::State::read);
    EXPECT_EQ(describe(load.settings), L"EUR|6|80/40/Acme;");

    std::ofstream(folder.path() / "rates.cfg", std::ios::binary) << "EUR\r\nten\r\n";
    load = loadRatesFile(path);
    EXPECT_EQ(load.state, RatesLoad::State::unreadable);
    EXPECT_FALSE(load.writable());
    EXPECT_TRUE(load.settings.projects.empty());
    EXPECT_EQ(readBytes(folder.path() / "rates.cfg"), "EUR\r\nten\r\n");  // left for its maker

    failReadsForTests([](const std::wstring&) { return std::make_error_code(std::errc::permission_denied); });
    load = loadRatesFile(path);
    failReadsForTests(nullptr);
    EXPECT_EQ(load.state, RatesLoad::State::held);
    EXPECT_FALSE(load.writable());
    EXPECT_EQ(load.error, std::make_error_code(std::errc::permission_denied));
}

TEST(RatesFile, NumbersAreDigitsWithOneMarkAndFourPlacesAtMost) {
    const struct {
        const wchar_t* text;
        std::int64_t value;  // -1: none (empty), -2: not a number
    } cases[] = {
        {L"80", 800000}, {L" 65,5 ", 655000}, {L"0.0001", 1}, {L"80.", 800000}, {L".5", 5000}, {L"", -1},
        {L"  ", -1}, {L"1.2.3", -2}, {L"1,5.0", -2}, {L"1e3", -2}, {L"+5", -2}, {L".", -2}, {L"1 000", -2},
        {L"1000000", 1'000'000 * rateScale}, {L"1000000.0001", -2}, {L"99999999999999999999", -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.text));
        bool valid = false;
        const std::optional<std::int64_t> value = parseScaled(c.text, rateLimit, valid);
        EXPECT_EQ(valid, c.value != -2);
        EXPECT_EQ(value.value_or(-1), c.value == -2 ? -1 : c.value);
    }
}
