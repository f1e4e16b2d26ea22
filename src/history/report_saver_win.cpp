#include "history/report_saver_win.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "common/com_win.h"
#include "common/kernel_handle_win.h"
#include "common/local_clock.h"
#include "config/file_system.h"

namespace {

// The save dialog's own identity, so that Windows keeps the folder of the last report apart
// from that of the sharing folder's picker, across runs too.
const GUID reportDialogId = {0x6b1f3c2a, 0x8d4e, 0x4f61, {0x9a, 0x27, 0x3e, 0x51, 0xc4, 0x0d, 0x7b, 0x92}};

constexpr DWORD stopWaitMs = 5000;

std::wstring shellReason(INT_PTR code) {
    if (code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE) return L"no program is set to open .html files";
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == SE_ERR_ACCESSDENIED ||
        code == SE_ERR_OOM || code == SE_ERR_SHARE)
        return systemReason(std::error_code(static_cast<int>(code), std::system_category()));
    return L"Windows error " + std::to_wstring(code);
}

std::wstring comReason(HRESULT result) {
    return systemReason(std::error_code(static_cast<int>(result), std::system_category()));
}

}  // namespace

const ReportSaver::Kind ReportSaver::report{L"Save report", L"Web page (*.html)", L"*.html", L"html", L"report", true};
const ReportSaver::Kind ReportSaver::csv{L"Export CSV", L"CSV file (*.csv)", L"*.csv", L"csv", L"export", false};

struct ReportSaver::Job {
    const Kind* kind = &report;
    HWND owner = nullptr;
    std::wstring fileName;
    std::wstring folder;  // where the dialog opens; empty: Documents
    std::string html;
    KernelHandle finished{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<DWORD> threadId{0};
    std::atomic<bool> cancelled{false};
    std::mutex mutex;
    std::wstring savedFolder;  // where the report went
    std::optional<DayNumber> savedOn;  // the day it was written, once it was

    HWND ownerWindow() const { return IsWindow(owner) ? owner : nullptr; }
    void tell(const std::wstring& text) const {
        if (!cancelled) MessageBoxW(ownerWindow(), text.c_str(), L"Ardeno Time", MB_OK | MB_ICONWARNING);
    }
    std::wstring askWhere() const;
    void run();
};

std::wstring ReportSaver::Job::askWhere() const {
    ComRef<IFileSaveDialog> dialog;
    HRESULT result = CoCreateInstance(CLSID_FileSaveDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSaveDialog,
                                      reinterpret_cast<void**>(dialog.put()));
    if (SUCCEEDED(result)) {
        dialog->SetClientGuid(reportDialogId);
        dialog->SetTitle(kind->title);
        const COMDLG_FILTERSPEC types[] = {{kind->typeName, kind->pattern}};
        dialog->SetFileTypes(1, types);
        dialog->SetDefaultExtension(kind->extension);
        dialog->SetFileName(fileName.c_str());
        FILEOPENDIALOGOPTIONS options = 0;
        dialog->GetOptions(&options);
        dialog->SetOptions(options | FOS_OVERWRITEPROMPT | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST |
                           FOS_NOREADONLYRETURN);
        // Documents unless Windows remembers where the last report went; the last folder of
        // this run in any case. A folder gone since is left to the dialog's own choice.
        ComRef<IShellItem> start;
        if (!folder.empty()) {
            if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem,
                                                      reinterpret_cast<void**>(start.put()))))
                dialog->SetFolder(start.get());
        } else if (SUCCEEDED(SHGetKnownFolderItem(FOLDERID_Documents, KF_FLAG_DEFAULT, nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(start.put())))) {
            dialog->SetDefaultFolder(start.get());
        }
        result = dialog->Show(ownerWindow());
    }
    if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return L"";
    ComRef<IShellItem> item;
    ComMemory<PWSTR> path;
    if (SUCCEEDED(result)) result = dialog->GetResult(item.put());
    if (SUCCEEDED(result)) result = item->GetDisplayName(SIGDN_FILESYSPATH, path.put());
    if (SUCCEEDED(result) && path.get()) return path.get();
    tell(L"Ardeno Time cannot show Windows' save dialog: " + comReason(result) + L".");
    return L"";
}

void ReportSaver::Job::run() {
    threadId = GetCurrentThreadId();
    {
        const ComApartment com;
        const std::wstring path = askWhere();
        if (!path.empty() && !cancelled) {
            if (const std::error_code error = writeFileAtomically(path, html)) {
                tell(L"Ardeno Time cannot save the " + std::wstring(kind->noun) + L" as:\n" + path + L"\n\n" +
                     systemReason(error) + L".");
            } else {
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    savedFolder = path.substr(0, path.find_last_of(L"\\/"));
                    savedOn = readLocalMoment().day;
                }
                const auto opened = kind->openSaved ? reinterpret_cast<INT_PTR>(ShellExecuteW(
                                                          ownerWindow(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL))
                                                    : INT_PTR{33};
                if (opened <= 32 && !cancelled)
                    tell(L"The report is saved as:\n" + path + L"\n\nWindows cannot open it: " + shellReason(opened) +
                         L".");
            }
        }
    }
    SetEvent(finished.get());
}

ReportSaver::~ReportSaver() { stop(); }

bool ReportSaver::busy() const { return job_ && WaitForSingleObject(job_->finished.get(), 0) != WAIT_OBJECT_0; }

std::error_code ReportSaver::start(HWND owner, const std::wstring& fileName, std::string html, const Kind& kind) {
    if (busy()) return std::make_error_code(std::errc::device_or_resource_busy);
    collect();
    auto job = std::make_shared<Job>();
    if (!job->finished) return std::error_code(static_cast<int>(GetLastError()), std::system_category());
    job->kind = &kind;
    job->owner = owner;
    job->fileName = fileName;
    job->folder = lastFolder_;
    job->html = std::move(html);
    try {
        // The thread holds the job too, should stop give up waiting for it.
        thread_ = std::thread([job] { job->run(); });
    } catch (const std::system_error& error) {
        return error.code();
    }
    job_ = std::move(job);
    return {};
}

void ReportSaver::collect() {
    if (!job_) return;
    if (thread_.joinable()) thread_.join();
    const std::lock_guard<std::mutex> lock(job_->mutex);
    if (!job_->savedFolder.empty()) lastFolder_ = job_->savedFolder;
    if (job_->savedOn) savedOn_ = job_->savedOn;
    job_.reset();
}

std::optional<DayNumber> ReportSaver::takeSaved() {
    std::optional<DayNumber> saved = savedOn_;
    savedOn_.reset();
    if (job_) {
        const std::lock_guard<std::mutex> lock(job_->mutex);
        if (job_->savedOn) saved = job_->savedOn;
        job_->savedOn.reset();
    }
    return saved;
}

void ReportSaver::stop() {
    if (!job_) return;
    job_->cancelled = true;
    // WM_CLOSE ends the dialog as Cancel does, and a message box as OK does. The thread's
    // windows may still be coming, so it is said again while waiting. The thread may send
    // messages to the owner, on this thread, meanwhile: they are handled here.
    const HANDLE finished = job_->finished.get();
    const DWORD until = GetTickCount() + stopWaitMs;
    for (;;) {
        if (const DWORD thread = job_->threadId)
            EnumThreadWindows(
                thread,
                [](HWND window, LPARAM) -> BOOL {
                    if (IsWindowVisible(window)) PostMessageW(window, WM_CLOSE, 0, 0);
                    return TRUE;
                },
                0);
        const auto left = static_cast<LONG>(until - GetTickCount());
        if (left <= 0) break;
        const DWORD woken = MsgWaitForMultipleObjects(1, &finished, FALSE, std::min<DWORD>(left, 200), QS_SENDMESSAGE);
        if (woken == WAIT_OBJECT_0) break;
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (WaitForSingleObject(finished, 0) == WAIT_OBJECT_0) {
        collect();
        return;
    }
    // A dialog that does not close (a question of its own open) keeps its thread; it ends with
    // the program.
    thread_.detach();
    job_.reset();
}
