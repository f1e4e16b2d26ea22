#include "sharing/shared_history.h"

#include "config/file_system.h"
#include "config/settings_error.h"

void SharedHistory::setThisPc(std::wstring name, std::uint32_t id) {
    thisPc_ = std::move(name);
    thisId_ = id;
    ++revision_;
}

void SharedHistory::shareThrough(std::wstring folder) {
    if (folder == folder_) return;
    folder_ = std::move(folder);
    report_ = {};
    reported_ = false;
    ++revision_;
}

void SharedHistory::take(ShareReport report) {
    if (!sharing() || report.folder != folder_) return;
    report_ = std::move(report);
    reported_ = true;
    if (report_.thisId) thisId_ = report_.thisId;
    ++revision_;
}

template <class RowsSum>
std::int64_t SharedHistory::sumOfOthers(RowsSum sum) const {
    std::int64_t seconds = 0;
    if (sharing())
        for (const auto& pc : others()) seconds += sum(pc->rows);
    return seconds;
}

std::int64_t SharedHistory::othersOnDay(DayNumber day) const {
    return sumOfOthers([&](const PackedHistory& rows) { return rows.secondsOnDay(day); });
}

std::int64_t SharedHistory::othersOnDay(DayNumber day, const std::wstring& project) const {
    return sumOfOthers([&](const PackedHistory& rows) { return rows.projectSecondsOnDay(day, project); });
}

std::int64_t SharedHistory::othersOfProject(const std::wstring& project) const {
    return sumOfOthers([&](const PackedHistory& rows) { return rows.projectSeconds(project); });
}

std::vector<ChartPc> SharedHistory::chartPcs(const std::vector<HistoryRow>& ownRows) const {
    const std::vector<std::shared_ptr<const OtherPcHistory>> none;
    const auto& pcs = sharing() ? others() : none;
    // A name that two PCs share is told apart by their IDs.
    const auto label = [&](const std::wstring& name, std::uint32_t id, const wchar_t* thisPc) {
        int same = name == thisPc_ ? 1 : 0;
        for (const auto& pc : pcs) same += pc->name == name ? 1 : 0;
        std::wstring extra = same > 1 ? pcIdText(id) : L"";
        if (*thisPc) extra += (extra.empty() ? L"" : L", ") + std::wstring(thisPc);
        return extra.empty() ? name : name + L" (" + extra + L")";
    };
    std::vector<ChartPc> chart{{label(thisPc_, thisId_, L"this PC"), &ownRows}};
    for (const auto& pc : pcs) chart.push_back({label(pc->name, pc->id, L""), nullptr, &pc->rows});
    return chart;
}

std::vector<std::wstring> SharedHistory::statusLines() const {
    std::vector<std::wstring> lines;
    if (settingsError) lines.push_back(L"share.cfg could not be used: " + systemReason(settingsError));
    if (!sharing()) return lines;
    const std::wstring folder = displayPath(folder_);
    if (!reported_) {
        lines.push_back(L"Sharing with other PCs through " + folder + L"; reading it\u2026");
    } else if (report_.readDone && !report_.reached) {
        lines.push_back(L"The shared folder " + folder + L" cannot be reached (" + systemReason(report_.error) +
                        L"); this PC's history is written there when it is back");
    } else if (report_.writeError) {
        lines.push_back(L"This PC's history could not be written to " + folder + L" (" +
                        systemReason(report_.writeError) + L"); it is tried again every minute");
    } else if (report_.readDone && others().empty()) {
        lines.push_back(L"Sharing with other PCs through " + folder + L"; no other PC's history is there yet");
    } else {
        lines.push_back(L"Sharing with other PCs through " + folder);
    }
    lines.insert(lines.end(), report_.notes.begin(), report_.notes.end());
    return lines;
}
