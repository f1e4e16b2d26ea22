#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "history/history_file.h"
#include "sharing/pc_history_files.h"

// Where the shared folder stands, as the thread that looks after it reports after each change:
// each report is the whole picture.
struct ShareReport {
    std::wstring folder;          // the folder it is about
    std::uint32_t thisId = 0;     // the ID this PC writes under there
    bool readDone = false;        // the folder was looked at
    bool reached = false;         // and could be listed
    std::error_code error;        // why not
    std::vector<std::shared_ptr<const OtherPcHistory>> pcs;  // every other PC once, as last read
    std::vector<std::wstring> notes;  // files that could not be read, or are left out
    bool ownFileWritten = false;  // this PC's file holds the last history handed over
    // Its file is kept as it is until the person says whether its history was corrected or it
    // is a copy of another PC; grows with each new question, 0 while none waits.
    std::uint64_t question = 0;
    std::error_code writeError;   // why it could not be written; empty once it was
};

// The shared histories as the menu and the history window see them, on the main thread: the
// folder this PC shares through, and the latest that is known of the other PCs. Nothing here
// touches the folder.
class SharedHistory {
public:
    // This PC as the legend names it, and its ID.
    void setThisPc(std::wstring name, std::uint32_t id);
    // Shares through `folder` from now on; empty stops sharing and forgets the other PCs.
    void shareThrough(std::wstring folder);
    bool sharing() const { return !folder_.empty(); }
    const std::wstring& folder() const { return folder_; }
    // Takes the latest report; one about another folder than the present one is late and is dropped.
    void take(ShareReport report);

    // All other PCs' seconds on `day`, as last read.
    std::int64_t othersOnDay(DayNumber day) const;
    // All other PCs' seconds of `project` (empty: of none) on `day`, as last read.
    std::int64_t othersOnDay(DayNumber day, const std::wstring& project) const;
    // All other PCs' seconds of `project` over all days, as last read.
    std::int64_t othersOfProject(const std::wstring& project) const;
    const std::vector<std::shared_ptr<const OtherPcHistory>>& others() const { return report_.pcs; }
    // This PC first, then the others by name; a name that two PCs share carries their IDs.
    std::vector<ChartPc> chartPcs(const std::vector<HistoryRow>& ownRows) const;
    // One line for the window about where the histories are shared and what went wrong.
    std::vector<std::wstring> statusLines() const;
    // This PC's file waits until the person says whether its history was corrected or it is a
    // copy of another PC: the question's number, 0 while none waits (ShareReport::question).
    std::uint64_t question() const { return sharing() ? report_.question : 0; }
    // Grows with every change, so that a view can tell that it is out of date.
    std::uint64_t revision() const { return revision_; }

    // share.cfg could not be read or written: why, for the window to say.
    std::error_code settingsError;

private:
    // Every other PC's `sum` of its rows; nothing while not sharing.
    template <class RowsSum>
    std::int64_t sumOfOthers(RowsSum sum) const;

    std::wstring thisPc_;
    std::uint32_t thisId_ = 0;
    std::wstring folder_;
    ShareReport report_;
    bool reported_ = false;
    std::uint64_t revision_ = 0;
};
