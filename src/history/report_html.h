#pragma once

#include <string>

#include "common/calendar.h"
#include "history/report_sums.h"

// The report of a range as one self-contained HTML file, UTF-8: inline CSS and SVG, no script,
// nothing it loads from anywhere, so that it opens the same on any machine, offline, and can
// be attached to an invoice. It holds the range's dates, the total, a bar chart split by
// project with its legend, the project and program table, the PCs while sharing and the table
// of the days. Printed, it fits A4 and Letter alike (margins both take), no table line is
// split between pages, and two weeks take one or two pages.

struct ReportOptions {
    bool shared = false;  // the PCs' table: every PC counts, and each one's part is named
    LocalMoment written;  // when the report was made, as the local clock reads it
    NumberMarks marks{};  // the decimal numbers of the project table and amounts
};

std::string reportHtml(const ReportSums& sums, const ReportOptions& options);

// Text as HTML shows it as typed, in UTF-8: & < > " ' become references, so a name is never
// markup, in element content or in an attribute alike. Control characters, which HTML does
// not allow, become U+FFFD; tab and line ends stay.
std::string htmlText(const std::wstring& text);

// The chart alone: an <svg> element for inline use, bars in the colours of projectColour.
std::string reportChartSvg(const ReportSums& sums);
