#include <gtest/gtest.h>

#include <sstream>

#include "common/text.h"
#include "history/billing.h"

namespace {

constexpr std::int64_t units(std::int64_t whole) { return whole * rateScale; }

const DayNumber monday = *dayNumber({2026, 12, 7});

// The amount column of an export, added up in cents from its text.
std::int64_t exportedCents(const std::string& csv, char separator, char decimal) {
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);  // the heading
    std::int64_t cents = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string amount = line.substr(line.rfind(separator) + 1);
        if (amount.empty()) continue;
        const std::size_t mark = amount.find(decimal);
        EXPECT_EQ(amount.size() - mark, 3u) << amount;
        cents += std::stoll(amount.substr(0, mark)) * 100 + std::stoll(amount.substr(mark + 1));
    }
    return cents;
}

}  // namespace

TEST(Billing, ADayIsRoundedUpToTheIncrementAndExactlyOnOneStaysThere) {
    const struct {
        int rounding;
        std::int64_t seconds;
        std::int64_t billed;
    } cases[] = {
        {0, 0, 0},        {0, 1, 1},        {0, 3723, 3723},  {6, 0, 0},         {6, 1, 360},
        {6, 360, 360},    {6, 361, 720},    {6, 3600, 3600},  {15, 1, 900},      {15, 900, 900},
        {15, 901, 1800},  {15, 3599, 3600}, {30, 1, 1800},    {30, 1800, 1800},  {30, 1801, 3600},
        {30, 36000, 36000}, {15, -5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rounding) + " min, " + std::to_string(c.seconds) + " s");
        EXPECT_EQ(billedSeconds(c.seconds, c.rounding), c.billed);
    }
}

// One unit a day and project, whatever programs and PCs the seconds came from, and whatever
// letter case a PC spelt the project in.
TEST(Billing, TheUnitIsADaysTimeOnAProjectAllProgramsAndPcsTogether) {
    Billing billing({L"EUR", 15, {{L"Acme", units(80), std::nullopt}}}, monday, monday + 6);
    billing.add(monday, L"photoshop.exe", L"Acme", 300);
    billing.add(monday, L"illustrator.exe", L"acme", 300);  // another PC's spelling
    billing.add(monday, L"Photoshop.exe", L"ACME", 1);      // and another program's
    billing.add(monday + 1, L"photoshop.exe", L"Acme", 900);
    ASSERT_EQ(billing.projects().size(), 1u);
    const ProjectBill& acme = billing.projects()[0];
    EXPECT_EQ(acme.project, L"Acme");
    EXPECT_EQ(acme.seconds, 1501);
    EXPECT_EQ(acme.billed, 900 + 900);  // 10:01 is a quarter; 15:00 exactly one
    EXPECT_EQ(acme.cents, 2000 + 2000);
    EXPECT_EQ(billing.totalCents(), 4000);

    const std::vector<BilledUnit> lines = billing.units();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].day, monday);
    EXPECT_EQ(lines[0].seconds, 601);
    ASSERT_EQ(lines[0].programs.size(), 2u);
    EXPECT_EQ(lines[0].programs[0].program, L"photoshop.exe");
    EXPECT_EQ(lines[0].programs[0].seconds, 301);
    EXPECT_EQ(lines[0].cents, 2000);
}

// Amounts in cents: each unit rounded once, a project the sum of its units, the total the sum of
// the projects, and the export's amounts the same to the cent.
TEST(Billing, TheTotalIsTheSumOfProjectsAndOfTheExportsRows) {
    RateSettings rates{L"EUR", 6,
                       {{L"Acme", 655000, std::nullopt},    // 65.50
                        {L"Globex", 333333, std::nullopt},  // 33.3333: a cent of rounding in most units
                        {L"", units(45), std::nullopt}}};
    for (const int rounding : {0, 6, 15, 30}) {
        rates.roundingMinutes = rounding;
        Billing billing(rates, monday, monday + 59);
        std::int64_t seconds = 0;
        for (DayNumber day = monday - 10; day < monday + 70; ++day) {
            const std::int64_t step = (day - monday + 11) * 97;
            billing.add(day, L"a.exe", L"Acme", step % 7000 + 1);
            billing.add(day, L"b.exe", L"Globex", step * 3 % 5000 + 17);
            billing.add(day, L"c.exe", L"", step * 7 % 3000 + 1);
            billing.add(day, L"d.exe", L"Initech", 1234);  // no rate: no amount
            if (day >= monday && day < monday + 60) seconds += step % 7000 + 1;
        }
        SCOPED_TRACE(rounding);
        std::int64_t projects = 0;
        for (const ProjectBill& project : billing.projects()) projects += project.cents;
        EXPECT_EQ(projects, billing.totalCents());
        std::int64_t unitsCents = 0;
        for (const BilledUnit& unit : billing.units()) unitsCents += unit.cents.value_or(0);
        EXPECT_EQ(unitsCents, billing.totalCents());
        EXPECT_EQ(billing.units().size(), 4u * 60);
        EXPECT_EQ(exportedCents(billingCsv(billing, {';', true}, L","), ';', ','), billing.totalCents());
        EXPECT_EQ(billing.find(L"acme")->seconds, seconds);
        EXPECT_FALSE(billing.find(L"Initech")->rate);
        EXPECT_EQ(billing.find(L"Initech")->cents, 0);
    }
    // Exact seconds: 5400 s at 33.3333 is 49.99995, one rounding to 50.00; 1 s at 65.50 is 1.8 cents.
    EXPECT_EQ(amountCents(5400, 333333), 5000);
    EXPECT_EQ(amountCents(1, 655000), 2);
    EXPECT_EQ(amountCents(3600 * 24 * 10, units(1'000'000)), 24'000'000'000);
}

TEST(Billing, ABudgetCountsBilledHoursOfEveryDayAndIsPassedOnlyBeyondIt) {
    Billing billing({L"", 30, {{L"Acme", std::nullopt, units(2)}}}, monday, monday);
    billing.add(monday - 30, L"a.exe", L"Acme", 1);  // half an hour billed, outside the range
    billing.add(monday, L"a.exe", L"Acme", 3600);
    const ProjectBill* acme = billing.find(L"Acme");
    ASSERT_NE(acme, nullptr);
    EXPECT_EQ(acme->billed, 3600);
    EXPECT_EQ(acme->billedEver, 5400);
    EXPECT_EQ(budgetLeft(*acme), units(1) / 2);
    EXPECT_FALSE(budgetPassed(*acme));
    billing.add(monday + 5, L"a.exe", L"Acme", 1);  // reaches it: not passed
    EXPECT_FALSE(budgetPassed(*billing.find(L"Acme")));
    billing.add(monday + 5, L"a.exe", L"Acme", 1800);
    EXPECT_TRUE(budgetPassed(*billing.find(L"Acme")));
    EXPECT_EQ(budgetLeft(*billing.find(L"Acme")), -units(1) / 2);
    EXPECT_FALSE(billing.anyAmount());
}

TEST(NumberText, MarksAreParametersAndHalvesGoUpFromWholeNumbers) {
    const NumberMarks english{L".", L","}, german{L",", L"."}, french{L",", L"\u202F"}, plain{};
    const struct {
        std::int64_t value;
        int decimals, places;
        NumberMarks marks;
        const wchar_t* text;
    } cases[] = {
        {123456, 2, 2, english, L"1,234.56"},   {123456, 2, 2, german, L"1.234,56"},
        {123456789, 2, 2, french, L"1\u202F234\u202F567,89"}, {5, 2, 2, plain, L"0.05"},
        {100000, 2, 2, plain, L"1000.00"},      {12345, 4, 2, plain, L"1.23"},
        {12350, 4, 2, plain, L"1.24"},          {-12350, 4, 2, plain, L"-1.24"},
        {-1, 4, 2, plain, L"0.00"},             {999999, 2, 2, german, L"9.999,99"},
        {7, 0, 0, german, L"7"},                {1000, 0, 0, german, L"1.000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(toUtf8(c.text));
        EXPECT_EQ(decimalText(c.value, c.decimals, c.places, c.marks), c.text);
    }
    EXPECT_EQ(hoursText(5400, 2, german), L"1,50");
    EXPECT_EQ(hoursText(17, 2, plain), L"0.00");
    EXPECT_EQ(hoursText(18, 2, plain), L"0.01");
    EXPECT_EQ(hoursText(3601, 4, plain), L"1.0003");
    EXPECT_EQ(hoursText(36000000, 2, english), L"10,000.00");
    EXPECT_EQ(rateText(655000, german), L"65,50");
    EXPECT_EQ(rateText(651250, plain), L"65.125");
    EXPECT_EQ(rateText(units(1200), english), L"1,200.00");
    EXPECT_EQ(moneyText(123456789, english), L"1,234,567.89");
}

// The export as a spreadsheet in Germany and in the United States opens it: the separator and
// mark of the history file, the decimal mark and no grouping, quotes where a field needs them.
TEST(Billing, TheExportsFieldsInAGermanAndAnEnglishForm) {
    Billing billing({L"EUR", 15, {{L"Smith, Jones", 655000, std::nullopt}, {L"", units(1200), std::nullopt}}},
                    monday, monday + 1);
    billing.add(monday, L"photoshop.exe", L"Smith, Jones", 3000);
    billing.add(monday, L"bridge.exe", L"Smith, Jones", 600);
    billing.add(monday, L"a;b.exe", L"", 1);
    billing.add(monday + 1, L"notepad.exe", L"Initech", 60);
    billing.add(monday + 2, L"notepad.exe", L"Initech", 60);  // after the range
    EXPECT_EQ(billingCsv(billing, {';', true}, L","),
              "\xEF\xBB\xBF"
              "date;project;programs;hours;billed hours;rate;amount EUR\r\n"
              "2026-12-07;Smith, Jones;photoshop.exe, bridge.exe;1,0000;1,0000;65,50;65,50\r\n"
              "2026-12-07;;\"a;b.exe\";0,0003;0,2500;1200,00;300,00\r\n"
              "2026-12-08;Initech;notepad.exe;0,0167;0,2500;;\r\n");
    billing = Billing({L"", 0, {{L"", units(1200), std::nullopt}}}, monday, monday);
    billing.add(monday, L"say \"hi\".exe", L"", 5400);
    EXPECT_EQ(billingCsv(billing, {',', true}, L"."),
              "\xEF\xBB\xBF"
              "date,project,programs,hours,billed hours,rate,amount\r\n"
              "2026-12-07,,\"say \"\"hi\"\".exe\",1.5000,1.5000,1200.00,1800.00\r\n");
}

TEST(Billing, TheRatesDialogListsEveryProjectOnceAndNoProjectLast) {
    const RateSettings rates{L"", 0, {{L"Globex", units(90), std::nullopt}, {L"Zed", std::nullopt, units(5)}}};
    const std::vector<ProjectRate> lines = rateLines(rates, {L"acme", L"GLOBEX", L"", L"Acme", L"Beta"});
    std::wstring text;
    for (const ProjectRate& line : lines)
        text += (line.project.empty() ? L"-" : line.project) + L" " + (line.rate ? scaledText(*line.rate) : L"") + L"|";
    EXPECT_EQ(text, L"Beta |Globex 90|Zed |acme |- |");
    EXPECT_EQ(rateLines({}, {}).size(), 1u) << "No project, always";
}
