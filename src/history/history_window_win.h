#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/number_text.h"
#include "config/rates_file.h"
#include "config/read_retry.h"
#include "history/custom_range_dialog_win.h"
#include "history/history_sharing_win.h"
#include "history/last_report.h"
#include "history/report_range.h"
#include "history/rates_dialog_win.h"
#include "history/report_sums.h"
#include "history/report_saver_win.h"
#include "history/work_history.h"

// The work-history window: an ordinary top-level window (in the taskbar, movable, resizable,
// never topmost) that shows what layoutHistoryChart lays out for the chosen range, with a
// drop-down list of the ranges, a "Save report..." button, a "Share with other PCs..." (or
// "Stop sharing") button and an "Open in spreadsheet" button. The part between the buttons
// scrolls (scroll bar, mouse wheel, page keys) when the window is too short for it. It lives on the main thread, whose main loop already dispatches its
// messages. Its class, window and fonts exist only while it is open: closing it destroys them
// all, and the next show makes them again. The chosen range stays for the run.
class HistoryWindow {
public:
    HistoryWindow();
    HistoryWindow(const HistoryWindow&) = delete;
    HistoryWindow& operator=(const HistoryWindow&) = delete;
    ~HistoryWindow();

    // Opens the window on `history` and what `sharing` knows of the other PCs, or brings it to
    // the front when it is open already. Says so in a message box when Windows cannot make it.
    void show(WorkHistory& history, HistorySharing& sharing);
    // Once a frame, while open: has the chart drawn again when a second was counted, `today`
    // is a new day or news of the other PCs came since it was drawn; asks sharing's question
    // once each time the window is open while one waits.
    void update(DayNumber today);
    bool isOpen() const { return static_cast<bool>(open_); }
    HWND handle() const;
    // The range shown, as of the last drawing.
    ReportRange shownRange() const { return shownRange_; }
    // What the chosen range goes by besides today: Custom...'s days, the last report's mark.
    RangeMarks rangeMarks() const;
    // A report or an export of `range` was saved on `savedOn`: Since the last report starts
    // after it from now on (unless the range is older than the last one's). Only for saves that
    // succeeded.
    void noteRangeBilled(const ReportRange& range, DayNumber savedOn);

private:
    struct Open;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void scrollTo(int position);
    void chooseRange();
    void pickCustomRange();
    void takeCustomRange();
    void openInSpreadsheet();
    // The sums of the range shown, with every second counted until now, for a report or an
    // export; the range becomes the one whose save moves the mark of Since the last report.
    ReportSums sumsToSave(DayNumber today);
    void saveReport();
    void exportCsv();
    void editRates();
    // Saves what the rates dialog confirmed, unless rates.cfg cannot be read.
    void takeDialogRates();
    // Reads rates.cfg beside the history; a file held by another program is read again later.
    void loadRates();
    void shareOrStop();
    void close();

    WorkHistory* history_ = nullptr;
    HistorySharing* sharing_ = nullptr;
    std::unique_ptr<Open> open_;
    ReportRangeKind range_ = ReportRangeKind::last14Days;
    ReportRange shownRange_;
    int scroll_ = 0;      // pixels the scrolling part is scrolled down
    int wheelRest_ = 0;   // a part of a wheel notch not scrolled yet
    // What the window shows: the history's revision and today, when it was last drawn.
    std::uint64_t drawnRevision_ = 0;
    std::uint64_t drawnSharing_ = 0;
    DayNumber drawnDay_ = 0;
    std::uint64_t askedQuestion_ = 0;  // sharing's question asked while the window is open
    std::wstring ratesPath_;
    RatesLoad rates_;
    ReadRetry ratesRetry_;
    std::uint64_t ratesRevision_ = 1;  // counts the rates read
    NumberMarks marks_;
    // The range's sums as last drawn, and what they were made of: made anew only when the rows
    // read, the other PCs, the day, the range or the rates changed, never for a repaint alone;
    // a counted second is added to them.
    std::shared_ptr<ReportSums> sums_;
    std::uint64_t sumsRevision_ = 0, sumsSharing_ = 0, sumsRates_ = 0;
    DayNumber sumsDay_ = 0;
    // After open_: a save's dialog is owned by the window, so it goes first.
    ReportSaver saver_;
    ReportRange savingRange_;    // the range of the report or export being saved
    LastReport lastReport_;      // where Since the last report starts
    PickedDays customDays_;      // Custom...'s days, as last picked
    bool customPicked_ = false;
    // Owned by the window: they close first (see close).
    CustomRangeDialog customDialog_;
    RatesDialog ratesDialog_;
};
