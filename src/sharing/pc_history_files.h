#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "history/history_file.h"

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
    std::vector<HistoryRow> rows;
    std::wstring problem;  // "the history of NAME could not be read: line 5"; empty when it could
};

// Reads the text of another PC's file as tolerantly as history.csv. A last line without its
// line end is being written by a sync in progress: it is left out, and the rest counts. Rows
// that can be read count even when others cannot; the problem names the first lines that could
// not. The text is read `pieceBytes` at a time (at line ends), so that what reading it takes
// beside its rows stays small whatever its length; a file whose dates have the year last
// settles their order piece by piece.
OtherPcHistory readOtherPcText(const PcFileName& pc, const std::wstring& fileName, const std::string& bytes,
                               std::size_t pieceBytes = 65536);

// Ten years of a busy freelancer's projects come to about 1 MB: a file larger than this is no
// history, and is left out without being opened.
constexpr std::uint64_t largestPcFileBytes = 2 * 1024 * 1024;
// Other PCs' files are kept in memory up to this many bytes together (their rows take about
// three times their bytes); further files are left out.
constexpr std::uint64_t keptPcFilesBytes = 6 * 1024 * 1024;
// "400 MB", "2.1 MB", "12 KB".
std::wstring sizeText(std::uint64_t bytes);
// "the history of HUGE is 400 MB, too large to be a history: left out"
std::wstring tooLargeText(const std::wstring& name, std::uint64_t bytes);
// "the history of NAME is left out: the histories in the shared folder come to more than 6 MB"
std::wstring tooManyText(const std::wstring& name);

// Whether `rows` hold at least the seconds of every row of `part`: `part` is an earlier copy of
// the same history, or a part of it.
bool historyCovers(const std::vector<HistoryRow>& rows, const std::vector<HistoryRow>& part);
