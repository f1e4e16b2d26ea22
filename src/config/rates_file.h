#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

// rates.cfg, beside data.cfg: what an hour of each project is billed at, UTF-8 with CR LF:
//   EUR                    the currency, written after amounts (up to 8 characters; empty: none)
//   15                     the rounding in minutes: 0 (exact seconds), 6, 15 or 30
//   80<TAB>40<TAB>Acme     one line a project: hourly rate, budget in hours, name
//   65.50<TAB><TAB>Globex  either number may be empty
//   45<TAB><TAB>           an empty name: work without a project
// The rates are this PC's and price every PC's hours. Money and hours are kept as whole numbers
// (ten-thousandths), never as binary fractions, so that sums add up to the cent.

// Numbers carry up to this many decimal places: 65.5 is 655000.
constexpr int rateDecimals = 4;
constexpr std::int64_t rateScale = 10000;
// No rate or budget beyond these: a unit's amount in cents then never overflows.
constexpr std::int64_t rateLimit = 1'000'000 * rateScale;    // a million currency units an hour
constexpr std::int64_t budgetLimit = 1'000'000 * rateScale;  // a million hours
constexpr std::size_t currencyLimit = 8;

struct ProjectRate {
    std::wstring project;                // empty: no project
    std::optional<std::int64_t> rate;    // currency units an hour, times rateScale
    std::optional<std::int64_t> budget;  // hours, times rateScale
};
inline bool operator==(const ProjectRate& a, const ProjectRate& b) {
    return a.project == b.project && a.rate == b.rate && a.budget == b.budget;
}

struct RateSettings {
    std::wstring currency;
    int roundingMinutes = 0;
    std::vector<ProjectRate> projects;  // none twice as Windows compares names

    // The line of `project` (sameFileName), or null.
    const ProjectRate* find(const std::wstring& project) const;
    // Sets or clears the rate and budget of `project`, keeping the spelling already written.
    void set(const ProjectRate& line);
};
inline bool operator==(const RateSettings& a, const RateSettings& b) {
    return a.currency == b.currency && a.roundingMinutes == b.roundingMinutes && a.projects == b.projects;
}

// Whether `minutes` is one of the roundings offered: 0, 6, 15, 30.
bool isRounding(int minutes);

// A number as a person writes it in rates.cfg or the dialog: digits with "." or "," as the
// decimal mark and at most rateDecimals places, spaces around it dropped. Nullopt for an empty
// text; `valid` false for anything else that is no such number (a sign, grouping, a letter) or
// beyond `limit`.
std::optional<std::int64_t> parseScaled(const std::wstring& text, std::int64_t limit, bool& valid);
// "80", "65.5", "0.25": "." and no more places than the value needs.
std::wstring scaledText(std::int64_t value);

std::wstring ratesFilePath(const std::wstring& stateFolder);

// What a rates.cfg text says; nullopt when it cannot be read. Tolerant as a hand-edited file
// must be: a byte-order mark, LF line ends, spaces around fields, blank lines and fields missing
// at a line's end (an editor that drops trailing tabs) are nothing; a project given twice counts
// at its first line. Each line is UTF-8 when it is, else in the ANSI code page (decodeFileText).
// A currency longer than 8 characters or holding a control character, a rounding other than the
// four, a number that is none, a fourth field or a name breaking the name rule make it
// unreadable. An empty text is no currency, no rounding and no rates.
std::optional<RateSettings> parseRates(const std::string& bytes);
// Writes "." marks and only the projects with a rate or a budget; reads back the same.
std::string formatRates(const RateSettings& settings);

struct RatesLoad {
    enum class State {
        missing,     // no file: no rates yet
        read,
        unreadable,  // its text is no rates.cfg: it is named to the user and never written over
        held,        // its bytes could not be read now (another program, a read error): read again
    };
    State state = State::missing;
    RateSettings settings;  // the defaults unless read
    std::error_code error;  // why, when held
    bool writable() const { return state == State::missing || state == State::read; }
};
RatesLoad loadRatesFile(const std::wstring& path);

// Replaces the file in one step (see writeFileAtomically).
std::error_code saveRatesFile(const std::wstring& path, const RateSettings& settings);
