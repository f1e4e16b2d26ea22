#include "sharing/other_pcs.h"

#include <algorithm>

#include "common/text.h"
#include "config/file_system.h"

std::vector<PcFileEntry> OtherPcFiles::plan(const std::vector<PcFileEntry>& listed,
                                            const std::function<bool(const PcFileEntry&)>& counts) {
    std::vector<PcFileEntry> candidates;
    for (const PcFileEntry& entry : listed)
        if (counts(entry)) candidates.push_back(entry);
    // The budget goes in the order of reading; on equal terms, by name.
    std::sort(candidates.begin(), candidates.end(), [](const PcFileEntry& a, const PcFileEntry& b) {
        return a.online != b.online ? b.online : a.fileName < b.fileName;
    });
    std::vector<Known> kept;
    std::vector<PcFileEntry> toRead;
    leftOut_.clear();
    std::uint64_t total = 0;
    for (const PcFileEntry& entry : candidates) {
        if (entry.size > largestPcFileBytes) {
            leftOut_.push_back(tooLargeText(entry.pc.name, entry.size));
            continue;
        }
        if (total + entry.size > keptPcFilesBytes) {
            leftOut_.push_back(tooManyText(entry.pc.name));
            continue;
        }
        total += entry.size;
        Known* known = find(entry.fileName);
        const bool unchanged = known && known->history && known->readProblem.empty() &&
                               known->entry.size == entry.size && known->entry.lastWrite == entry.lastWrite;
        if (!unchanged) toRead.push_back(entry);
        // Its listing as last read stays until it is read again: only then is it up to date.
        kept.push_back(known ? std::move(*known) : Known{entry, nullptr, {}, {}});
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

void OtherPcFiles::takeBytes(Known& known, const std::string& bytes) {
    const ContentMark mark = contentMark(bytes);
    known.readProblem.clear();
    // The same bytes give the same rows: those kept already serve.
    if (!known.history || known.mark != mark) {
        // The rows it had are let go before the new ones are read.
        known.history.reset();
        known.history = std::make_shared<const OtherPcHistory>(
            readOtherPcText(known.entry.pc, known.entry.fileName, bytes));
        known.mark = mark;
    }
}

std::vector<std::shared_ptr<const OtherPcHistory>> OtherPcFiles::counted() const {
    std::vector<std::shared_ptr<const OtherPcHistory>> pcs;
    for (const Known& known : known_) {
        if (!known.history) continue;
        const auto heldElsewhere = [&](const Known& other) {
            if (&other == &known || !other.history || other.entry.pc.id != known.entry.pc.id) return false;
            if (!historyCovers(other.history->rows, known.history->rows)) return false;
            // Of two that hold the same, the first by name counts.
            return !historyCovers(known.history->rows, other.history->rows) ||
                   other.entry.fileName < known.entry.fileName;
        };
        if (std::none_of(known_.begin(), known_.end(), heldElsewhere)) pcs.push_back(known.history);
    }
    return pcs;
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
