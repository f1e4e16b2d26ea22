// What the work history window prices and saves: the rates it reads and what the rates dialog
// confirmed, the report and the export of the range shown.
#include "history/history_window_win.h"

#include "common/list_separator_win.h"
#include "common/local_clock.h"
#include "config/file_system.h"
#include "history/billing.h"
#include "history/report_html.h"

void HistoryWindow::loadRates() {
    const std::wstring& historyPath = history_->path();
    ratesPath_ = ratesFilePath(historyPath.substr(0, historyPath.find_last_of(L"\\/")));
    rates_ = loadRatesFile(ratesPath_);
    if (rates_.state == RatesLoad::State::held) ratesRetry_.failed(readLocalMoment());
    else ratesRetry_.succeeded();
    ++ratesRevision_;
    if (handle()) InvalidateRect(handle(), nullptr, FALSE);
}

void HistoryWindow::takeDialogRates() {
    std::optional<RateSettings> rates = ratesDialog_.takeRates();
    if (!rates || history_ == nullptr) return;
    // Read again first: a file made unreadable meanwhile is still never written over.
    if (loadRates(); !rates_.writable()) {
        MessageBoxW(handle(), (L"Ardeno Time keeps the rates as they are: this file cannot be read:\n" + ratesPath_).c_str(),
                    L"Ardeno Time", MB_OK | MB_ICONWARNING);
        return;
    }
    if (const std::error_code error = saveRatesFile(ratesPath_, *rates)) {
        MessageBoxW(handle(), (L"Ardeno Time cannot save the rates as:\n" + ratesPath_ + L"\n\n" + systemReason(error) + L".").c_str(),
                    L"Ardeno Time", MB_OK | MB_ICONWARNING);
    }
    loadRates();
}

ReportSums HistoryWindow::sumsToSave(DayNumber today) {
    const std::vector<ChartPc> pcs = sharing_->chartPcs(history_->rows());
    savingRange_ = reportRange(range_, today, workedDays(pcs), rangeMarks());
    return sumReport(pcs, savingRange_, rates_.settings);
}

void HistoryWindow::saveReport() {
    // One save at a time; its dialog keeps the window from a second click, its message too.
    if (saver_.busy()) return;
    // The range shown, with every second counted until now; the dialog's thread gets the
    // finished page, and the window stays free meanwhile.
    const LocalMoment now = readLocalMoment();
    const ReportSums sums = sumsToSave(now.day);
    const std::error_code error = saver_.start(handle(), reportFileName(savingRange_),
                                               reportHtml(sums, {sharing_->sharing(), now, marks_}));
    if (error)
        MessageBoxW(handle(), (L"Ardeno Time cannot save a report: " + systemReason(error) + L".").c_str(),
                    L"Ardeno Time", MB_OK | MB_ICONWARNING);
}

void HistoryWindow::exportCsv() {
    if (saver_.busy()) return;
    // As the report: the range shown with every second counted until now. The separator and
    // mark are those of a new history file, the decimal mark the locale's without grouping,
    // so that the user's spreadsheet reads the numbers as numbers.
    const ReportSums sums = sumsToSave(readLocalMoment().day);
    std::wstring fileName = reportFileName(savingRange_);
    fileName = fileName.substr(0, fileName.size() - 5) + L" invoice lines.csv";
    const std::error_code error =
        saver_.start(handle(), fileName,
                     billingCsv(sums.billing, spreadsheetCsv(userListSeparator()), marks_.decimal), ReportSaver::csv);
    if (error)
        MessageBoxW(handle(), (L"Ardeno Time cannot export: " + systemReason(error) + L".").c_str(),
                    L"Ardeno Time", MB_OK | MB_ICONWARNING);
}
