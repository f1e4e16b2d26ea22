#pragma once

#include <string>

// Which comes first in a date written with the year last, such as 12/5/2026: the day (5 December)
// or the month (12 May). Spreadsheets save dates in the user's short date format, whose order
// differs between countries.
enum class DateOrder { dayFirst, monthFirst };

// The order of a Windows short-date pattern ("M/d/yyyy", "dd/MM/yyyy", "d.M.yyyy"): whichever of
// "d" and "M" comes first. Text in single quotes is literal. A pattern that puts the year first
// ("yyyy-MM-dd") or is empty says nothing about dates written with the year last, and gives
// dayFirst, the order of most of the world.
DateOrder dateOrderOfPattern(const std::wstring& pattern);
