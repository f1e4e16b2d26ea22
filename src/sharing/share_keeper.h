#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sharing/pc_history_files.h"
#include "sharing/share_schedule.h"
#include "sharing/shared_history.h"

// What is done for one shared folder, round by round, on the thread that looks after it: this
// PC's file written when rows are handed over, written again when the folder is back or the
// file has gone from it, the other PCs' files read when the schedule says so (and, while the
// folder is out of reach, counted as they were last read). The caller waits
// between rounds (waitMs) and passes the time in; nothing here waits or reads a clock.
class ShareKeeper {
public:
    ShareKeeper(std::wstring folder, std::wstring ownFileName, std::uint32_t ownId);

    // What came in since the last round.
    struct Round {
        std::optional<std::vector<HistoryRow>> rows;  // this PC's file is to hold these
        bool readWanted = false;  // sharing started, the window opened
        bool watching = false;    // the history window is open
        bool changed = false;     // the folder changed
    };
    // Does what is due at `now`. A report when anything was written or read, nullopt otherwise.
    std::optional<ShareReport> round(Round round, std::uint64_t now);
    // How long after `now` the next round is due by itself.
    std::uint64_t waitMs(std::uint64_t now) const { return schedule_.waitMs(now); }
    // Whether the folder is to be watched for changes: the window is open and the folder there.
    bool watchWanted() const { return watching_ && readOnce_ && lastRead_.reached; }
    const std::wstring& folder() const { return folder_.folder(); }

private:
    bool write(std::uint64_t now);

    PcFolder folder_;
    ShareSchedule schedule_;
    // The rows last handed over, kept to write them again should the folder lose the file.
    std::optional<std::vector<HistoryRow>> latest_;
    bool unwritten_ = false;
    std::uint64_t lastWrite_ = 0;
    std::error_code writeError_;
    FolderRead lastRead_;
    bool readOnce_ = false;
    bool watching_ = false;
};
