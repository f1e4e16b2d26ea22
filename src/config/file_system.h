#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

// The few file operations the settings files need, with one implementation per platform
// (file_system_posix.cpp, file_system_win.cpp) and the atomic write built on top of them.

// Opens a file by its wide path with a C stdio mode ("rb", "wb"); null on failure.
std::FILE* openFile(const std::wstring& path, const char* mode);

// Pushes what was written to `file` through to the disk.
bool flushToDisk(std::FILE* file);

// Puts `from` in place of `to` in one step, replacing `to` if it exists.
bool replaceFile(const std::wstring& from, const std::wstring& to);

// Creates (or empties) the temporary file of an atomic write, opened for writing so that it can
// be put in place while still open; null on failure.
std::FILE* createTemporary(const std::wstring& path);

// Puts the open temporary `file`, made by createTemporary at `from`, in place of `to` in one
// step. On Windows the rename goes through the open handle: a save every counted second then
// opens its file once instead of twice.
bool putInPlace(std::FILE* file, const std::wstring& from, const std::wstring& to);

bool removeFile(const std::wstring& path);

// Creates one folder in which every user of the machine may create and replace files (on
// Windows; elsewhere an ordinary folder). An existing folder is left as it is, and any failure
// is left for the file operations that follow to notice.
void createSharedFolder(const std::wstring& path);

// True when the path's attributes can be read, whatever it is. False when the platform says it
// is not there (not found, path not found, network path not found, invalid name). Any other
// failure throws std::filesystem::filesystem_error for the operation "exists".
bool pathExists(const std::wstring& path);

// Whether a folder stands at the path; false when nothing does or it cannot be told.
bool isFolder(const std::wstring& path);

// The steps of writeFileAtomically, named so that tests can make any one of them fail.
enum class WriteStep { open, write, flush, replace };

// The temporary file that writeFileAtomically fills before it replaces `path`.
std::wstring temporaryPathFor(const std::wstring& path);

// The system's error of the file operation that failed last on this thread.
std::error_code lastFileError();

// The system's words for `error`, without the full stop or line end some systems add.
std::wstring systemReason(const std::error_code& error);

// Writes `bytes` to a temporary file beside `path`, flushes it to disk and then replaces
// `path` with it in one step, so that a crash or power cut at any moment leaves either the old
// or the new complete file. Returns the system's error of the step that failed (`path` is then
// unchanged), or no error. `failStep`, when given, is asked before each step and makes it fail
// when it says so.
std::error_code writeFileAtomically(const std::wstring& path, const std::string& bytes,
                                    const std::function<bool(WriteStep)>& failStep = nullptr);

// A name for a file kept aside in the folder of `path`: stem and extension, with " (2)", " (3)"
// ... after the stem while that name is taken. Throws std::filesystem::filesystem_error when a
// name cannot be checked.
std::wstring freeNameBeside(const std::wstring& path, const std::wstring& stem, const std::wstring& extension);

// Moves a file whose content cannot be read out of the way, to a free name beside it
// (freeNameBeside with `stem` and `extension`): what it holds stays for the person who made it so,
// and the next save starts a new file. The name it went to, or nullopt and `error` (never empty:
// `readError`, else an I/O error, when the system gave no reason).
std::optional<std::wstring> keepAside(const std::wstring& path, const std::wstring& stem, const std::wstring& extension,
                                      const std::error_code& readError, std::error_code& error);

// Reads a whole file. Nullopt with `found` false when nothing is at the path, with `found` true
// when something is there that cannot be read (`error` says why).
std::optional<std::string> readWholeFile(const std::wstring& path, bool& found, std::error_code& error);

// For tests: readWholeFile fails, as if another program held the file, for every file that is
// there and for which `fail` returns an error; nullptr ends it.
void failReadsForTests(std::function<std::error_code(const std::wstring& path)> fail);
