#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

bool sameFileName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
#ifdef _WIN32
    if (a.size() > 0x7FFFFFFF) return false;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
#else
    const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
#endif
}
