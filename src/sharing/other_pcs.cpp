#include "sharing/other_pcs.h"

#include <algorithm>

#include "common/text.h"
#include "config/file_system.h"

std::vector<PcFileEntry> OtherPcFiles::plan(const std::vector<PcFileEntry>& listed,
                                            const std::function<bool(const PcFileEntry&)>& counts) {
    std::vector<PcFileEntry> candidates;
    leftOut_.clear();
    for (const PcFileEntry& entry : listed) {
        if (!counts(entry)) continue;
        if (entry.size > largestPcFileBytes) leftOut_.push_back(tooLargeText(entry.pc.name, entry.size));
        else candidates.push_back(entry);
    }
    // The memory goes in the order of reading: each PC's present file before the files its
    // earlier IDs or names left, so that copies never crowd out another PC; on equal terms, by name.
    const auto newestOfItsName = [&](const PcFileEntry& entry) {
        return std::none_of(candidates.begin(), candidates.end(), [&](const PcFileEntry& other) {
            return sameFileName(other.pc.name, entry.pc.name) &&
                   (other.lastWrite > entry.lastWrite ||
                    (other.lastWrite == entry.lastWrite && other.fileName < entry.fileName));
        });
    };
    std::vector<std::pair<bool, PcFileEntry>> ordered;
    for (const PcFileEntry& entry : candidates) ordered.emplace_back(!newestOfItsName(entry), entry);
    std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) {
        if (a.second.online != b.second.online) return b.second.online;
        if (a.first != b.first) return b.first;
        return a.second.fileName < b.second.fileName;
    });
    std::vector<Known> kept;
    std::vector<PcFileEntry> toRead;
    std::size_t total = 0;
    for (const auto& [copy, entry] : ordered) {
        Known* known = find(entry.fileName);
        const bool unchanged = known && known->read && known->readProblem.empty() &&
                               known->entry.size == entry.size && known->entry.lastWrite == entry.lastWrite;
        if (unchanged && total + known->memory > keptBytes_) {
            // Read before, and still more than there is room for.
            known->history.reset();
            leftOut_.push_back(tooManyText(entry.pc.name, keptBytes_));
        } else {
            if (unchanged) total += known->memory;
            if (!unchanged || !known->history) toRead.push_back(entry);
        }
        // Its listing as last read stays until it is read again: only then is it up to date.
        kept.push_back(known ? std::move(*known) : Known{entry, nullptr, {}, 0, false, {}});
    }
    std::sort(kept.begin(), kept.end(), [](const Known& a, const Known& b) { return a.entry.fileName < b.entry.fileName; });
    known_ = std::move(kept);
    return toRead;
}

void OtherPcFiles::take(const PcFileEntry& entry, const PcFileBytes& read) {
    Known* known = find(entry.fileName);
    if (!known) return;  // left out since it was planned
    if (read.gone || read.tooLarge) {
        // Gone, it simply stops counting; grown past any history, it is left out.
        if (read.tooLarge) leftOut_.push_back(tooLargeText(entry.pc.name, std::max(entry.size, largestPcFileBytes + 1)));
        known_.erase(known_.begin() + (known - known_.data()));
        return;
    }
    if (!read.bytes) {
        // Its rows as last read count on.
        known->readProblem = L"the history of " + entry.pc.name + L" could not be read: " + systemReason(read.error);
        return;
    }
    known->entry = entry;
    takeBytes(*known, *read.bytes);
}

std::size_t OtherPcFiles::keptMemory(const Known* except) const {
    std::size_t total = 0;
    for (const Known& known : known_)
        if (&known != except && known.history) total += known.memory;
    return total;
}

void OtherPcFiles::takeBytes(Known& known, const std::string& bytes) {
    const ContentMark mark = contentMark(bytes);
    known.readProblem.clear();
    // The same bytes give the same rows: those kept already serve.
    if (known.history && known.mark == mark) return;
    // The rows it had are let go before the new ones are read.
    known.history.reset();
    const std::size_t others = keptMemory(&known);
    const std::size_t room = others < keptBytes_ ? keptBytes_ - others : 0;
    OtherPcHistory read = readOtherPcText(known.entry.pc, known.entry.fileName, bytes, 65536, room);
    known.mark = mark;
    known.read = true;
    if (read.overBudget) {
        known.memory = room + 1;  // at least
        leftOut_.push_back(tooManyText(known.entry.pc.name, keptBytes_));
        return;
    }
    known.memory = read.rows.memoryBytes();
    known.history = std::make_shared<const OtherPcHistory>(std::move(read));
}

std::vector<std::shared_ptr<const OtherPcHistory>> OtherPcFiles::counted(const std::wstring& ownName,
                                                                         const PackedHistory* ownRows) const {
    std::vector<std::shared_ptr<const OtherPcHistory>> pcs;
    for (const Known& known : known_) {
        if (!known.history) continue;
        const PackedHistory& rows = known.history->rows;
        if (ownRows && sameFileName(known.entry.pc.name, ownName) && ownRows->covers(rows)) continue;
        const auto heldElsewhere = [&](const Known& other) {
            if (&other == &known || !other.history) return false;
            if (other.entry.pc.id != known.entry.pc.id && !sameFileName(other.entry.pc.name, known.entry.pc.name))
                return false;
            if (!other.history->rows.covers(rows)) return false;
            // Of two that hold the same, the first by name counts.
            return !rows.covers(other.history->rows) || other.entry.fileName < known.entry.fileName;
        };
        if (std::none_of(known_.begin(), known_.end(), heldElsewhere)) pcs.push_back(known.history);
    }
    return pcs;
}

std::vector<PcFileMark> OtherPcFiles::copiesOf(const std::wstring& ownName, const PackedHistory& ownRows) const {
    std::vector<PcFileMark> copies;
    for (const Known& known : known_)
        if (known.history && known.history->problem.empty() && sameFileName(known.entry.pc.name, ownName) &&
            ownRows.covers(known.history->rows))
            copies.push_back({known.entry.fileName, known.mark});
    return copies;
}

void OtherPcFiles::forget(const std::wstring& fileName) {
    if (Known* known = find(fileName)) known_.erase(known_.begin() + (known - known_.data()));
}

std::vector<std::wstring> OtherPcFiles::notes() const {
    std::vector<std::wstring> lines;
    for (const Known& known : known_) {
        if (known.history && !known.history->problem.empty()) lines.push_back(known.history->problem);
        if (!known.readProblem.empty()) lines.push_back(known.readProblem);
    }
    lines.insert(lines.end(), leftOut_.begin(), leftOut_.end());
    return lines;
}

OtherPcFiles::Known* OtherPcFiles::find(const std::wstring& fileName) {
    for (Known& known : known_)
        if (known.entry.fileName == fileName) return &known;
    return nullptr;
}
