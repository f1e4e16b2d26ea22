#pragma once

#include <windows.h>

#include <optional>

#include "history/history_layout.h"
#include "history/report_range.h"

// The work-history window's controls: the drop-down list of ranges, "Save report...", the
// share button and "Open in spreadsheet", made in the window and destroyed with it. They take
// the keys a dialog would give them, since the program's main loop has no dialog manager: Tab
// and Shift+Tab go from one to the next, Enter presses a button, and the keys that scroll a
// page (and the mouse wheel, over the closed list too) scroll the window. They tell the window
// what happens with WM_COMMAND, as controls do.
class HistoryControls {
public:
    static constexpr int spreadsheetId = 1;
    static constexpr int shareId = 2;
    static constexpr int rangeId = 3;
    static constexpr int saveId = 4;
    static constexpr int exportId = 5;
    static constexpr int ratesId = 6;

    // Makes the controls in `window`, the list showing `range`, the share button stopping when
    // `sharing`. Must go after the window (their keys still come here until then).
    HistoryControls(HWND window, ReportRangeKind range, bool sharing);
    HistoryControls(const HistoryControls&) = delete;
    HistoryControls& operator=(const HistoryControls&) = delete;

    // The font every control draws with; it must live as long as they do, or until the next.
    void setFont(HFONT font);
    // Puts the controls where `chart` has them.
    void place(const HistoryChart& chart);
    // The share button's words: "Stop sharing" while `sharing`, else "Share with other PCs...".
    void showSharing(bool sharing);
    // The focus to the control that had it last, else to the list.
    void focus() const;
    // The range the list shows.
    std::optional<ReportRangeKind> chosenRange() const;
    // Has the list show `range` again (a Custom... that was cancelled).
    void showRange(ReportRangeKind range);

private:
    static LRESULT CALLBACK procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);

    HWND rangeChoice_ = nullptr;  // in the order Tab goes through them
    HWND ratesButton_ = nullptr;
    HWND exportButton_ = nullptr;
    HWND saveButton_ = nullptr;
    HWND shareButton_ = nullptr;
    HWND button_ = nullptr;
    HWND focused_ = nullptr;
    bool shareButtonStops_ = false;
    ChartBox placed_[6];  // where the controls are, in that order
};
