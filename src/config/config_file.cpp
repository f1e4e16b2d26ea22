#include "config/config_file.h"

#include <cstdint>
#include <cstdio>
#include <stdexcept>

#include "common/text.h"
#include "config/file_system.h"

namespace {

// A line is UTF-8 only when it needs to be: valid UTF-8 with a character beyond Latin-1. A
// byte-order mark does not count, so a file saved "with BOM" keeps its first bytes as the
// three characters they are in Latin-1, as it always has.
std::wstring decodeLine(const std::string& bytes) {
    if (const auto utf8 = decodeUtf8Strict(bytes)) {
        for (wchar_t c : *utf8)
            if (static_cast<std::uint32_t>(c) > 0xFF && c != 0xFEFF) return *utf8;
    }
    std::wstring latin1;
    latin1.reserve(bytes.size());
    for (char c : bytes) latin1 += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return latin1;
}

void encodeLine(const std::wstring& line, std::string& out) {
    for (wchar_t c : line) {
        if (static_cast<std::uint32_t>(c) > 0xFF) {
            out += toUtf8(line);
            return;
        }
    }
    for (wchar_t c : line) out += static_cast<char>(static_cast<unsigned char>(c));
}

void checkIndex(const std::vector<std::wstring>& lines, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= lines.size())
        throw std::out_of_range("invalid vector subscript");
}

std::string readAll(const std::wstring& path) {
    std::string bytes;
    std::FILE* file = openFile(path, "rb");
    if (!file) return bytes;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

// Runs a standard conversion and gives its two failures the settings files' fixed texts.
template <class Convert>
auto convert(Convert standard, const std::wstring& text, const char* invalid, const char* outOfRange) {
    try {
        return standard(text);
    } catch (const std::invalid_argument&) {
        throw std::invalid_argument(invalid);
    } catch (const std::out_of_range&) {
        throw std::out_of_range(outOfRange);
    }
}

}  // namespace

std::vector<std::wstring> parseLines(const std::string& bytes) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool terminated = end != std::string::npos;
        if (!terminated) end = bytes.size();
        std::size_t textEnd = end;
        // Only a CR right before the LF belongs to the line end.
        if (terminated && textEnd > start && bytes[textEnd - 1] == '\r') --textEnd;
        lines.push_back(decodeLine(bytes.substr(start, textEnd - start)));
        start = terminated ? end + 1 : end;
    }
    return lines;
}

std::string formatLines(const std::vector<std::wstring>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        encodeLine(line, bytes);
        bytes += "\r\n";
    }
    return bytes;
}

void ConfigFile::load(std::wstring newPath) {
    path = std::move(newPath);
    lines = parseLines(readAll(path));
}

std::wstring ConfigFile::getString(int index) const {
    checkIndex(lines, index);
    const std::wstring& line = lines[static_cast<std::size_t>(index)];
    return line.substr(0, line.find(L'\t'));
}

int ConfigFile::getInt(int index) const {
    return convert([](const std::wstring& text) { return std::stoi(text); }, getString(index),
                   "invalid stoi argument", "stoi argument out of range");
}

std::error_code ConfigFile::set(int index, std::wstring text) {
    checkIndex(lines, index);
    lines[static_cast<std::size_t>(index)] = std::move(text);
    return writeFileAtomically(path, formatLines(lines));
}

float parseFloat(const std::wstring& text) {
    return convert([](const std::wstring& value) { return std::stof(value); }, text, "invalid stof argument",
                   "stof argument out of range");
}
