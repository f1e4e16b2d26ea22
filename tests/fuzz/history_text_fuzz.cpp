// libFuzzer target: any bytes as history.csv, as a spreadsheet or a person may have saved it.
// Reading never crashes, and what was read, written in the program's own form and read again,
// is the same rows, all of them readable, in every form it writes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "history/history_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const DateOrder order : {DateOrder::dayFirst, DateOrder::monthFirst}) {
        const HistoryText text = parseHistoryText(bytes, order);
        for (const CsvForm& form : {plainCsv, spreadsheetCsv(L";"), CsvForm{';', true, CsvQuoting::always}}) {
            const HistoryText again = parseHistoryText(formatHistoryText(text.rows, form), order);
            if (!again.headerFound || !again.unreadableLines.empty() || !(again.rows == text.rows)) __builtin_trap();
        }
    }
    return 0;
}
