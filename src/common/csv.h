#pragma once

#include <string>

// CSV as spreadsheets read it. Which separator a spreadsheet expects depends on the user's
// locale (Excel splits a file it opens at the locale's list separator, ";" in much of Europe
// and South America), and without a UTF-8 byte-order mark Excel reads a file in the ANSI code
// page; so every file for people says its form, and machine files keep the plain one.

enum class CsvQuoting {
    asNeeded,  // only fields that hold the separator, a quote or a line end, or begin or end with a blank
    always,    // every field
};

struct CsvForm {
    char separator = ',';
    bool byteOrderMark = false;  // the file begins with EF BB BF
    CsvQuoting quoting = CsvQuoting::asNeeded;
};
inline bool operator==(const CsvForm& a, const CsvForm& b) {
    return a.separator == b.separator && a.byteOrderMark == b.byteOrderMark && a.quoting == b.quoting;
}

// "," without a mark: the files the program alone reads, as earlier versions wrote them.
constexpr CsvForm plainCsv{};

// The form a new file for a spreadsheet takes in a locale whose list separator is
// `listSeparator`: ";" where that is ";", else "," (a locale's "." or a longer one would give a
// file no spreadsheet elsewhere reads), always with the mark.
CsvForm spreadsheetCsv(const std::wstring& listSeparator);

// Whether `text` is quoted as a field in `form`.
bool csvNeedsQuotes(const std::wstring& text, const CsvForm& form);

// Appends `text` as one field in UTF-8, quoted when `form` asks for it ("" for a quote inside).
// The separator between fields is the caller's.
void appendCsvField(std::string& bytes, const std::wstring& text, const CsvForm& form);

// The byte-order mark, when `form` has one: what a file in that form begins with.
std::string csvStart(const CsvForm& form);
