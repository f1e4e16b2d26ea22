// libFuzzer target: any bytes as another PC's file in the shared folder, perhaps still being
// synchronised. Reading never crashes, and the rows it gave, written as this PC writes its own
// file and read again, are the same, all of them readable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sharing/pc_history_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const PcFileName pc{L"LAPTOP", 0x1234abcd};
    const std::wstring fileName = pcHistoryFileName(pc.name, pc.id);
    const OtherPcHistory read = readOtherPcText(pc, fileName, bytes);
    const OtherPcHistory again = readOtherPcText(pc, fileName, formatHistoryText(read.rows));
    if (!again.problem.empty() || !(again.rows == read.rows)) __builtin_trap();
    return 0;
}
