#pragma once

#include <cstdint>
#include <string>

// This PC as the shared folder knows it: its computer name, its ID and so the name of its file.
struct PcIdentity {
    std::wstring name;
    std::uint32_t id = 0;
    std::wstring fileName;  // history-NAME-ID.csv
};

// The name from GetComputerNameW; the ID from the machine's MachineGuid, which Windows writes
// once when it is set up, so that it survives a reinstall of this program and a rename of the
// PC. A machine without one (or whose key cannot be read) takes its ID from its name.
PcIdentity readPcIdentity();
