#pragma once

#include <functional>
#include <optional>
#include <string>

// UTF-8 <-> wide text without the platform's locale. Wide text is UTF-16 where wchar_t has
// 16 bits (Windows) and UTF-32 elsewhere; both directions handle either.

// Invalid sequences and lone surrogates become U+FFFD.
std::string toUtf8(const std::wstring& text);
std::wstring fromUtf8(const std::string& text);

// Strict decoding: nullopt unless the bytes are well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
std::optional<std::wstring> decodeUtf8Strict(const std::string& bytes);

// A file's bytes as text, as people's editors and spreadsheets save them: a leading byte-order
// mark dropped, then each line on its own (a line ending at LF, which no code page uses in a
// longer sequence) UTF-8 when it is well-formed UTF-8, else in the ANSI code page (see
// decodeAnsi). A spreadsheet's ANSI save of a UTF-8 file changes only the lines a person typed
// in, so the others must stay UTF-8.
std::wstring decodeFileText(const std::string& bytes);

// Whether two file names name the same file as Windows compares them: ordinal, ignoring case
// (CompareStringOrdinal with bIgnoreCase). A process's image name comes back as the file is
// spelt on disk ("Photoshop.exe"), whatever a person typed or a default says. Elsewhere, where
// only the tests run, only ASCII letters fold.
bool sameFileName(const std::wstring& a, const std::wstring& b);

// Where `part` first occurs in `text` at or after `from`, letter case aside as Windows compares
// names (FindStringOrdinal with bIgnoreCase); npos when nowhere. Elsewhere, where only the tests
// run, only ASCII letters fold.
std::size_t findIgnoringCase(const std::wstring& text, const std::wstring& part, std::size_t from = 0);

// Whether Windows counts `c` a letter or a digit (IsCharAlphaNumericW). Elsewhere only ASCII's do.
bool isLetterOrDigit(wchar_t c);

// `text` as it fits in `width` as `measure` measures it: whole, or cut short with "…" after
// the most of it that fits with it (spaces before the "…" dropped, no surrogate pair split);
// "…" alone when nothing does.
std::wstring shortenToFit(const std::wstring& text, float width, const std::function<float(const std::wstring&)>& measure);
