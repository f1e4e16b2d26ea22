#include <windows.h>

#include <climits>

#include "common/ansi_code_page.h"

namespace {

std::wstring convert(UINT page, DWORD flags, const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(page, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(page, flags, bytes.data(), size, text.data(), length);
    return text;
}

}  // namespace

std::wstring decodeAnsi(const std::string& bytes) {
    if (bytes.empty()) return {};
    if (bytes.size() > INT_MAX) return std::wstring(1, L'\uFFFD');
    UINT page = GetACP();
    // Where the system's ANSI code page is UTF-8, a line that is not UTF-8 came from elsewhere,
    // most likely from a Western PC.
    if (page == CP_UTF8) page = 1252;
    // A double-byte code page refuses broken sequences only when asked to; then each gets the
    // code page's default character.
    std::wstring text = convert(page, MB_ERR_INVALID_CHARS, bytes);
    if (text.empty()) text = convert(page, 0, bytes);
    // The single-byte code pages map the bytes they leave undefined to the C1 control
    // characters of the same value (cp1252's 0x81 to U+0081); none is in a name.
    for (wchar_t& c : text)
        if (c >= 0x80 && c <= 0x9F) c = L'\uFFFD';
    return text;
}
