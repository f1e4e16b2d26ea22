#include "config/file_system.h"

#include "common/text.h"

std::wstring temporaryPathFor(const std::wstring& path) { return path + L".new"; }

std::error_code writeFileAtomically(const std::wstring& path, const std::string& bytes,
                                    const std::function<bool(WriteStep)>& failStep) {
    const std::wstring temporary = temporaryPathFor(path);
    std::error_code error;
    // Runs one step; on failure keeps the system's reason before any clean-up can overwrite it.
    const auto step = [&](WriteStep which, auto&& run) {
        if (error) return false;
        if (failStep && failStep(which)) error = std::make_error_code(std::errc::io_error);
        else if (!run() && !(error = lastFileError())) error = std::make_error_code(std::errc::io_error);
        return !error;
    };

    std::FILE* file = nullptr;
    if (!step(WriteStep::open, [&] { return (file = openFile(temporary, "wb")) != nullptr; })) return error;
    step(WriteStep::write, [&] { return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(); });
    step(WriteStep::flush, [&] { return flushToDisk(file); });
    const bool closed = std::fclose(file) == 0;
    step(WriteStep::close, [&] { return closed; });
    step(WriteStep::replace, [&] { return replaceFile(temporary, path); });
    // A temporary left behind by a crash is simply overwritten by the next write.
    if (error) removeFile(temporary);
    return error;
}

std::wstring systemReason(const std::error_code& error) {
    std::wstring reason = fromUtf8(error.message());
    while (!reason.empty() && (reason.back() == L'.' || reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L' '))
        reason.pop_back();
    return reason;
}
