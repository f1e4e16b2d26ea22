#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "history/history_sharing_win.h"
#include "history/work_history.h"

// The work-history window: an ordinary top-level window (in the taskbar, movable, resizable,
// never topmost) that shows the chart of layoutHistoryChart, a "Share with other PCs..." (or
// "Stop sharing") button and an "Open in spreadsheet" button. It lives on the main thread,
// whose main loop already dispatches its messages. Its class, window and fonts exist only while
// it is open: closing it destroys them all, and the next show makes them again.
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
    // is a new day or news of the other PCs came since it was drawn.
    void update(DayNumber today);
    bool isOpen() const { return static_cast<bool>(open_); }
    HWND handle() const;

private:
    struct Open;

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint();
    void placeButtons();
    void openInSpreadsheet();
    void shareOrStop();
    void close();

    WorkHistory* history_ = nullptr;
    HistorySharing* sharing_ = nullptr;
    std::unique_ptr<Open> open_;
    // What the window shows: the history's revision and today, when it was last drawn.
    std::uint64_t drawnRevision_ = 0;
    std::uint64_t drawnSharing_ = 0;
    DayNumber drawnDay_ = 0;
};
