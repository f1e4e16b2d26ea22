#pragma once

#include <cstdint>
#include <optional>
#include <string>

// This PC as Windows names it: its computer name, and the ID its MachineGuid gives (see
// pc_identity.h for how a PC keeps an ID of its own in the shared folder).
struct ThisMachine {
    std::wstring name;
    std::uint32_t machineId = 0;
};

// The name from GetComputerNameW; the ID from the machine's MachineGuid, which Windows writes
// once when it is set up, so that it survives a reinstall of this program and a rename of the
// PC. A machine without one (or whose key cannot be read) takes its ID from its name.
ThisMachine readThisMachine();

// A new ID from the system's random number generator; nullopt when it fails.
std::optional<std::uint32_t> randomPcId();
