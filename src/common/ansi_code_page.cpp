#include "common/ansi_code_page.h"

wchar_t cp1252Character(unsigned char byte) {
    // 0x80 to 0x9F: typographic marks and letters where ISO 8859-1 has control characters.
    static constexpr wchar_t upper[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 88-8F
        0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 98-9F
    };
    return byte >= 0x80 && byte < 0xA0 ? upper[byte - 0x80] : static_cast<wchar_t>(byte);
}

#ifndef _WIN32
std::wstring decodeAnsi(const std::string& bytes) {
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes) text += cp1252Character(static_cast<unsigned char>(c));
    return text;
}
#endif
