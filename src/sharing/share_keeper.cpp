#include "sharing/share_keeper.h"

ShareKeeper::ShareKeeper(std::wstring folder, std::wstring ownFileName, std::uint32_t ownId)
    : folder_(std::move(folder), std::move(ownFileName), ownId) {
    schedule_.readRequested();
}

bool ShareKeeper::write(std::uint64_t now) {
    writeError_ = folder_.writeOwnFile(*latest_);
    lastWrite_ = now;
    unwritten_ = static_cast<bool>(writeError_);
    // Out of reach, or only this file? A read tells, and the window says which.
    if (writeError_) schedule_.readRequested();
    return !writeError_;
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
        write(now);
        news = true;
    }
    if (!schedule_.readDue(now) && schedule_.lookDue(now)) {
        schedule_.looked(now);
        if (!folder_.present()) schedule_.readRequested();
    }
    if (schedule_.readDue(now)) {
        const bool wasReached = !readOnce_ || lastRead_.reached;
        FolderRead read = folder_.read();
        // Out of reach, the other PCs count as last read rather than drop out of the totals.
        if (!read.reached) read.pcs = std::move(lastRead_.pcs);
        lastRead_ = std::move(read);
        readOnce_ = true;
        schedule_.readDone(now, lastRead_.reached);
        news = true;
        // This PC's file goes in again when the folder is back, when the file has gone from it,
        // and once a minute while writing it fails; not at every change that a failed write
        // itself makes in the folder.
        const std::uint64_t sinceWrite = now - lastWrite_;
        const bool again = (lastRead_.reached && !wasReached) ||
                           (!lastRead_.ownFileFound && sinceWrite >= ShareSchedule::lookEveryMs) ||
                           (unwritten_ && sinceWrite >= ShareSchedule::readEveryMs);
        if (lastRead_.reached && latest_ && !handedOver && again && !write(now))
            schedule_.readDone(now, lastRead_.reached);  // read just now: no second read for this failure
    }
    if (!news) return std::nullopt;
    return ShareReport{folder_.folder(), readOnce_, lastRead_, latest_.has_value() && !unwritten_, writeError_};
}
