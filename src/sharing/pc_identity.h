#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "history/history_file.h"
#include "history/packed_history.h"

// How a PC stays itself in the shared folder. Its ID starts as the one its MachineGuid gives,
// so that a PC that shared before keeps its file. Neither the ID nor the name can tell a PC
// cloned from one disk image (same MachineGuid) from a PC renamed: what tells is what the PC
// last wrote. So it keeps, in share-id.cfg beside share.cfg, its ID and the mark (size and
// hash) of the bytes it last wrote to its file and of those it is about to write (a kill
// between the file and the record leaves the file holding the latter), and judges every file
// of its ID by them:
// - its own file under its present name, holding what it last wrote or is writing, or only
//   rows its history holds too (an older copy that a sync service handed back), is its own,
//   written over, whatever its size; the listing's size and time, kept from its last write,
//   say so without reading it;
// - without a record that settles it (it shared with a version that kept none, or the record
//   is lost), that file may also hold more than its history: when no row of its history
//   exceeds the file's, the history was corrected (rows lowered or removed; a clone's file
//   would lack this PC's later work), and the file is its own. Where the rows cannot tell (a
//   correction that also moved time to another row) the person is asked; until then, and while
//   its history is empty or not read whole, the file is kept as it is and nothing written;
// - a file of its ID under the name it last wrote under (it has been renamed since) holding
//   what it wrote there is its earlier file: removed once the file under its new name is
//   written;
// - a file of its ID under that name holding only rows its history holds (an older copy), or,
//   without a record, any file of its ID that does, may be its own from an earlier name: it is
//   left as it is and not counted, and its name is kept in share-id.cfg to be judged so from
//   then on;
// - any other file of its ID was written by another PC with the same ID, a clone: this PC then
//   takes a new ID at random, writes its whole history under it, and removes its files of the
//   old ID that it is sure are its own. The clone's file stays and counts.
// Nothing else of its ID is ever removed, and such a file is removed only while it holds
// exactly what this PC wrote there (or, for its own file under its present name, what it would
// write over anyway). Files of its name under other IDs whose every row its history holds are
// copies of its own (an earlier version moved to a new ID every minute when the file was
// large): not counted, and removed once its present file is written (share_keeper.h).

// A file this PC wrote, and the mark of what it wrote there.
struct PcFileMark {
    std::wstring fileName;
    ContentMark mark;
};
inline bool operator==(const PcFileMark& a, const PcFileMark& b) {
    return a.fileName == b.fileName && a.mark == b.mark;
}

// share-id.cfg, UTF-8 with CR LF line ends:
//   Ardeno Time: this PC in the shared folder
//   id,1a2b3c4d
//   written,117013,9f3a6c0e21d4b7a8,history-STUDIO-1a2b3c4d.csv
//   listed,134102391823456789
//   next,117064,0c1d2e3f4a5b6c7d,history-STUDIO-1a2b3c4d.csv
//   earlier,117013,9f3a6c0e21d4b7a8,history-DESKTOP-8F3K2L-1a2b3c4d.csv
//   held,history-OLD-NAME-1a2b3c4d.csv
// Every line after the ID may be missing; "listed" (the listing's time of the written file,
// in the platform's units) follows "written". Earlier versions wrote no "listed" and "next".
struct PcIdentityState {
    std::uint32_t id = 0;
    std::optional<PcFileMark> written;  // the file it last wrote, and what it wrote there
    std::optional<std::int64_t> listed; // the listing's time of that file once written
    std::optional<PcFileMark> next;     // the file it is writing, and what goes into it
    std::vector<PcFileMark> earlier;    // its earlier files, removed while they still hold that
    std::vector<std::wstring> held;     // files that may be its own from before it kept this
};
inline bool operator==(const PcIdentityState& a, const PcIdentityState& b) {
    return a.id == b.id && a.written == b.written && a.listed == b.listed && a.next == b.next &&
           a.earlier == b.earlier && a.held == b.held;
}

std::wstring pcIdentityPath(const std::wstring& stateFolder);
std::string formatPcIdentity(const PcIdentityState& state);
// Nullopt for a text that is not a whole share-id.cfg.
std::optional<PcIdentityState> parsePcIdentity(const std::string& bytes);

// What reading share-id.cfg found.
struct PcIdentityRead {
    std::optional<PcIdentityState> state;  // when it was there and whole
    bool found = false;                    // something is there
    std::error_code error;                 // it is there but could not be read now: read it again
};
PcIdentityRead readPcIdentity(const std::wstring& path);
std::error_code writePcIdentity(const std::wstring& path, const PcIdentityState& state);

// A file in the shared folder that carries this PC's ID.
struct OwnIdFile {
    std::wstring fileName;
    std::optional<ContentMark> mark;  // of its bytes; nullopt when they could not be read now
    bool asWritten = false;           // the listing shows it as this PC left it: not read
    bool tooLarge = false;            // larger than its rows are read for
    bool clean = true;                // every line of it could be read, as in all this PC writes
    PackedHistory rows;
};

// What the person said when asked about a file of this PC's name and ID that holds more than
// its history.
enum class PcAnswer { none, corrected, copy };

// This PC's history and what the person said about it.
struct OwnHistory {
    const PackedHistory& rows;
    bool whole = true;  // read whole: the rows are all it holds
    PcAnswer answer = PcAnswer::none;
    ContentMark answeredFor;  // the mark of the file the answer is about
};

// What the files of this PC's ID say about it.
struct IdentityVerdict {
    bool clone = false;               // another PC writes under this ID: a new one is needed
    std::vector<PcFileMark> remove;   // this PC's files to remove once its file is written
    std::vector<std::wstring> held;   // files that may be its own from before: not counted
    bool ownFileUnknown = false;      // its file could not be read now: not written over now
    // Why its file is kept as it is for now, nothing written: none, its history is not read
    // whole or is empty, or the person is to say whether it was corrected (`asked`: the file).
    enum class Wait { none, history, empty, answer } wait = Wait::none;
    std::optional<ContentMark> asked;
};

// Judges `files` (all of this PC's ID) by `state`. `unrecorded`: the PC has shared before but
// keeps no record that settles which files are its own, so they are known by their rows alone.
// `ownFileName` is the file it writes now.
IdentityVerdict judgeOwnIdFiles(const PcIdentityState& state, bool unrecorded, const std::wstring& ownFileName,
                                const std::vector<OwnIdFile>& files, const OwnHistory& history);
