#include "overlay/target_programs.h"

#include <algorithm>

#include "common/text.h"

std::vector<std::wstring> parseTargetPrograms(const std::wstring& line) {
    std::vector<std::wstring> programs;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t bar = std::min(line.find(L'|', start), line.size());
        const std::size_t first = line.find_first_not_of(L' ', start);
        if (first < bar) {
            const std::size_t last = line.find_last_not_of(L' ', bar - 1);
            std::wstring name = line.substr(first, last + 1 - first);
            if (!chosenTarget(programs, name)) programs.push_back(std::move(name));
        }
        start = bar + 1;
    }
    return programs;
}

std::wstring targetProgramsLine(const std::vector<std::wstring>& programs) {
    std::wstring line;
    for (const std::wstring& program : programs) {
        if (!line.empty()) line += L'|';
        line += program;
    }
    return line;
}

const std::wstring* chosenTarget(const std::vector<std::wstring>& programs, const std::wstring& name) {
    if (name.empty()) return nullptr;
    for (const std::wstring& program : programs)
        if (sameFileName(program, name)) return &program;
    return nullptr;
}
