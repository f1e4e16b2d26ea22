#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sharing/pc_folder.h"
#include "sharing/pc_identity.h"

// The other PCs' files as last read, read one at a time so that each counts as soon as it is
// read and a slow one holds back none read before it; a file not read again yet counts as last
// read. What is kept stays bounded whatever the folder holds: a file larger than any history
// is never opened, and beyond keptPcRowsBytes (or the memory given) of rows together further files are left out.
class OtherPcFiles {
public:
    explicit OtherPcFiles(std::size_t keptBytes = keptPcRowsBytes) : keptBytes_(keptBytes) {}

    // Takes a new listing of the folder's PC files, of which `counts` says which are other PCs'
    // (not this PC's own). Files gone from it stop counting; files too large, or beyond what is
    // kept, are left out and named. Returns the files to read, in the order to read them: those
    // new or changed since last read, the ones on this PC first and those a cloud service must
    // download last; of each PC's name, its newest file first.
    std::vector<PcFileEntry> plan(const std::vector<PcFileEntry>& listed,
                                  const std::function<bool(const PcFileEntry&)>& counts);
    // What reading one of them gave.
    void take(const PcFileEntry& entry, const PcFileBytes& read);

    // Every other PC once, as every sum of their seconds is to take them. Of the files of one
    // ID, or of one computer name under several IDs, one whose every row another holds as well
    // (equal or greater) is a copy and left out: a PC's file under an earlier name that it has
    // not removed yet, or its file under an ID it had before. So is a file of this PC's own
    // name, `ownName`, whose rows `ownRows` hold.
    std::vector<std::shared_ptr<const OtherPcHistory>> counted(const std::wstring& ownName,
                                                               const PackedHistory* ownRows) const;
    // The files of `ownName` as last read, whole, whose every row `ownRows` holds: copies of
    // this PC's own file, to be removed.
    std::vector<PcFileMark> copiesOf(const std::wstring& ownName, const PackedHistory& ownRows) const;
    // The file is gone (this PC removed it): its rows go now, not at the next listing.
    void forget(const std::wstring& fileName);
    // Lines for the window: files that could not be read in part or whole, or are left out.
    std::vector<std::wstring> notes() const;

private:
    struct Known {
        PcFileEntry entry;
        std::shared_ptr<const OtherPcHistory> history;  // the rows as last read, unless left out
        ContentMark mark;                               // of the bytes they were read from
        std::size_t memory = 0;  // what its rows take, or at least took when they were left out
        bool read = false;       // `mark` and `memory` are known
        std::wstring readProblem;  // why it could not be read just now
    };

    Known* find(const std::wstring& fileName);
    // What the rows kept of every file but `except` take together.
    std::size_t keptMemory(const Known* except) const;
    void takeBytes(Known& known, const std::string& bytes);

    std::size_t keptBytes_;     // what the rows kept may take together
    std::vector<Known> known_;  // in order of file name
    std::vector<std::wstring> leftOut_;
};
