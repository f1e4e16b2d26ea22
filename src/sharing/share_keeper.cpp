#include "sharing/share_keeper.h"

#include <algorithm>

#include "common/text.h"
#include "config/file_system.h"

namespace {

// One file of this PC's ID as it stands now; nullopt when it is not there.
std::optional<OwnIdFile> ownIdFile(const PcFolder& folder, const PcFileEntry& entry) {
    OwnIdFile file;
    file.fileName = entry.fileName;
    file.tooLarge = entry.size > largestPcFileBytes;
    if (file.tooLarge) return file;
    const PcFileBytes read = folder.read(entry.fileName);
    if (read.gone) return std::nullopt;
    file.tooLarge = read.tooLarge;
    if (read.bytes) {
        file.mark = contentMark(*read.bytes);
        OtherPcHistory text = readOtherPcText(entry.pc, entry.fileName, *read.bytes);
        file.clean = text.problem.empty();
        file.rows = std::move(text.rows);
    }
    return file;
}

void addOnce(std::vector<PcFileMark>& files, const PcFileMark& file) {
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
}

}  // namespace

ShareKeeper::ShareKeeper(std::wstring folder, ThisPc pc) : folder_(std::move(folder)), pc_(std::move(pc)) {
    bool found = false;
    if (auto state = readPcIdentity(pc_.identityPath, found)) {
        identity_ = std::move(*state);
    } else {
        identity_.id = pc_.machineId;
        unrecorded_ = pc_.sharedBefore || found;
        stateUnreadable_ = found;
        // A PC that starts to share keeps its record from the start, written or not.
        if (!unrecorded_) writePcIdentity(pc_.identityPath, identity_);
    }
    schedule_.readRequested();
}

std::optional<ShareReport> ShareKeeper::round(Round round, std::uint64_t now) {
    bool news = false;
    watching_ = round.watching;
    schedule_.setWatching(round.watching);
    if (round.readWanted) schedule_.readRequested();
    if (round.changed) schedule_.changeSeen(now);
    const bool handedOver = round.rows.has_value();
    if (handedOver) {
        latest_ = std::move(round.rows);
        // The files of its ID are judged by its history: now that it is known, if not yet.
        if (!judged_) schedule_.readRequested();
    }
    if (toRead_.empty() && !schedule_.readDue(now) && schedule_.lookDue(now)) {
        schedule_.looked(now);
        if (!folder_.present()) schedule_.readRequested();
    }
    bool readNow = false, writeDue = handedOver;
    if (schedule_.readDue(now)) {
        readNow = true;
        writeDue |= startReading(now);
        news = true;
    } else if (!toRead_.empty()) {
        const PcFileEntry entry = toRead_.front();
        toRead_.erase(toRead_.begin());
        others_.take(entry, folder_.read(entry.fileName));
        news = true;
    }
    if (writeDue && latest_) {
        // Out of reach, or only this file? A read tells, and the window says which; one that
        // just took place tells already.
        if (!write(now) && !readNow) schedule_.readRequested();
        news = true;
    }
    if (!news) return std::nullopt;
    return report();
}

bool ShareKeeper::startReading(std::uint64_t now) {
    const bool wasReached = !readOnce_ || reached_;
    const PcListing listing = folder_.list();
    readOnce_ = true;
    reached_ = listing.reached;
    readError_ = listing.error;
    schedule_.readDone(now, reached_);
    toRead_.clear();
    // Out of reach, the other PCs count as last read rather than drop out of the totals.
    if (!reached_) return false;
    const bool moved = latest_ && judge(listing);
    const std::wstring own = ownFileName();
    ownFileFound_ = std::any_of(listing.files.begin(), listing.files.end(),
                                [&](const PcFileEntry& entry) { return sameFileName(entry.fileName, own); });
    toRead_ = others_.plan(listing.files, [&](const PcFileEntry& entry) {
        return entry.pc.id != identity_.id &&
               std::none_of(identity_.earlier.begin(), identity_.earlier.end(),
                            [&](const PcFileMark& earlier) { return sameFileName(earlier.fileName, entry.fileName); });
    });
    // This PC's file goes in again under a new ID, when the folder is back, when the file has
    // gone from it, and once a minute while writing it fails; not at every change that a failed
    // write itself makes in the folder.
    const std::uint64_t sinceWrite = now - lastWrite_;
    return moved || !wasReached || (!ownFileFound_ && sinceWrite >= ShareSchedule::lookEveryMs) ||
           (unwritten_ && sinceWrite >= ShareSchedule::readEveryMs);
}

bool ShareKeeper::judge(const PcListing& listing) {
    std::vector<OwnIdFile> files;
    for (const PcFileEntry& entry : listing.files)
        if (entry.pc.id == identity_.id)
            if (auto file = ownIdFile(folder_, entry)) files.push_back(std::move(*file));
    const IdentityVerdict verdict = judgeOwnIdFiles(identity_, unrecorded_, ownFileName(), files, *latest_);
    judged_ = true;
    ownFileUnknown_ = verdict.ownFileUnknown;
    if (verdict.clone) return moveToNewId(listing, verdict.remove);
    for (const PcFileMark& file : verdict.remove) addOnce(identity_.earlier, file);
    for (const std::wstring& name : verdict.held)
        if (std::find(identity_.held.begin(), identity_.held.end(), name) == identity_.held.end())
            identity_.held.push_back(name);
    return false;
}

bool ShareKeeper::moveToNewId(const PcListing& listing, const std::vector<PcFileMark>& remove) {
    std::optional<std::uint32_t> id;
    for (int tries = 0; tries < 8 && !id && pc_.randomId; ++tries) {
        const std::optional<std::uint32_t> drawn = pc_.randomId();
        if (!drawn) break;
        const bool taken = *drawn == identity_.id ||
                           std::any_of(listing.files.begin(), listing.files.end(),
                                       [&](const PcFileEntry& entry) { return entry.pc.id == *drawn; });
        if (!taken) id = drawn;
    }
    const std::wstring clash = L"Another PC writes its history under this PC's ID; ";
    if (!id) {
        clash_ = clash + L"this PC could not draw a new one";
        return false;
    }
    PcIdentityState next = identity_;
    next.id = *id;
    for (const PcFileMark& file : remove) addOnce(next.earlier, file);
    // Recorded first: a PC that wrote under an ID it then forgot would count twice.
    if (const std::error_code error = writePcIdentity(pc_.identityPath, next)) {
        clash_ = clash + L"this PC takes a new one once share-id.cfg can be saved (" + systemReason(error) + L")";
        return false;
    }
    identity_ = std::move(next);
    unrecorded_ = false;
    clash_.clear();
    return true;
}

bool ShareKeeper::write(std::uint64_t now) {
    lastWrite_ = now;
    unwritten_ = true;
    writeError_.clear();
    if (!judged_) {
        writeError_ = readError_ ? readError_ : std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    const std::wstring name = ownFileName();
    // Nobody else may have written it since the last look: judged once more before it is
    // written over. Another PC's file is left as it is; the next look takes a new ID.
    PcFileEntry entry{{pc_.name, identity_.id}, name, 0, 0, false};
    if (const auto current = ownIdFile(folder_, entry)) {
        const IdentityVerdict verdict = judgeOwnIdFiles(identity_, unrecorded_, name, {*current}, *latest_);
        if (verdict.clone || verdict.ownFileUnknown) {
            if (verdict.ownFileUnknown) writeError_ = folder_.read(name).error;
            return false;
        }
    }
    ContentMark mark;
    writeError_ = folder_.write(name, *latest_, mark);
    if (writeError_) return false;
    unwritten_ = false;
    identity_.written = PcFileMark{name, mark};
    // Its earlier files go once this one holds everything.
    identity_.earlier.erase(std::remove_if(identity_.earlier.begin(), identity_.earlier.end(),
                                           [&](const PcFileMark& file) {
                                               return sameFileName(file.fileName, name) ||
                                                      folder_.removeIfHolds(file.fileName, file.mark);
                                           }),
                            identity_.earlier.end());
    // Should this fail, the file is known by its rows at the next start.
    if (!writePcIdentity(pc_.identityPath, identity_)) stateUnreadable_ = false;
    unrecorded_ = false;
    return true;
}

ShareReport ShareKeeper::report() const {
    ShareReport report;
    report.folder = folder_.folder();
    report.thisId = identity_.id;
    report.readDone = readOnce_;
    report.reached = reached_;
    report.error = readError_;
    report.pcs = others_.counted();
    report.notes = others_.notes();
    if (stateUnreadable_)
        report.notes.insert(report.notes.begin(), L"share-id.cfg could not be read; this PC knows its files by their rows");
    if (!clash_.empty()) report.notes.insert(report.notes.begin(), clash_);
    report.ownFileWritten = latest_.has_value() && !unwritten_;
    report.writeError = writeError_;
    return report;
}
