#include "sharing/pc_identity.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/text.h"
#include "config/file_system.h"
#include "sharing/pc_history_files.h"

namespace {

const char title[] = "Ardeno Time: this PC in the shared folder\r\n";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads exactly `digits` hexadecimal digits at `at`.
std::optional<std::uint64_t> hexAt(const std::string& line, std::size_t& at, std::size_t digits) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < digits; ++i, ++at) {
        const int digit = at < line.size() ? hexValue(line[at]) : -1;
        if (digit < 0) return std::nullopt;
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

// "SIZE,HASH,NAME" after the line's word.
std::optional<PcFileMark> fileMarkOf(const std::string& line, std::size_t at) {
    std::int64_t size = 0;
    const std::size_t start = at;
    while (at < line.size() && line[at] >= '0' && line[at] <= '9' && at - start < 18)
        size = size * 10 + (line[at++] - '0');
    if (at == start || at >= line.size() || line[at++] != ',') return std::nullopt;
    const auto hash = hexAt(line, at, 16);
    if (!hash || at >= line.size() || line[at++] != ',') return std::nullopt;
    auto name = decodeUtf8Strict(line.substr(at));
    if (!name || name->empty()) return std::nullopt;
    return PcFileMark{std::move(*name), {size, *hash}};
}

std::string fileMarkText(const char* word, const PcFileMark& file) {
    char mark[48];
    std::snprintf(mark, sizeof mark, ",%lld,%016llx,", static_cast<long long>(file.mark.size),
                  static_cast<unsigned long long>(file.mark.hash));
    return word + std::string(mark) + toUtf8(file.fileName) + "\r\n";
}

bool holds(const OwnIdFile& file, const PcFileMark& wrote) {
    return file.mark && *file.mark == wrote.mark && sameFileName(file.fileName, wrote.fileName);
}

// Whether it holds what this PC last wrote there, or was writing, or wrote under an earlier name.
bool wroteIt(const PcIdentityState& state, const OwnIdFile& file) {
    return file.asWritten || (state.written && holds(file, *state.written)) ||
           (state.next && holds(file, *state.next)) ||
           std::any_of(state.earlier.begin(), state.earlier.end(),
                       [&](const PcFileMark& earlier) { return holds(file, earlier); });
}

// Without a record that settles it, what the file of this PC's name and ID is that holds time
// its history lacks.
void judgeUnsettled(const OwnIdFile& file, const OwnHistory& history, IdentityVerdict& verdict, bool& own) {
    using Wait = IdentityVerdict::Wait;
    if (file.mark && history.answer != PcAnswer::none && history.answeredFor == *file.mark) {
        own = history.answer == PcAnswer::corrected;
        verdict.clone |= !own;
    } else if (file.tooLarge) {
        own = true;  // whatever its size, the file of this PC's name and ID
    } else if (!history.whole) {
        verdict.wait = Wait::history;
    } else if (history.rows.empty()) {
        own = true;  // kept as it is, below
    } else if (file.clean && file.rows.covers(history.rows)) {
        own = true;  // its corrected past
    } else {
        verdict.wait = Wait::answer;
        verdict.asked = file.mark;
    }
}

// A name this PC wrote under, or found its own rows under when it began to keep share-id.cfg.
bool knownName(const PcIdentityState& state, const std::wstring& fileName) {
    return (state.written && sameFileName(state.written->fileName, fileName)) ||
           std::any_of(state.held.begin(), state.held.end(),
                       [&](const std::wstring& held) { return sameFileName(held, fileName); });
}

}  // namespace

std::wstring pcIdentityPath(const std::wstring& stateFolder) { return stateFolder + L"/share-id.cfg"; }

std::string formatPcIdentity(const PcIdentityState& state) {
    std::string bytes = title;
    bytes += "id," + toUtf8(pcIdText(state.id)) + "\r\n";
    if (state.written) bytes += fileMarkText("written", *state.written);
    if (state.written && state.listed) bytes += "listed," + std::to_string(*state.listed) + "\r\n";
    if (state.next) bytes += fileMarkText("next", *state.next);
    for (const PcFileMark& file : state.earlier) bytes += fileMarkText("earlier", file);
    for (const std::wstring& name : state.held) bytes += "held," + toUtf8(name) + "\r\n";
    return bytes;
}

std::optional<PcIdentityState> parsePcIdentity(const std::string& bytes) {
    const std::string start = title;
    if (bytes.compare(0, start.size(), start) != 0) return std::nullopt;
    PcIdentityState state;
    bool idFound = false;
    for (std::size_t at = start.size(); at < bytes.size();) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) return std::nullopt;
        const std::string line = bytes.substr(at, end - at);
        at = end + 2;
        std::size_t i = line.find(',') + 1;
        const std::string word = line.substr(0, i == 0 ? line.size() : i - 1);
        if (!idFound) {
            // The ID comes first, alone on its line.
            const auto id = word == "id" ? hexAt(line, i, 8) : std::nullopt;
            if (!id || i != line.size()) return std::nullopt;
            state.id = static_cast<std::uint32_t>(*id);
            idFound = true;
            continue;
        }
        if (word == "held") {
            auto name = decodeUtf8Strict(line.substr(i));
            if (!name || name->empty()) return std::nullopt;
            state.held.push_back(std::move(*name));
            continue;
        }
        if (word == "listed") {
            // Right after the file it is the time of, once.
            std::uint64_t time = 0;
            const bool negative = i < line.size() && line[i] == '-';
            const std::size_t start = negative ? ++i : i;
            while (i < line.size() && line[i] >= '0' && line[i] <= '9' && i - start < 19)
                time = time * 10 + static_cast<std::uint64_t>(line[i++] - '0');
            const auto largest = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
            if (i == start || i != line.size() || time > largest || !state.written || state.listed || state.next ||
                !state.earlier.empty() || !state.held.empty())
                return std::nullopt;
            state.listed = negative ? -static_cast<std::int64_t>(time) : static_cast<std::int64_t>(time);
            continue;
        }
        auto file = fileMarkOf(line, i);
        if (!file || !state.held.empty()) return std::nullopt;
        const bool marksOnly = state.earlier.empty();
        if (word == "written" && !state.written && !state.next && marksOnly) state.written = std::move(file);
        else if (word == "next" && !state.next && marksOnly) state.next = std::move(file);
        else if (word == "earlier") state.earlier.push_back(std::move(*file));
        else return std::nullopt;
    }
    if (!idFound) return std::nullopt;
    return state;
}

PcIdentityRead readPcIdentity(const std::wstring& path) {
    PcIdentityRead read;
    const std::optional<std::string> bytes = readWholeFile(path, read.found, read.error);
    if (bytes) read.state = parsePcIdentity(*bytes);
    else if (read.found && !read.error) read.error = std::make_error_code(std::errc::io_error);
    if (!read.found) read.error.clear();
    return read;
}

std::error_code writePcIdentity(const std::wstring& path, const PcIdentityState& state) {
    return writeFileAtomically(path, formatPcIdentity(state));
}

IdentityVerdict judgeOwnIdFiles(const PcIdentityState& state, bool unrecorded, const std::wstring& ownFileName,
                                const std::vector<OwnIdFile>& files, const OwnHistory& history) {
    IdentityVerdict verdict;
    std::vector<PcFileMark> own;  // this PC's for sure: removed, should it move to a new ID
    for (const OwnIdFile& file : files) {
        if (!file.mark && !file.tooLarge) {
            // Not readable now: judged at the next look.
            verdict.ownFileUnknown |= sameFileName(file.fileName, ownFileName);
            continue;
        }
        const bool wrote = wroteIt(state, file);
        const bool covered = file.mark && file.clean && history.rows.covers(file.rows);
        if (sameFileName(file.fileName, ownFileName)) {
            bool mine = wrote || covered;
            if (!mine && unrecorded) judgeUnsettled(file, history, verdict, mine);
            else if (!mine) verdict.clone = true;
            // An empty history never replaces a file that holds work, nor removes it.
            const auto headerSize = static_cast<std::int64_t>(historyHeader().size());
            const bool holdsWork =
                file.tooLarge || !file.rows.empty() || (file.asWritten && file.mark->size > headerSize);
            if (mine && history.rows.empty() && holdsWork) verdict.wait = IdentityVerdict::Wait::empty;
            else if (mine && file.mark) own.push_back({file.fileName, *file.mark});
        } else if (wrote) {
            own.push_back({file.fileName, *file.mark});
            verdict.remove.push_back({file.fileName, *file.mark});
        } else if (covered && (unrecorded || knownName(state, file.fileName))) {
            verdict.held.push_back(file.fileName);
        } else if (file.mark) {
            verdict.clone = true;
        }
    }
    // Moving to a new ID, it removes the files of the old one that it is sure are its own, its
    // present one too.
    if (verdict.clone) {
        verdict.remove = std::move(own);
        verdict.wait = IdentityVerdict::Wait::none;
        verdict.asked.reset();
    }
    return verdict;
}
