#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sharing/pc_folder.h"

// The other PCs' files as last read, read one at a time so that each counts as soon as it is
// read and a slow one holds back none read before it; a file not read again yet counts as last
// read. What is kept stays bounded whatever the folder holds: a file larger than any history
// is never opened, and beyond keptPcFilesBytes together further files are left out.
class OtherPcFiles {
public:
    // Takes a new listing of the folder's PC files, of which `counts` says which are other PCs'
    // (not this PC's own). Files gone from it stop counting; files too large, or beyond what is
    // kept, are left out and named. Returns the files to read, in the order to read them: those
    // new or changed since last read, the ones on this PC first and those a cloud service must
    // download last.
    std::vector<PcFileEntry> plan(const std::vector<PcFileEntry>& listed,
                                  const std::function<bool(const PcFileEntry&)>& counts);
    // What reading one of them gave.
    void take(const PcFileEntry& entry, const PcFileBytes& read);

    // Every other PC once: of the files of one ID, one whose rows another holds as well (a PC's
    // file under an earlier name, which that PC has not removed yet) is left out.
    std::vector<std::shared_ptr<const OtherPcHistory>> counted() const;
    // Lines for the window: files that could not be read in part or whole, or are left out.
    std::vector<std::wstring> notes() const;

private:
    struct Known {
        PcFileEntry entry;
        std::shared_ptr<const OtherPcHistory> history;  // the rows as last read
        ContentMark mark;                               // of the bytes they were read from
        std::wstring readProblem;                       // why it could not be read just now
    };

    Known* find(const std::wstring& fileName);
    void takeBytes(Known& known, const std::string& bytes);

    std::vector<Known> known_;  // in order of file name
    std::vector<std::wstring> leftOut_;
};
