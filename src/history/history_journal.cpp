#include "history/history_journal.h"

#include <cstdio>

namespace {

const char title[] = "Ardeno Time: seconds not yet in history.csv\r\n";

std::string markText(const ContentMark& mark) {
    if (mark.size == ContentMark::noFile) return "none";
    if (mark.size < 0) return "unknown";
    char text[48];
    std::snprintf(text, sizeof text, "%lld,%016llx", static_cast<long long>(mark.size),
                  static_cast<unsigned long long>(mark.hash));
    return text;
}

// Reads "NAME,MARK\r\n" at `at`, moving past it.
std::optional<ContentMark> markLine(const std::string& bytes, std::size_t& at, const std::string& name) {
    const std::size_t end = bytes.find("\r\n", at);
    if (end == std::string::npos || bytes.compare(at, name.size() + 1, name + ",") != 0) return std::nullopt;
    const std::string text = bytes.substr(at + name.size() + 1, end - at - name.size() - 1);
    ContentMark mark;
    if (text == "none") {
        mark.size = ContentMark::noFile;
    } else if (text != "unknown") {
        long long size = 0;
        unsigned long long hash = 0;
        int used = 0;
        if (std::sscanf(text.c_str(), "%lld,%16llx%n", &size, &hash, &used) != 2 || used != static_cast<int>(text.size()) ||
            size < 0)
            return std::nullopt;
        mark = {size, hash};
    }
    at = end + 2;
    return mark;
}

}  // namespace

std::wstring journalPathFor(const std::wstring& historyPath) { return historyPath + L".journal"; }

std::string formatJournal(const HistoryJournal& journal) {
    std::string bytes = title;
    bytes += "base," + markText(journal.base) + "\r\n";
    if (journal.next) bytes += "next," + markText(*journal.next) + "\r\n";
    bytes += formatHistoryText(journal.rows);
    return bytes;
}

std::optional<HistoryJournal> parseJournal(const std::string& bytes) {
    const std::string start = title;
    // No version writes a byte-order mark here, but an editor a person opened it in may have.
    std::size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bytes.compare(at, start.size(), start) != 0) return std::nullopt;
    at += start.size();
    HistoryJournal journal;
    const auto base = markLine(bytes, at, "base");
    if (!base) return std::nullopt;
    journal.base = *base;
    if (bytes.compare(at, 5, "next,") == 0) {
        journal.next = markLine(bytes, at, "next");
        if (!journal.next) return std::nullopt;
    }
    const std::string rows = bytes.substr(at);
    // The version before wrote its rows under the three columns it knew.
    const std::string before = "date,program,seconds\r\n";
    if (rows.compare(0, historyHeader().size(), historyHeader()) != 0 && rows.compare(0, before.size(), before) != 0)
        return std::nullopt;
    HistoryText text = parseHistoryText(rows);
    if (!text.unreadableLines.empty()) return std::nullopt;
    journal.rows = std::move(text.rows);
    return journal;
}

bool journalRowsPending(const HistoryJournal& journal, const ContentMark& file) {
    return !(journal.next && *journal.next == file && journal.base != file);
}
