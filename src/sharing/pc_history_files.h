#pragma once

#include <cstdint>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "history/history_file.h"
#include "history/packed_history.h"

// The files through which the user's PCs share their histories: in one folder that a sync
// service (OneDrive, Dropbox, Syncthing) or a network share keeps the same on every PC, each PC
// writes only its own file, history-NAME-ID.csv, and reads everyone else's. No two PCs ever
// write the same file, so a sync service never sees a conflict.
//   NAME  the computer's name, made safe for a file name
//   ID    eight lower-case hexadecimal digits that stay with the PC, so that two PCs of one
//         name write two files, and a PC renamed is still known as itself (see pc_identity.h)
// A file is in the format of history.csv and holds that PC's rows only.

// Which PC wrote a file, as its name says.
struct PcFileName {
    std::wstring name;
    std::uint32_t id = 0;
};

// The 32-bit FNV-1a hash of `bytes`.
std::uint32_t fnv1a32(const std::string& bytes);
// This PC's ID from the machine's MachineGuid, braces and letter case aside.
std::uint32_t pcIdFromMachineGuid(const std::wstring& machineGuid);
// Eight lower-case hexadecimal digits.
std::wstring pcIdText(std::uint32_t id);
// A computer's name as a file name may carry it: characters Windows does not allow in file
// names become "_", trailing dots and spaces go, and nothing at all becomes "PC".
std::wstring fileNameSafe(const std::wstring& computerName);
// "history-NAME-ID.csv".
std::wstring pcHistoryFileName(const std::wstring& computerName, std::uint32_t id);
// The PC a file name stands for; nullopt for anything that is not such a file (a sync
// service's temporary or conflict file, this program's own temporary file, anything else).
std::optional<PcFileName> parsePcHistoryFileName(const std::wstring& fileName);

// Another PC's history as far as it could be read.
struct OtherPcHistory {
    std::wstring name;
    std::uint32_t id = 0;
    std::wstring fileName;
    PackedHistory rows;
    std::wstring problem;  // "the history of NAME could not be read: line 5"; empty when it could
    bool overBudget = false;  // its rows would take more memory than was left for them: none kept
};

// Reads the text of another PC's file as tolerantly as history.csv. A last line without its
// line end is being written by a sync in progress: it is left out, and the rest counts. Rows
// that can be read count even when others cannot; the problem names the first lines that could
// not. The text is read `pieceBytes` at a time (at line ends), so that what reading it takes
// beside its rows stays small whatever its length; a file whose dates have the year last
// settles their order piece by piece. Once its rows take more than `memoryCap` bytes, reading
// stops and it keeps none (overBudget).
OtherPcHistory readOtherPcText(const PcFileName& pc, const std::wstring& fileName, const std::string& bytes,
                               std::size_t pieceBytes = 65536, std::size_t memoryCap = SIZE_MAX);

// Twenty years of a busy freelancer's projects (five programs and two projects a day) come to
// about 2.4 MB, a working life of fifty years to 6 MB: a file larger than this is no history,
// and is left out without being opened.
constexpr std::uint64_t largestPcFileBytes = 8 * 1024 * 1024;
// Other PCs' rows are kept in memory up to this many bytes together, packed (twenty years of a
// busy freelancer take about 1.2 MB); further files are left out.
constexpr std::size_t keptPcRowsBytes = 16 * 1024 * 1024;
// "400 MB", "2.1 MB", "12 KB".
std::wstring sizeText(std::uint64_t bytes);
// "the history of HUGE is 400 MB, too large to be a history: left out"
std::wstring tooLargeText(const std::wstring& name, std::uint64_t bytes);
// "the history of NAME is left out: the histories in the shared folder take more than 16 MB of memory"
std::wstring tooManyText(const std::wstring& name, std::size_t keptBytes = keptPcRowsBytes);

// The copies that sync services make of a file when two PCs changed it at once, and which no
// PC writes: Syncthing's "history-A-0000000a.sync-conflict-20261209-101500-ABCDEFG.csv",
// Dropbox's "history-A-0000000a (LAPTOP's conflicted copy 2026-12-09).csv", Google Drive's
// "history-A-0000000a (1).csv"; the PC file each copies, or nullopt for any other name.
std::optional<std::wstring> syncCopyOriginal(const std::wstring& fileName);
// OneDrive's copies add "-COMPUTERNAME" to the name instead, and where that computer's name is
// eight hexadecimal digits, or ends in "-" and eight of them, the copy still reads as a PC
// file: "history-A-0000000a-1a2b3c4d.csv". The PC files it could be a copy of
// ("history-A-0000000a.csv"), none for a name that cannot be such a copy. It is a copy only
// while one of them is there too: a PC really named so still counts.
std::vector<std::wstring> oneDriveCopyOriginals(const std::wstring& fileName);
// "copies that a sync service made, not counted, which may be deleted: NAME, NAME and 2 more"
std::wstring syncCopiesText(const std::vector<std::wstring>& fileNames);
