// libFuzzer target: arbitrary file bytes through the settings-file reader. Reading never
// crashes, every failure is one of the five documented errors, and writing what was read and
// reading it again gives the same lines.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "config/config_file.h"

namespace {

void expectDocumentedError(const std::exception& error) {
    static const char* const documented[] = {"invalid vector subscript", "invalid stoi argument",
                                              "stoi argument out of range", "invalid stof argument",
                                              "stof argument out of range"};
    for (const char* text : documented)
        if (std::strcmp(error.what(), text) == 0) return;
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ConfigFile file;
    file.lines = parseLines(bytes);

    for (int index = -1; index <= static_cast<int>(file.lines.size()); ++index) {
        try {
            const std::wstring value = file.getString(index);
            if (value.find(L'\t') != std::wstring::npos) __builtin_trap();
            (void)file.getInt(index);
            (void)parseFloat(value);
        } catch (const std::logic_error& error) {
            expectDocumentedError(error);
        }
    }

    if (parseLines(formatLines(file.lines)) != file.lines) __builtin_trap();
    return 0;
}
