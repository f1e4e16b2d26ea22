#include "history/billing.h"

#include <algorithm>

#include "common/text.h"

std::int64_t billedSeconds(std::int64_t seconds, int roundingMinutes) {
    if (seconds <= 0) return 0;
    if (roundingMinutes <= 0) return seconds;
    const std::int64_t step = std::int64_t{roundingMinutes} * 60;
    return (seconds + step - 1) / step * step;
}

std::int64_t amountCents(std::int64_t billed, std::int64_t rate) {
    // Cents = seconds / 3600 * rate / rateScale * 100. Limits keep the product within range:
    // a million an hour (10^10 scaled) times some 10^7 seconds.
    constexpr std::int64_t divisor = 3600 * rateScale / 100;
    const std::int64_t product = std::max<std::int64_t>(billed, 0) * std::max<std::int64_t>(rate, 0);
    return product / divisor + (product % divisor * 2 >= divisor ? 1 : 0);
}

std::wstring moneyText(std::int64_t cents, const NumberMarks& marks) { return decimalText(cents, 2, 2, marks); }

std::wstring rateText(std::int64_t rate, const NumberMarks& marks) {
    int places = rateDecimals;
    for (std::int64_t rest = rate; places > 2 && rest % 10 == 0; rest /= 10) --places;
    return decimalText(rate, rateDecimals, places, marks);
}

std::size_t ProjectNames::place(const std::wstring& name) {
    if (const auto known = spelt_.find(name); known != spelt_.end()) return known->second;
    std::size_t at = 0;
    while (at < names_.size() && !sameFileName(names_[at], name)) ++at;
    if (at == names_.size()) names_.push_back(name);
    spelt_.emplace(name, at);
    return at;
}

bool budgetPassed(const ProjectBill& project) {
    // billed / 3600 > budget / rateScale, in whole numbers.
    return project.budget && project.billedEver * rateScale > *project.budget * 3600;
}

std::int64_t scaledHours(std::int64_t billed) {
    const std::int64_t product = std::max<std::int64_t>(billed, 0) * rateScale;
    return product / 3600 + (product % 3600 * 2 >= 3600 ? 1 : 0);
}

std::int64_t budgetLeft(const ProjectBill& project) {
    return project.budget ? *project.budget - scaledHours(project.billedEver) : 0;
}

Billing::Billing(RateSettings rates, DayNumber first, DayNumber last)
    : rates_(std::move(rates)), first_(first), last_(last) {}

std::size_t Billing::projectPlace(const std::wstring& project) {
    const std::size_t place = names_.place(project);
    if (place == projects_.size()) {
        ProjectBill bill;
        bill.project = project;
        if (const ProjectRate* line = rates_.find(project)) {
            bill.rate = line->rate;
            bill.budget = line->budget;
        }
        projects_.push_back(std::move(bill));
    }
    return place;
}

void Billing::add(DayNumber day, const std::wstring& program, const std::wstring& project, std::int64_t seconds) {
    if (seconds <= 0) return;
    const std::size_t place = projectPlace(project);
    ProjectBill& bill = projects_[place];
    Unit& unit = units_[{place, day}];
    const std::int64_t before = billedSeconds(unit.seconds, rates_.roundingMinutes);
    unit.seconds += seconds;
    const std::int64_t after = billedSeconds(unit.seconds, rates_.roundingMinutes);
    bill.billedEver += after - before;
    if (day < first_ || day > last_) return;
    bill.seconds += seconds;
    bill.billed += after - before;
    if (bill.rate) {
        const std::int64_t more = amountCents(after, *bill.rate) - amountCents(before, *bill.rate);
        bill.cents += more;
        totalCents_ += more;
    }
    const auto known = std::find_if(unit.programs.begin(), unit.programs.end(),
                                    [&](const BilledProgram& p) { return sameFileName(p.program, program); });
    if (known != unit.programs.end()) known->seconds += seconds;
    else unit.programs.push_back({program, seconds});
}

const ProjectBill* Billing::find(const std::wstring& project) const {
    for (const ProjectBill& bill : projects_)
        if (sameFileName(bill.project, project)) return &bill;
    return nullptr;
}

bool Billing::anyAmount() const {
    return std::any_of(projects_.begin(), projects_.end(),
                       [](const ProjectBill& p) { return p.rate && p.seconds > 0; });
}

std::vector<BilledUnit> Billing::units() const {
    std::vector<BilledUnit> units;
    for (const auto& [key, unit] : units_) {
        if (key.second < first_ || key.second > last_) continue;
        const ProjectBill& bill = projects_[key.first];
        BilledUnit line;
        line.day = key.second;
        line.project = bill.project;
        line.programs = unit.programs;
        std::sort(line.programs.begin(), line.programs.end(), [](const BilledProgram& a, const BilledProgram& b) {
            return a.seconds != b.seconds ? a.seconds > b.seconds : a.program < b.program;
        });
        line.seconds = unit.seconds;
        line.billed = billedSeconds(unit.seconds, rates_.roundingMinutes);
        line.rate = bill.rate;
        if (bill.rate) line.cents = amountCents(line.billed, *bill.rate);
        units.push_back(std::move(line));
    }
    std::stable_sort(units.begin(), units.end(), [](const BilledUnit& a, const BilledUnit& b) {
        if (a.day != b.day) return a.day < b.day;
        if (a.project.empty() != b.project.empty()) return b.project.empty();
        return a.project < b.project;
    });
    return units;
}

std::string billingCsv(const Billing& billing, const CsvForm& form, const std::wstring& decimal) {
    const NumberMarks marks{decimal, L""};
    const std::wstring currency = billing.rates().currency;
    const std::wstring fields[] = {L"date", L"project", L"programs", L"hours", L"billed hours", L"rate",
                                   currency.empty() ? L"amount" : L"amount " + currency};
    std::string bytes = csvStart(form);
    const auto line = [&](const std::vector<std::wstring>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i > 0) bytes += form.separator;
            appendCsvField(bytes, cells[i], form);
        }
        bytes += "\r\n";
    };
    line({std::begin(fields), std::end(fields)});
    for (const BilledUnit& unit : billing.units()) {
        std::wstring programs;
        for (const BilledProgram& program : unit.programs) programs += (programs.empty() ? L"" : L", ") + program.program;
        line({isoDate(unit.day), unit.project, programs, hoursText(unit.seconds, 4, marks),
              hoursText(unit.billed, 4, marks), unit.rate ? rateText(*unit.rate, marks) : L"",
              unit.cents ? moneyText(*unit.cents, marks) : L""});
    }
    return bytes;
}

std::vector<ProjectRate> rateLines(const RateSettings& rates, const std::vector<std::wstring>& projects) {
    ProjectNames names;
    std::vector<ProjectRate> lines;
    const auto add = [&](const std::wstring& project) {
        if (names.place(project) < lines.size()) return;
        ProjectRate line{project, std::nullopt, std::nullopt};
        if (const ProjectRate* known = rates.find(project)) line = *known;
        lines.push_back(std::move(line));
    };
    for (const ProjectRate& line : rates.projects) add(line.project);
    for (const std::wstring& project : projects) add(project);
    add(L"");
    std::stable_sort(lines.begin(), lines.end(), [](const ProjectRate& a, const ProjectRate& b) {
        if (a.project.empty() != b.project.empty()) return b.project.empty();
        return a.project < b.project;
    });
    return lines;
}
