#include "config/file_system.h"

#include <filesystem>

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
    if (!step(WriteStep::open, [&] { return (file = createTemporary(temporary)) != nullptr; })) return error;
    step(WriteStep::write, [&] { return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(); });
    step(WriteStep::flush, [&] { return flushToDisk(file); });
    step(WriteStep::replace, [&] { return putInPlace(file, temporary, path); });
    // Once in place the bytes are on the disk already: closing can lose nothing of them.
    std::fclose(file);
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

std::wstring freeNameBeside(const std::wstring& path, const std::wstring& stem, const std::wstring& extension) {
    const std::wstring folder = path.substr(0, path.find_last_of(L"/\\") + 1);
    std::wstring candidate = folder + stem + extension;
    for (int n = 2; pathExists(candidate); ++n) candidate = folder + stem + L" (" + std::to_wstring(n) + L")" + extension;
    return candidate;
}

std::optional<std::wstring> keepAside(const std::wstring& path, const std::wstring& stem, const std::wstring& extension,
                                      const std::error_code& readError, std::error_code& error) {
    try {
        const std::wstring kept = freeNameBeside(path, stem, extension);
        if (replaceFile(path, kept)) return kept;
        error = lastFileError();
    } catch (const std::filesystem::filesystem_error& failure) {
        error = failure.code();
    }
    if (!error) error = readError ? readError : std::make_error_code(std::errc::io_error);
    return std::nullopt;
}

namespace {
std::function<std::error_code(const std::wstring&)> failingReads;
}  // namespace

void failReadsForTests(std::function<std::error_code(const std::wstring& path)> fail) { failingReads = std::move(fail); }

std::optional<std::string> readWholeFile(const std::wstring& path, bool& found, std::error_code& error) {
    found = true;
    error.clear();
    if (failingReads) {
        if (const std::error_code failure = failingReads(path); failure && pathExists(path)) {
            error = failure;
            return std::nullopt;
        }
    }
    std::FILE* file = openFile(path, "rb");
    if (!file) {
        error = lastFileError();
        try {
            found = pathExists(path);
        } catch (const std::filesystem::filesystem_error& failure) {
            error = failure.code();
        }
        if (!error) error = std::make_error_code(std::errc::io_error);
        return std::nullopt;
    }
    std::string bytes;
    char buffer[16384];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    const bool readWhole = !std::ferror(file);
    std::fclose(file);
    if (readWhole) return bytes;
    error = std::make_error_code(std::errc::io_error);
    return std::nullopt;
}
