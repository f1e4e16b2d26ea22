#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The programs whose work counts, as line 1 of data.cfg holds them: executable file names in
// the order they were chosen, separated by "|", which no Windows file name can hold
// ("photoshop.exe|clipstudiopaint.exe"). One name is the line as it always was.

// The menu lists this many and "Add target program" adds no more; a line edited by hand may
// hold more, and all of them count.
constexpr std::size_t menuTargetLimit = 10;

// The names of a line in their order. Spaces around a name are no part of it (Windows keeps no
// trailing space in a file name); empty parts are dropped, and so are repeats as Windows compares
// file names, the first spelling kept. A line without a name gives none: nothing counts then.
std::vector<std::wstring> parseTargetPrograms(const std::wstring& line);

// The line for these names: one name alone is written as it is.
std::wstring targetProgramsLine(const std::vector<std::wstring>& programs);

// The target among `programs` that the program named `name` is, as Windows compares file
// names; its spelling in line 1, or null when it is none of them. A program that could not be
// named (an empty name) is never a target.
const std::wstring* chosenTarget(const std::vector<std::wstring>& programs, const std::wstring& name);
