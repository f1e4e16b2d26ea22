#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/calendar.h"
#include "common/csv.h"
#include "common/number_text.h"
#include "config/rates_file.h"

// What the time of a range is billed at. The billed unit is one day's time on one project, all
// programs and PCs together, rounded up to the increment; each unit's amount is its billed
// seconds times the rate, rounded once to the cent; a project's amount is the sum of its units'
// and the total the sum of the projects', so that an invoice built from the units, the report's
// table and its total agree to the cent. Money is whole cents throughout.

// `seconds` rounded up to a whole number of `roundingMinutes` (0: the seconds themselves).
std::int64_t billedSeconds(std::int64_t seconds, int roundingMinutes);
// `billed` seconds at `rate` (currency units an hour, times rateScale), in cents, a half up.
std::int64_t amountCents(std::int64_t billed, std::int64_t rate);

// "1,234.50" as `marks` write it.
std::wstring moneyText(std::int64_t cents, const NumberMarks& marks);
// A rate with two places, or as many more as it has: "80.00", "65.125".
std::wstring rateText(std::int64_t rate, const NumberMarks& marks);

// Project names as Windows compares them (sameFileName): "Acme" and "acme" are one project, the
// spelling met first standing for it.
class ProjectNames {
public:
    // The place of `name`, a new one at the end when it is not there yet.
    std::size_t place(const std::wstring& name);
    const std::wstring& name(std::size_t place) const { return names_[place]; }
    std::size_t size() const { return names_.size(); }

private:
    std::vector<std::wstring> names_;
    std::unordered_map<std::wstring, std::size_t> spelt_;  // every spelling met, to its place
};

struct BilledProgram {
    std::wstring program;
    std::int64_t seconds = 0;
};

// A day's time on a project in the range.
struct BilledUnit {
    DayNumber day = 0;
    std::wstring project;                // empty: no project
    std::vector<BilledProgram> programs; // most time first, ties by name
    std::int64_t seconds = 0;
    std::int64_t billed = 0;
    std::optional<std::int64_t> rate;
    std::optional<std::int64_t> cents;   // none without a rate
};

struct ProjectBill {
    std::wstring project;
    std::optional<std::int64_t> rate;
    std::optional<std::int64_t> budget;  // hours times rateScale
    // In the range:
    std::int64_t seconds = 0;
    std::int64_t billed = 0;
    std::int64_t cents = 0;              // meaningful with a rate
    // Over every day of every PC, for the budget:
    std::int64_t billedEver = 0;
};

// Whether billed time has gone past a budget (reaching it is not passing it).
bool budgetPassed(const ProjectBill& project);
// The budget's hours left, times rateScale; negative once passed. Zero without a budget.
std::int64_t budgetLeft(const ProjectBill& project);
// Billed seconds as hours times rateScale, a half up.
std::int64_t scaledHours(std::int64_t billed);

// The sums of a range, kept up to date row by row: every PC's rows are added once after a
// read, and each counted second as it comes, so that no figure is summed anew at a repaint.
class Billing {
public:
    Billing() = default;
    Billing(RateSettings rates, DayNumber first, DayNumber last);

    void add(DayNumber day, const std::wstring& program, const std::wstring& project, std::int64_t seconds);

    const RateSettings& rates() const { return rates_; }
    DayNumber first() const { return first_; }
    DayNumber last() const { return last_; }
    // Every project met, in any day, in the order first met.
    const std::vector<ProjectBill>& projects() const { return projects_; }
    // The line of `project` (as Windows compares names); null when it has no time anywhere.
    const ProjectBill* find(const std::wstring& project) const;
    std::int64_t totalCents() const { return totalCents_; }
    // Whether any project with time in the range has a rate: whether there is an amount at all.
    bool anyAmount() const;
    // The range's units by date, each day's in the order of the projects' names (no project last).
    std::vector<BilledUnit> units() const;

private:
    struct Unit {
        std::int64_t seconds = 0;
        std::vector<BilledProgram> programs;  // in the range only
    };
    std::size_t projectPlace(const std::wstring& project);

    RateSettings rates_;
    DayNumber first_ = 0, last_ = -1;
    ProjectNames names_;
    std::vector<ProjectBill> projects_;
    std::map<std::pair<std::size_t, DayNumber>, Unit> units_;  // by project place and day
    std::int64_t totalCents_ = 0;
};

// The range's units for invoicing, one line each: date (ISO), project, the programs worked in,
// exact hours, billed hours, rate and amount, with the currency in the amount's heading. In
// `form` (the history file's separator, quoting and mark) with `decimal` as the decimal mark and
// no grouping, so that a spreadsheet in that locale reads its numbers as numbers. Hours have
// four places; a unit without a rate has no rate and no amount.
std::string billingCsv(const Billing& billing, const CsvForm& form, const std::wstring& decimal);

// The lines the rates dialog lists: every project of `projects` (as the histories of every PC
// name them) and of `rates`, once each as Windows compares names, by name with "No project"
// last and always there, each with its rate and budget.
std::vector<ProjectRate> rateLines(const RateSettings& rates, const std::vector<std::wstring>& projects);
