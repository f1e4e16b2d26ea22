// libFuzzer target: any bytes as another PC's file in the shared folder, perhaps still being
// synchronised, read in pieces of the usual size and of a few bytes. Reading never crashes,
// and the rows it gave, written as this PC writes its own file and read again, are the same,
// all of them readable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sharing/pc_history_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const PcFileName pc{L"LAPTOP", 0x1234abcd};
    const std::wstring fileName = pcHistoryFileName(pc.name, pc.id);
    const std::size_t small = size ? data[0] % 64 + 1 : 1;
    for (const std::size_t pieceBytes : {std::size_t{65536}, small}) {
        const OtherPcHistory read = readOtherPcText(pc, fileName, bytes, pieceBytes);
        const OtherPcHistory again = readOtherPcText(pc, fileName, formatHistoryText(read.rows), pieceBytes);
        if (!again.problem.empty() || !(again.rows == read.rows)) __builtin_trap();
    }
    return 0;
}
