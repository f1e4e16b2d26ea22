#include "sharing/share_keeper.h"

#include <algorithm>
#include <utility>

#include "common/text.h"
#include "config/file_system.h"

namespace {

void addOnce(std::vector<PcFileMark>& files, const PcFileMark& file) {
    if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
}

bool sameName(const PcFileEntry& entry, const std::wstring& computerName) {
    return sameFileName(entry.pc.name, fileNameSafe(computerName));
}

}  // namespace

ShareKeeper::ShareKeeper(std::wstring folder, ThisPc pc) : folder_(std::move(folder)), pc_(std::move(pc)) {
    identity_.id = pc_.machineId;
    readIdentity(0);
    schedule_.readRequested();
}

bool ShareKeeper::readIdentity(std::uint64_t now) {
    if (identityRead_) return true;
    if (now < identityRetryAt_) return false;
    PcIdentityRead read = readPcIdentity(pc_.identityPath);
    if (read.error) {
        // Held by a backup or a virus scanner for a moment: what it says is not known yet, so
        // nothing is judged or written until it has been read.
        identityReadError_ = read.error;
        identityRetryAt_ = now + identityRetryMs_;
        identityRetryMs_ = std::min<std::uint64_t>(identityRetryMs_ * 2, ShareSchedule::readEveryMs);
        return false;
    }
    identityRead_ = true;
    identityReadError_.clear();
    if (read.state) {
        identity_ = std::move(*read.state);
        return true;
    }
    // Lost, or never kept: made anew from the folder once the history is known.
    unrecorded_ = rebuildDue_ = pc_.sharedBefore || read.found;
    stateUnreadable_ = read.found;
    // A PC that starts to share keeps its record from the start, written or not.
    if (!unrecorded_) record();
    return true;
}

std::uint64_t ShareKeeper::waitMs(std::uint64_t now) const {
    if (!identityRead_) return identityRetryAt_ > now ? identityRetryAt_ - now : 0;
    return toRead_.empty() ? schedule_.waitMs(now) : 0;
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
        latestWhole_ = round.whole;
        // The files of its ID are judged by its history: now that it is known, if not yet.
        if (!judged_ || wait_ != Wait::none) schedule_.readRequested();
    }
    if (round.answer != PcAnswer::none && wait_ == Wait::answer && asked_) {
        answer_ = round.answer;
        answeredFor_ = *asked_;
        schedule_.readRequested();
    }
    writePending_ |= handedOver;
    // Nothing is judged or written before share-id.cfg has been read.
    if (!readIdentity(now)) return report();
    if (toRead_.empty() && !schedule_.readDue(now) && schedule_.lookDue(now)) {
        schedule_.looked(now);
        if (!folder_.present()) schedule_.readRequested();
    }
    bool readNow = false, writeDue = std::exchange(writePending_, false);
    if (schedule_.readDue(now)) {
        readNow = true;
        writeDue |= startReading(now);
        news = true;
    } else if (!toRead_.empty()) {
        const PcFileEntry entry = toRead_.front();
        toRead_.erase(toRead_.begin());
        others_.take(entry, folder_.read(entry.fileName));
        removeCopies();
        news = true;
    }
    if (writeDue && latest_) {
        // Out of reach, or only this file? A read tells, and the window says which; one that
        // just took place tells already.
        if (!write(now) && !readNow && wait_ == Wait::none) schedule_.readRequested();
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
    syncCopies_ = listing.syncCopies;
    const bool writeNow = latest_ && judge(listing);
    const std::wstring own = ownFileName();
    ownFileFound_ = std::any_of(listing.files.begin(), listing.files.end(),
                                [&](const PcFileEntry& entry) { return sameFileName(entry.fileName, own); });
    toRead_ = others_.plan(listing.files, [&](const PcFileEntry& entry) {
        return entry.pc.id != identity_.id &&
               std::none_of(identity_.earlier.begin(), identity_.earlier.end(),
                            [&](const PcFileMark& earlier) { return sameFileName(earlier.fileName, entry.fileName); });
    });
    // This PC's file goes in again under a new ID or once it may be written, when the folder is
    // back, when the file has gone from it, and once a minute while writing it fails; not at
    // every change that a failed write itself makes in the folder.
    const std::uint64_t sinceWrite = now - lastWrite_;
    return writeNow || !wasReached || (!ownFileFound_ && sinceWrite >= ShareSchedule::lookEveryMs) ||
           (unwritten_ && sinceWrite >= ShareSchedule::readEveryMs);
}

std::optional<OwnIdFile> ShareKeeper::ownIdFile(const PcFileEntry& entry) const {
    OwnIdFile file;
    file.fileName = entry.fileName;
    const std::optional<PcFileMark>& written = identity_.written;
    if (written && identity_.listed && sameFileName(written->fileName, entry.fileName) &&
        static_cast<std::int64_t>(entry.size) == written->mark.size && entry.lastWrite == *identity_.listed) {
        // As it was left after this PC's last write: however large, it is not read again.
        file.asWritten = true;
        file.mark = written->mark;
        return file;
    }
    // A file as large as one this PC wrote is read whole to tell; others up to what a history is.
    std::uint64_t limit = largestPcFileBytes;
    for (const std::optional<PcFileMark>& mark : {written, identity_.next})
        if (mark && sameFileName(mark->fileName, entry.fileName))
            limit = std::max(limit, static_cast<std::uint64_t>(std::max<std::int64_t>(mark->mark.size, 0)));
    file.tooLarge = entry.size > limit;
    if (file.tooLarge) return file;
    const PcFileBytes read = folder_.read(entry.fileName, limit);
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

void ShareKeeper::rebuildIdentity(const PcListing& listing) {
    // The files of its name whose rows its history holds are its own; the newest of them was
    // written last, under the ID it had then. Newest first, so that most often one is read.
    std::vector<const PcFileEntry*> named;
    for (const PcFileEntry& entry : listing.files)
        if (sameName(entry, pc_.name)) named.push_back(&entry);
    std::sort(named.begin(), named.end(),
              [](const PcFileEntry* a, const PcFileEntry* b) { return a->lastWrite > b->lastWrite; });
    for (const PcFileEntry* entry : named) {
        const std::optional<OwnIdFile> file = ownIdFile(*entry);
        if (file && file->mark && file->clean && latest_->covers(file->rows)) {
            identity_.id = entry->pc.id;
            break;
        }
    }
    rebuildDue_ = false;
}

bool ShareKeeper::judge(const PcListing& listing) {
    const Wait waited = wait_;
    if (rebuildDue_) {
        if (!latestWhole_) {
            wait_ = Wait::history;
            return false;
        }
        rebuildIdentity(listing);
    }
    std::vector<OwnIdFile> files;
    for (const PcFileEntry& entry : listing.files) {
        if (entry.pc.id != identity_.id) continue;
        std::optional<OwnIdFile> file = ownIdFile(entry);
        if (!file) continue;
        // Read, and what it wrote after all (a sync service set its time, or an earlier version
        // wrote it): known by the listing from now on.
        const std::optional<PcFileMark>& written = identity_.written;
        if (!file->asWritten && file->mark && written && *file->mark == written->mark &&
            sameFileName(written->fileName, entry.fileName) && identity_.listed != entry.lastWrite) {
            identity_.listed = entry.lastWrite;
            record();
        }
        files.push_back(std::move(*file));
    }
    const IdentityVerdict verdict = judgeOwnIdFiles(identity_, unrecorded_, ownFileName(), files,
                                                    {*latest_, latestWhole_, answer_, answeredFor_});
    judged_ = true;
    ownFileUnknown_ = verdict.ownFileUnknown;
    wait_ = verdict.wait;
    asked_ = verdict.asked;
    if (verdict.clone) return moveToNewId(listing, verdict.remove);
    for (const PcFileMark& file : verdict.remove) addOnce(identity_.earlier, file);
    for (const std::wstring& name : verdict.held)
        if (std::find(identity_.held.begin(), identity_.held.end(), name) == identity_.held.end())
            identity_.held.push_back(name);
    return waited != Wait::none && wait_ == Wait::none;
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
    next.listed.reset();
    next.next.reset();
    for (const PcFileMark& file : remove) addOnce(next.earlier, file);
    // Recorded first: a PC that wrote under an ID it then forgot would count twice.
    if (const std::error_code error = writePcIdentity(pc_.identityPath, next)) {
        clash_ = clash + L"this PC takes a new one once share-id.cfg can be saved (" + systemReason(error) + L")";
        return false;
    }
    identity_ = std::move(next);
    unrecorded_ = stateUnreadable_ = false;
    answer_ = PcAnswer::none;
    clash_.clear();
    return true;
}

bool ShareKeeper::record() {
    recordError_ = writePcIdentity(pc_.identityPath, identity_);
    if (!recordError_) stateUnreadable_ = false;
    return !recordError_;
}

bool ShareKeeper::write(std::uint64_t now) {
    lastWrite_ = now;
    unwritten_ = true;
    writeError_.clear();
    // An unread history must never replace what its file holds.
    if (!latestWhole_) wait_ = Wait::history;
    if (wait_ != Wait::none) return false;
    if (!judged_) {
        writeError_ = readError_ ? readError_ : std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    if (ownFileUnknown_) return false;
    const std::wstring name = ownFileName();
    // Nobody else may have written it since the last look: judged once more before it is
    // written over. Another PC's file is left as it is; the next look takes a new ID.
    if (const std::optional<PcFileEntry> listed = folder_.listed(name)) {
        if (const auto current = ownIdFile(*listed)) {
            const IdentityVerdict verdict = judgeOwnIdFiles(identity_, unrecorded_, name, {*current},
                                                            {*latest_, latestWhole_, answer_, answeredFor_});
            if (verdict.clone || verdict.ownFileUnknown || verdict.wait != Wait::none) {
                if (verdict.ownFileUnknown) writeError_ = folder_.read(name).error;
                return false;
            }
        }
    }
    const std::string bytes = formatHistoryText(*latest_);
    // Recorded before the file is written: a kill in between leaves a file that share-id.cfg
    // names still.
    identity_.next = PcFileMark{name, contentMark(bytes)};
    if (!record()) {
        identity_.next.reset();
        return false;
    }
    writeError_ = folder_.write(name, bytes);
    if (writeError_) return false;
    unwritten_ = false;
    wroteOnce_ = true;
    identity_.written = std::move(identity_.next);
    identity_.next.reset();
    const std::optional<PcFileEntry> listed = folder_.listed(name);
    identity_.listed.reset();
    if (listed) identity_.listed = listed->lastWrite;
    // Its earlier files go once this one holds everything.
    identity_.earlier.erase(std::remove_if(identity_.earlier.begin(), identity_.earlier.end(),
                                           [&](const PcFileMark& file) {
                                               return sameFileName(file.fileName, name) ||
                                                      folder_.removeIfHolds(file.fileName, file.mark);
                                           }),
                            identity_.earlier.end());
    // Should this fail, the record still names the file as the one being written.
    record();
    unrecorded_ = false;
    answer_ = PcAnswer::none;
    removeCopies();
    return true;
}

void ShareKeeper::removeCopies() {
    // Only once its own file holds what they hold.
    if (!latest_ || !wroteOnce_ || unwritten_) return;
    for (const PcFileMark& copy : others_.copiesOf(fileNameSafe(pc_.name), *latest_)) {
        // Once each: a PC of the same name that writes it again keeps it, uncounted.
        if (std::find(copiesTried_.begin(), copiesTried_.end(), copy) != copiesTried_.end()) continue;
        copiesTried_.push_back(copy);
        // Gone, its rows make room for the other PCs' at once.
        if (folder_.removeIfHolds(copy.fileName, copy.mark) && !folder_.listed(copy.fileName))
            others_.forget(copy.fileName);
    }
}

ShareReport ShareKeeper::report() const {
    ShareReport report;
    report.folder = folder_.folder();
    report.thisId = identity_.id;
    report.readDone = readOnce_;
    report.reached = reached_;
    report.error = readError_;
    report.pcs = others_.counted(fileNameSafe(pc_.name), latest_ ? &*latest_ : nullptr);
    report.notes = others_.notes();
    std::vector<std::wstring> first;
    if (!clash_.empty()) first.push_back(clash_);
    if (identityReadError_)
        first.push_back(L"share-id.cfg cannot be read now (" + systemReason(identityReadError_) +
                        L"); this PC's file in the shared folder is written once it has been read");
    if (recordError_)
        first.push_back(L"share-id.cfg could not be saved (" + systemReason(recordError_) +
                        L"); it is tried again every minute");
    if (stateUnreadable_) first.push_back(L"share-id.cfg could not be read; this PC knows its files by their rows");
    switch (wait_) {
    case Wait::answer:
        first.push_back(L"Sharing waits for an answer: was this PC's history corrected, or is this PC a copy of "
                        L"another? Until then its file in the shared folder stays as it is");
        report.question = asked_ && asked_->hash ? asked_->hash : 1;
        break;
    case Wait::empty:
        first.push_back(L"This PC's history is empty: its file in the shared folder, which holds work, stays as it is");
        break;
    case Wait::history:
        first.push_back(
            L"This PC's history is not read whole yet: its file in the shared folder is written once it is");
        break;
    case Wait::none: break;
    }
    report.notes.insert(report.notes.begin(), first.begin(), first.end());
    if (!syncCopies_.empty()) report.notes.push_back(syncCopiesText(syncCopies_));
    report.ownFileWritten = latest_.has_value() && !unwritten_;
    report.writeError = writeError_;
    return report;
}
