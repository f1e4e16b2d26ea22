// libFuzzer target: any bytes as share-id.cfg, which a person, a backup or another program may
// have touched. Reading never crashes, and what it read, written and read again, is the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sharing/pc_identity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<PcIdentityState> state = parsePcIdentity(bytes);
    if (!state) return 0;
    const std::optional<PcIdentityState> again = parsePcIdentity(formatPcIdentity(*state));
    if (!again || !(*again == *state)) __builtin_trap();
    return 0;
}
