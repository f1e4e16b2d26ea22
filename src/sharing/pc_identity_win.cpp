#include "sharing/pc_identity_win.h"

#include <windows.h>

#include <bcrypt.h>

#include "common/registry_key_win.h"
#include "sharing/pc_history_files.h"

namespace {

std::wstring computerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &length) ? std::wstring(name, length) : std::wstring();
}

// Read from the 64-bit view whatever this program is built as: the 32-bit view has no MachineGuid.
std::wstring machineGuid() {
    RegistryKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      key.put()) != ERROR_SUCCESS)
        return L"";
    wchar_t guid[64] = {};
    DWORD size = sizeof guid - sizeof guid[0];  // room for an end the value may lack
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), L"MachineGuid", nullptr, &type, reinterpret_cast<BYTE*>(guid), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return L"";
    return std::wstring(guid);
}

}  // namespace

ThisMachine readThisMachine() {
    ThisMachine pc;
    pc.name = computerName();
    if (pc.name.empty()) pc.name = L"PC";
    const std::wstring guid = machineGuid();
    pc.machineId = pcIdFromMachineGuid(guid.empty() ? L"name:" + pc.name : guid);
    return pc;
}

std::optional<std::uint32_t> randomPcId() {
    std::uint32_t id = 0;
    if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&id), sizeof id,
                                        BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
        return std::nullopt;
    return id;
}
