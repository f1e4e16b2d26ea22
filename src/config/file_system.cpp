#include "config/file_system.h"

std::wstring temporaryPathFor(const std::wstring& path) { return path + L".new"; }

bool writeFileAtomically(const std::wstring& path, const std::string& bytes,
                         const std::function<bool(WriteStep)>& failStep) {
    const auto fails = [&](WriteStep step) { return failStep && failStep(step); };
    const std::wstring temporary = temporaryPathFor(path);

    std::FILE* file = fails(WriteStep::open) ? nullptr : openFile(temporary, "wb");
    if (!file) return false;
    bool ok = !fails(WriteStep::write) && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = ok && !fails(WriteStep::flush) && flushToDisk(file);
    const bool closed = std::fclose(file) == 0 && !fails(WriteStep::close);
    ok = ok && closed && !fails(WriteStep::replace) && replaceFile(temporary, path);
    // A temporary left behind by a crash is simply overwritten by the next write.
    if (!ok) removeFile(temporary);
    return ok;
}
