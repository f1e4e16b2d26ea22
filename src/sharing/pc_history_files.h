#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "history/history_file.h"

// The files through which the user's PCs share their histories: in one folder that a sync
// service (OneDrive, Dropbox, Syncthing) or a network share keeps the same on every PC, each PC
// writes only its own file, history-NAME-ID.csv, and reads everyone else's. No two PCs ever
// write the same file, so a sync service never sees a conflict.
//   NAME  the computer's name, made safe for a file name
//   ID    eight lower-case hexadecimal digits that stay the same for the PC for good, so that
//         two PCs of one name write two files, and a PC renamed is still known as itself
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
// that can be read count even when others cannot; the problem names the first lines that could not.
OtherPcHistory readOtherPcText(const PcFileName& pc, const std::wstring& fileName, const std::string& bytes);

// What one look at the shared folder found.
struct FolderRead {
    bool reached = false;               // the folder could be listed
    std::error_code error;              // why not
    bool ownFileFound = false;          // this PC's file is there under its present name
    std::vector<OtherPcHistory> pcs;    // everyone else's files, by name and ID
};

// One shared folder as this PC sees it: its own file written, everyone else's read. It blocks
// for as long as the folder takes (a network share, a file a cloud service downloads first),
// so it belongs on a thread of its own. Nothing but this PC's own file is ever written there,
// and nothing is moved or deleted.
class PcFolder {
public:
    PcFolder(std::wstring folder, std::wstring ownFileName, std::uint32_t ownId);

    const std::wstring& folder() const { return folder_; }
    // Replaces this PC's file with these rows in one step (see writeFileAtomically). A folder
    // that is not there is out of reach: it is not made again.
    std::error_code writeOwnFile(const std::vector<HistoryRow>& rows);
    // Reads every other PC's file. Files with this PC's ID are this PC's own, perhaps under an
    // earlier name, and their rows are in the local history already.
    FolderRead read() const;
    // Whether the folder is still there, without reading anything in it.
    bool present() const;

private:
    std::wstring folder_;
    std::wstring ownFileName_;
    std::uint32_t ownId_;
};
