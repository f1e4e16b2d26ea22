// libFuzzer target: any bytes as share.cfg, perhaps edited by hand. Reading never crashes, and
// the folder it named, written and read again, is the same folder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sharing/share_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::wstring folder = parseShareSettings(bytes);
    if (parseShareSettings(formatShareSettings(folder)) != folder) __builtin_trap();
    return 0;
}
