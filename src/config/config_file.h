#pragma once

#include <string>
#include <system_error>
#include <vector>

// A small settings file of one value per line, addressed by zero-based line index. A TAB may
// start a remark after a value; readers see only the text before it. Every change rewrites
// the whole file at once.
//
// On disk one byte is one character (U+0000 to U+00FF) and every line ends with CR LF. A line
// holding characters above U+00FF is written as UTF-8, and on reading a line that is valid
// UTF-8 with at least one such character is read as UTF-8; every other line byte by byte.
//
// Bad indexes and numbers throw std::out_of_range or std::invalid_argument with the fixed
// texts "invalid vector subscript", "invalid stoi argument", "stoi argument out of range",
// "invalid stof argument" and "stof argument out of range".
class ConfigFile {
public:
    // Replaces the lines with the file's content; a file that cannot be read gives no lines.
    void load(std::wstring path);
    std::wstring getString(int index) const;
    int getInt(int index) const;
    // Replaces a whole existing line (remark included) and writes every line through. When the
    // write fails the list still keeps the new value, and the next set writes everything again;
    // the system's reason is returned so that the user can be told.
    std::error_code set(int index, std::wstring text);

    std::wstring path;
    std::vector<std::wstring> lines;
};

// The float conversion the skin uses for its font size, with the same failure pattern as getInt.
float parseFloat(const std::wstring& text);

// Splits file bytes into lines as load does; exposed for the fuzz target and the tests.
std::vector<std::wstring> parseLines(const std::string& bytes);

// The bytes that set writes for these lines.
std::string formatLines(const std::vector<std::wstring>& lines);
