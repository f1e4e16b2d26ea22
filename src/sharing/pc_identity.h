#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "history/history_file.h"

// How a PC stays itself in the shared folder. Its ID starts as the one its MachineGuid gives,
// so that a PC that shared before keeps its file. Neither the ID nor the name can tell a PC
// cloned from one disk image (same MachineGuid) from a PC renamed: what tells is what the PC
// last wrote. So it keeps, in share-id.cfg beside share.cfg, its ID and the mark (size and
// hash) of the bytes it last wrote to its file, and judges every file of its ID by it:
// - its own file under its present name, holding what it last wrote, or only rows its history
//   holds too (an older copy that a sync service handed back, or a file written before it kept
//   share-id.cfg), is its own, written over;
// - a file of its ID under the name it last wrote under (it has been renamed since) holding
//   what it wrote there is its earlier file: removed once the file under its new name is
//   written;
// - a file of its ID under that name holding only rows its history holds (an older copy), or,
//   before the PC kept share-id.cfg (it shared with an earlier version, or the file was lost),
//   any file of its ID that does, may be its own from an earlier name: it is left as it is and
//   not counted, and its name is kept in share-id.cfg to be judged so from then on;
// - any other file of its ID was written by another PC with the same ID, a clone: this PC then
//   takes a new ID at random, writes its whole history under it, and removes its files of the
//   old ID that it is sure are its own. The clone's file stays and counts.
// Nothing else is ever removed, and a file is removed only while it holds exactly what this PC
// wrote there (or, for its own file under its present name, what it would write over anyway).

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
//   earlier,117013,9f3a6c0e21d4b7a8,history-DESKTOP-8F3K2L-1a2b3c4d.csv
//   held,history-OLD-NAME-1a2b3c4d.csv
struct PcIdentityState {
    std::uint32_t id = 0;
    std::optional<PcFileMark> written;  // the file it last wrote, and what it wrote there
    std::vector<PcFileMark> earlier;    // its earlier files, removed while they still hold that
    std::vector<std::wstring> held;     // files that may be its own from before it kept this
};
inline bool operator==(const PcIdentityState& a, const PcIdentityState& b) {
    return a.id == b.id && a.written == b.written && a.earlier == b.earlier && a.held == b.held;
}

std::wstring pcIdentityPath(const std::wstring& stateFolder);
std::string formatPcIdentity(const PcIdentityState& state);
// Nullopt for a text that is not a whole share-id.cfg.
std::optional<PcIdentityState> parsePcIdentity(const std::string& bytes);
// Nullopt when there is no share-id.cfg (`found` false) or it cannot be read or used.
std::optional<PcIdentityState> readPcIdentity(const std::wstring& path, bool& found);
std::error_code writePcIdentity(const std::wstring& path, const PcIdentityState& state);

// A file in the shared folder that carries this PC's ID.
struct OwnIdFile {
    std::wstring fileName;
    std::optional<ContentMark> mark;  // of its bytes; nullopt when they could not be read now
    bool tooLarge = false;            // larger than any history: not this PC's
    bool clean = true;                // every line of it could be read, as in all this PC writes
    std::vector<HistoryRow> rows;
};

// What the files of this PC's ID say about it.
struct IdentityVerdict {
    bool clone = false;               // another PC writes under this ID: a new one is needed
    std::vector<PcFileMark> remove;   // this PC's files to remove once its file is written
    std::vector<std::wstring> held;   // files that may be its own from before: not counted
    bool ownFileUnknown = false;      // its file could not be read now: not written over now
};

// Judges `files` (all of this PC's ID) by `state`. `unrecorded`: the PC has shared before but
// keeps no share-id.cfg, so its files are known by their rows alone. `ownFileName` is the file
// it writes now; `history` its whole history.
IdentityVerdict judgeOwnIdFiles(const PcIdentityState& state, bool unrecorded, const std::wstring& ownFileName,
                                const std::vector<OwnIdFile>& files, const std::vector<HistoryRow>& history);
