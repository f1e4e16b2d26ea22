#include "common/text.h"

#include <algorithm>

#include "common/ansi_code_page.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <vector>

namespace {

constexpr char32_t replacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendWide(std::wstring& out, char32_t c) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (c >> 10));
            out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(c);
}

bool isSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one sequence at `i`; returns the code point and advances `i`, or nullopt for a
// malformed sequence (then `i` advances by one byte).
std::optional<char32_t> decodeOne(const std::string& s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int extra;
    char32_t c;
    if (lead < 0x80) { ++i; return lead; }
    if (lead >= 0xC2 && lead <= 0xDF) { extra = 1; c = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { extra = 2; c = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { extra = 3; c = lead & 0x07; }
    else { ++i; return std::nullopt; }
    if (i + static_cast<std::size_t>(extra) >= s.size()) { ++i; return std::nullopt; }
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80) { ++i; return std::nullopt; }
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[extra] || c > 0x10FFFF || isSurrogate(c)) { ++i; return std::nullopt; }
    i += extra + 1;
    return c;
}

}  // namespace

std::string toUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
        }
        appendUtf8(out, (isSurrogate(c) || c > 0x10FFFF) ? replacement : c);
    }
    return out;
}

std::wstring fromUtf8(const std::string& text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();)
        appendWide(out, decodeOne(text, i).value_or(replacement));
    return out;
}

std::optional<std::wstring> decodeUtf8Strict(const std::string& bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = decodeOne(bytes, i);
        if (!c) return std::nullopt;
        appendWide(out, *c);
    }
    return out;
}

std::wstring decodeFileText(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    std::string line;
    while (start < bytes.size()) {
        const std::size_t end = std::min(bytes.find('\n', start), bytes.size() - 1) + 1;
        line.assign(bytes, start, end - start);
        // Most lines are ASCII, which every reading gives alike.
        std::size_t i = 0;
        while (i < line.size() && static_cast<unsigned char>(line[i]) < 0x80) ++i;
        if (i == line.size()) text.append(line.begin(), line.end());
        else if (std::optional<std::wstring> utf8 = decodeUtf8Strict(line)) text += *utf8;
        else text += decodeAnsi(line);
        start = end;
    }
    return text;
}

#ifndef _WIN32
namespace {
wchar_t foldAscii(wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; }
}  // namespace
#endif

bool sameFileName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
#ifdef _WIN32
    if (a.size() > 0x7FFFFFFF) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
#else
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
#endif
}

std::size_t findIgnoringCase(const std::wstring& text, const std::wstring& part, std::size_t from) {
    if (from > text.size() || part.size() > text.size() - from) return std::wstring::npos;
#ifdef _WIN32
    if (text.size() > 0x7FFFFFFF || part.empty()) return part.empty() ? from : std::wstring::npos;
    const int found = FindStringOrdinal(FIND_FROMSTART, text.data() + from, static_cast<int>(text.size() - from),
                                        part.data(), static_cast<int>(part.size()), TRUE);
    return found < 0 ? std::wstring::npos : from + static_cast<std::size_t>(found);
#else
    for (std::size_t at = from; at + part.size() <= text.size(); ++at) {
        std::size_t i = 0;
        while (i < part.size() && foldAscii(text[at + i]) == foldAscii(part[i])) ++i;
        if (i == part.size()) return at;
    }
    return std::wstring::npos;
#endif
}

bool isLetterOrDigit(wchar_t c) {
#ifdef _WIN32
    return IsCharAlphaNumericW(c) != FALSE;
#else
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9');
#endif
}

std::wstring shortenToFit(const std::wstring& text, float width, const std::function<float(const std::wstring&)>& measure) {
    if (measure(text) <= width) return text;
    const auto shortened = [&](std::size_t length) {
        std::wstring cut = text.substr(0, length);
        while (!cut.empty() && cut.back() == L' ') cut.pop_back();
        return cut + L"\u2026";
    };
    // The longest cut that fits, found by halving among the lengths that split no surrogate pair.
    std::vector<std::size_t> cuts;
    for (std::size_t length = 0; length < text.size(); ++length) {
        const auto c = static_cast<char32_t>(text[length]);
        if (length == 0 || c < 0xDC00 || c > 0xDFFF) cuts.push_back(length);
    }
    std::size_t fits = 0, tooLong = cuts.size();
    while (tooLong - fits > 1) {
        const std::size_t middle = fits + (tooLong - fits) / 2;
        if (measure(shortened(cuts[middle])) <= width) fits = middle;
        else tooLong = middle;
    }
    return shortened(cuts[fits]);
}
