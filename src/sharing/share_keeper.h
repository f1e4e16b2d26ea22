#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sharing/other_pcs.h"
#include "sharing/pc_folder.h"
#include "sharing/pc_identity.h"
#include "sharing/share_schedule.h"
#include "sharing/shared_history.h"

// This PC as the thread that looks after the shared folder needs it.
struct ThisPc {
    std::wstring name;            // the computer's name
    std::uint32_t machineId = 0;  // the ID its MachineGuid gives: the one it starts with
    std::wstring identityPath;    // share-id.cfg
    bool sharedBefore = false;    // share.cfg was there when the program started
    // A new ID drawn at random; nullopt when none could be drawn.
    std::function<std::optional<std::uint32_t>()> randomId;
};

// What is done for one shared folder, round by round, on the thread that looks after it: the
// files of this PC's ID judged (pc_identity.h) before its file is written, its file written
// when rows are handed over (and again when the folder is back or the file has gone from it),
// the other PCs' files read one a round when the schedule says so (and, while the folder is
// out of reach, counted as they were last read), and copies of its own file under other IDs
// removed once its file is written. share-id.cfg is read before anything else is done (again
// and again while it cannot be read for a moment, never written over before), records each
// write of the file before it is made, and, when it is lost, is made anew from the files of
// this PC's name that its history holds, the newest giving the ID. The caller waits between
// rounds (waitMs) and passes the time in; nothing here waits or reads a clock.
class ShareKeeper {
public:
    ShareKeeper(std::wstring folder, ThisPc pc);

    // What came in since the last round.
    struct Round {
        std::optional<PackedHistory> rows;  // this PC's file is to hold these
        bool readWanted = false;  // sharing started, the window opened
        bool watching = false;    // the history window is open
        bool changed = false;     // the folder changed
        bool whole = true;        // with rows: the history was read whole, and they are all of it
        PcAnswer answer = PcAnswer::none;  // the person's answer to the question the report asks
    };
    // Does what is due at `now`. A report when anything was written or read, nullopt otherwise.
    std::optional<ShareReport> round(Round round, std::uint64_t now);
    // How long after `now` the next round is due by itself: at once while files wait to be read.
    std::uint64_t waitMs(std::uint64_t now) const;
    // Whether the folder is to be watched for changes: the window is open and the folder there.
    bool watchWanted() const { return watching_ && readOnce_ && reached_; }
    const std::wstring& folder() const { return folder_.folder(); }

private:
    using Wait = IdentityVerdict::Wait;

    std::wstring ownFileName() const { return pcHistoryFileName(pc_.name, identity_.id); }
    bool readIdentity(std::uint64_t now);  // false while share-id.cfg cannot be read
    bool startReading(std::uint64_t now);
    std::optional<OwnIdFile> ownIdFile(const PcFileEntry& entry) const;
    void rebuildIdentity(const PcListing& listing);
    bool judge(const PcListing& listing);  // true when its file is to be written now
    bool moveToNewId(const PcListing& listing, const std::vector<PcFileMark>& remove);
    bool write(std::uint64_t now);
    bool record();  // share-id.cfg takes identity_; false when it could not
    void removeCopies();
    ShareReport report() const;

    PcFolder folder_;
    ThisPc pc_;
    ShareSchedule schedule_;
    PcIdentityState identity_;
    bool identityRead_ = false;   // share-id.cfg was read, or is not there
    std::error_code identityReadError_;
    std::uint64_t identityRetryAt_ = 0, identityRetryMs_ = 1000;
    bool unrecorded_ = false;   // no record settles which files are its own, although it shared before
    bool rebuildDue_ = false;   // ... and the record is to be made anew from the folder's files
    bool stateUnreadable_ = false;  // share-id.cfg was there but held no record, until written anew
    std::error_code recordError_;   // why share-id.cfg could not be written last
    bool judged_ = false;      // the files of its ID in this folder were judged
    bool ownFileUnknown_ = false;
    Wait wait_ = Wait::none;   // why its file is kept as it is now
    std::optional<ContentMark> asked_;  // with Wait::answer: the file the person is asked about
    PcAnswer answer_ = PcAnswer::none;
    ContentMark answeredFor_;
    std::wstring clash_;            // why this PC shares its ID with another PC still
    // The rows last handed over, kept to write them again should the folder lose the file.
    std::optional<PackedHistory> latest_;
    bool latestWhole_ = false;
    bool writePending_ = false;  // rows came while share-id.cfg could not be read
    bool unwritten_ = false;
    bool wroteOnce_ = false;     // its file was written since sharing through this folder began
    std::uint64_t lastWrite_ = 0;
    std::error_code writeError_;
    OtherPcFiles others_;
    std::vector<PcFileEntry> toRead_;  // the other PCs' files still to read in this look
    std::vector<std::wstring> syncCopies_;
    std::vector<PcFileMark> copiesTried_;  // copies of its file removed, or tried: once each
    bool ownFileFound_ = false;
    bool readOnce_ = false;
    bool reached_ = false;
    std::error_code readError_;
    bool watching_ = false;
};
