// libFuzzer target: any bytes as overlay.cfg, perhaps edited by hand or by a later version.
// Reading never crashes, and what it read, written and read again, gives the same choices and
// kept lines, with nothing left unreadable.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/overlay_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const OverlayFileText text = parseOverlayFile(bytes);
    const OverlayFileText again = parseOverlayFile(formatOverlayFile(text.choices, text.kept));
    if (!(again.choices == text.choices) || again.kept != text.kept || !again.unreadableLines.empty())
        __builtin_trap();
    return 0;
}
