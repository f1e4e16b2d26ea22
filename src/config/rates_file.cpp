#include "config/rates_file.h"

#include <algorithm>

#include "common/text.h"
#include "config/file_system.h"
#include "config/projects_file.h"

namespace {

bool isSpace(wchar_t c) { return c == L' ' || c == L'\u00A0' || c == L'\u3000'; }

std::wstring trimmed(const std::wstring& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

std::vector<std::wstring> splitAt(const std::wstring& text, wchar_t mark) {
    std::vector<std::wstring> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(mark, start);
        parts.push_back(text.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos) return parts;
        start = end + 1;
    }
}

// A currency is short text shown after amounts: "EUR", "€", "CHF", "kr". Characters, not UTF-16
// units, count towards its 8.
bool isCurrency(const std::wstring& text) {
    std::size_t count = 0;
    for (const wchar_t c : text) {
        const auto u = static_cast<std::uint32_t>(c);
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xFEFF) return false;
        if (!(sizeof(wchar_t) == 2 && u >= 0xDC00 && u <= 0xDFFF)) ++count;
    }
    return count <= currencyLimit;
}

}  // namespace

const ProjectRate* RateSettings::find(const std::wstring& project) const {
    for (const ProjectRate& line : projects)
        if (sameFileName(line.project, project)) return &line;
    return nullptr;
}

void RateSettings::set(const ProjectRate& line) {
    const auto at = std::find_if(projects.begin(), projects.end(),
                                 [&](const ProjectRate& known) { return sameFileName(known.project, line.project); });
    if (at == projects.end()) {
        if (line.rate || line.budget) projects.push_back(line);
        return;
    }
    if (!line.rate && !line.budget) {
        projects.erase(at);
        return;
    }
    at->rate = line.rate;
    at->budget = line.budget;
}

bool isRounding(int minutes) { return minutes == 0 || minutes == 6 || minutes == 15 || minutes == 30; }

std::optional<std::int64_t> parseScaled(const std::wstring& text, std::int64_t limit, bool& valid) {
    valid = true;
    const std::wstring number = trimmed(text);
    if (number.empty()) return std::nullopt;
    std::int64_t whole = 0, fraction = 0;
    int places = 0, digits = 0;
    bool afterMark = false;
    for (const wchar_t c : number) {
        if (c == L'.' || c == L',') {
            if (afterMark) break;
            afterMark = true;
            continue;
        }
        if (c < L'0' || c > L'9') {
            valid = false;
            return std::nullopt;
        }
        ++digits;
        if (afterMark) {
            if (++places > rateDecimals) break;
            fraction = fraction * 10 + (c - L'0');
        } else {
            whole = whole * 10 + (c - L'0');
            if (whole > limit) break;
        }
    }
    std::int64_t scale = 1;
    for (int i = places; i < rateDecimals; ++i) scale *= 10;
    const std::int64_t value = whole * rateScale + fraction * scale;
    const bool wellFormed = digits > 0 && places <= rateDecimals && whole <= limit &&
                            number.find_first_of(L".,") == number.find_last_of(L".,");
    if (!wellFormed || value > limit) {
        valid = false;
        return std::nullopt;
    }
    return value;
}

std::wstring scaledText(std::int64_t value) {
    std::wstring text = std::to_wstring(value / rateScale);
    std::wstring fraction = std::to_wstring(value % rateScale + rateScale).substr(1);
    while (!fraction.empty() && fraction.back() == L'0') fraction.pop_back();
    if (!fraction.empty()) text += L"." + fraction;
    return text;
}

std::wstring ratesFilePath(const std::wstring& stateFolder) { return stateFolder + L"/rates.cfg"; }

std::optional<RateSettings> parseRates(const std::string& bytes) {
    const std::wstring text = decodeFileText(bytes);
    std::vector<std::wstring> lines = splitAt(text, L'\n');
    for (std::wstring& line : lines)
        if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (!lines.empty() && lines.back().empty()) lines.pop_back();  // the last line's end

    RateSettings settings;
    if (lines.empty()) return settings;
    settings.currency = trimmed(lines[0]);
    if (!isCurrency(settings.currency)) return std::nullopt;
    if (lines.size() > 1) {
        const std::wstring rounding = trimmed(lines[1]);
        if (!rounding.empty()) {
            if (rounding.size() > 2 || rounding.find_first_not_of(L"0123456789") != std::wstring::npos)
                return std::nullopt;
            settings.roundingMinutes = std::stoi(rounding);
            if (!isRounding(settings.roundingMinutes)) return std::nullopt;
        }
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (trimmed(lines[i]).empty()) continue;
        std::vector<std::wstring> fields = splitAt(lines[i], L'\t');
        if (fields.size() > 3) return std::nullopt;
        fields.resize(3);
        ProjectRate line;
        bool valid = true;
        line.rate = parseScaled(fields[0], rateLimit, valid);
        if (!valid) return std::nullopt;
        line.budget = parseScaled(fields[1], budgetLimit, valid);
        if (!valid) return std::nullopt;
        if (!trimmed(fields[2]).empty()) {
            std::optional<std::wstring> name = projectName(fields[2]);
            if (!name) return std::nullopt;
            line.project = std::move(*name);
        }
        if (!settings.find(line.project)) settings.projects.push_back(std::move(line));
    }
    return settings;
}

std::string formatRates(const RateSettings& settings) {
    std::string bytes = toUtf8(settings.currency) + "\r\n" + std::to_string(settings.roundingMinutes) + "\r\n";
    for (const ProjectRate& line : settings.projects) {
        if (!line.rate && !line.budget) continue;
        bytes += toUtf8(line.rate ? scaledText(*line.rate) : L"") + "\t" +
                 toUtf8(line.budget ? scaledText(*line.budget) : L"") + "\t" + toUtf8(line.project) + "\r\n";
    }
    return bytes;
}

RatesLoad loadRatesFile(const std::wstring& path) {
    RatesLoad load;
    bool found = false;
    const std::optional<std::string> bytes = readWholeFile(path, found, load.error);
    if (!found) return load;
    if (!bytes) {
        // A folder in its place is no file to wait for.
        load.state = isFolder(path) ? RatesLoad::State::unreadable : RatesLoad::State::held;
        return load;
    }
    load.error.clear();
    std::optional<RateSettings> settings = parseRates(*bytes);
    if (!settings) {
        load.state = RatesLoad::State::unreadable;
        return load;
    }
    load.state = RatesLoad::State::read;
    load.settings = std::move(*settings);
    return load;
}

std::error_code saveRatesFile(const std::wstring& path, const RateSettings& settings) {
    return writeFileAtomically(path, formatRates(settings));
}
