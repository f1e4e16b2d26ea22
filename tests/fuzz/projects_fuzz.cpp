// libFuzzer target: any bytes as projects.cfg, perhaps edited by hand. Reading never crashes,
// every name it reads keeps the name rule, and what it read, written and read again, is the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "config/projects_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<ProjectSettings> settings = parseProjects(bytes);
    if (!settings) return 0;
    for (const std::wstring& name : settings->recent)
        if (projectName(name).value_or(L"") != name) __builtin_trap();
    const std::optional<ProjectSettings> again = parseProjects(formatProjects(*settings));
    if (!again || !(*again == *settings)) __builtin_trap();
    return 0;
}
