// libFuzzer target: any bytes as overlay.cfg, perhaps edited by hand. Reading never crashes, and
// what it read, written and read again, is the same choice.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/overlay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<OverlayShows> shows = parseOverlayShows(bytes);
    if (shows && parseOverlayShows(formatOverlayShows(*shows)) != shows) __builtin_trap();
    return 0;
}
