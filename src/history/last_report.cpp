#include "history/last_report.h"

#include "config/file_system.h"
#include "config/settings_error.h"

void LastReport::open(std::wstring path, LocalMoment now) {
    // A save the file could not take yet is kept; otherwise the file says, as a person may have
    // edited it since.
    if (path != path_ || !error_) mark_.reset();
    path_ = std::move(path);
    keptAs_.clear();
    load(now);
}

void LastReport::load(LocalMoment now) {
    ReportMarkLoad load = loadReportMarkFile(path_, fileStamp(now));
    writable_ = load.writable;
    error_ = load.error;
    if (!load.keptAs.empty()) keptAs_ = load.keptAs;
    // A mark noted while the file could not be read goes on; the file's may be later.
    if (load.mark && (!mark_ || sinceLastReportFirst(*load.mark) > sinceLastReportFirst(*mark_))) mark_ = load.mark;
}

std::error_code LastReport::noteRangeBilled(const ReportRange& range, DayNumber savedOn, LocalMoment now) {
    if (!writable_ && !path_.empty()) load(now);
    mark_ = markAfterSave(mark_, range, savedOn);
    if (path_.empty()) return {};
    if (!writable_) return error_;
    error_ = saveReportMarkFile(path_, *mark_);
    return error_;
}

std::vector<std::wstring> LastReport::notes() const {
    std::vector<std::wstring> notes;
    if (!keptAs_.empty())
        notes.push_back(L"lastreport.cfg could not be read; it was kept as " + displayPath(keptAs_) + L".");
    if (error_)
        notes.push_back(std::wstring(writable_ ? L"lastreport.cfg cannot be written now ("
                                               : L"lastreport.cfg cannot be read now (") +
                        systemReason(error_) + L"); Since the last report goes by this run's saves.");
    return notes;
}
