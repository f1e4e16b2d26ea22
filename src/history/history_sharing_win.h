#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "history/history_file.h"

// What the work-history window needs of sharing the history with the user's other PCs: what
// to show, and its share button. Sharing lives above the history and implements this, so the
// window reaches it without knowing more of it.
class HistorySharing {
public:
    virtual ~HistorySharing() = default;

    // Whether the history is shared now: the button then reads "Stop sharing".
    virtual bool sharing() const = 0;
    // The PCs of the chart: this PC first, with `ownRows`, then the others.
    virtual std::vector<ChartPc> chartPcs(const std::vector<HistoryRow>& ownRows) const = 0;
    // Lines about where the histories are shared and what went wrong.
    virtual std::vector<std::wstring> statusLines() const = 0;
    // Grows with every change of the above, so that the window can tell it is out of date.
    virtual std::uint64_t revision() const = 0;
    // While the window is open, the other PCs' files are read at once and on every change.
    virtual void windowOpened() = 0;
    virtual void windowClosed() = 0;
    // This PC's file in the shared folder waits for the person to say whether its history was
    // corrected or this PC is a copy of another PC: the question's number, 0 while none waits.
    virtual std::uint64_t question() const = 0;
    // Asks that question, modal to `owner`, and acts on the answer.
    virtual void askQuestion(HWND owner) = 0;
    // The share button: stops sharing, or asks for a folder in Windows' folder picker (modal to
    // `owner`) and shares `rows` through it. Says in a message box what went wrong.
    virtual void shareOrStop(HWND owner, const std::vector<HistoryRow>& rows) = 0;
};
