// libFuzzer target: any bytes as history.csv.journal. Reading never crashes, and a journal that
// was read, written and read again names the same files and holds the same rows.
#include <cstddef>
#include <cstdint>
#include <string>

#include "history/history_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<HistoryJournal> journal = parseJournal(bytes);
    if (!journal) return 0;
    const std::optional<HistoryJournal> again = parseJournal(formatJournal(*journal));
    if (!again || again->base != journal->base || again->next != journal->next || !(again->rows == journal->rows))
        __builtin_trap();
    return 0;
}
