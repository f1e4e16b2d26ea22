// The Windows side of the survival scripts, which drive the real program from bash:
//   survival_helper wait TITLE MS   waits up to MS for a visible top-level window titled TITLE.
//                                   For a message box it prints "message", then its texts, and
//                                   presses OK; for any other window it prints "window".
//                                   Exit code 1 when nothing came.
//   survival_helper message TITLE MS  the same for message boxes only.
//   survival_helper hold PATH MS    holds PATH open for MS the way a backup or sync tool might:
//                                   sharing read and write but not delete, so that nothing can
//                                   replace it meanwhile. Prints "held" once it has it.
//   survival_helper kept PATH       prints the seconds that the history PATH and its journal
//                                   hold together, as the program's next start would count
//                                   them; exit code 1 when either is not whole.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "history/work_history.h"

namespace {

std::wstring widen(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? length - 1 : 0, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    return wide;
}

// Bytes exactly as the program wrote them: no CR added before the newlines of a message.
void print(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string bytes(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                        nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fputc('\n', stdout);
}

std::wstring textOf(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring classOf(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    return name;
}

struct Search {
    std::wstring title;
    bool messageOnly;
    HWND found = nullptr;
};

BOOL CALLBACK findTitled(HWND hwnd, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    if (!IsWindowVisible(hwnd) || textOf(hwnd) != search->title) return TRUE;
    // A message box wins over the overlay: a start that fails may show its window first.
    const bool message = classOf(hwnd) == L"#32770";
    if (message || (!search->found && !search->messageOnly)) search->found = hwnd;
    return TRUE;
}

BOOL CALLBACK printStatic(HWND hwnd, LPARAM) {
    if (lstrcmpiW(classOf(hwnd).c_str(), L"Static") == 0 && GetWindowTextLengthW(hwnd) > 0)
        print(textOf(hwnd));
    return TRUE;
}

int wait(const char* title, DWORD ms, bool messageOnly) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    Search search{widen(title), messageOnly};
    while (EnumWindows(findTitled, reinterpret_cast<LPARAM>(&search)), !search.found) {
        if (GetTickCount64() >= deadline) return 1;
        Sleep(30);
    }
    if (classOf(search.found) != L"#32770") {
        print(L"window");
        return 0;
    }
    print(L"message");
    EnumChildWindows(search.found, printStatic, 0);
    std::fflush(stdout);
    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    return 0;
}

int hold(const char* path, DWORD ms) {
    const HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot open %s: error %lu\n", path, GetLastError());
        return 1;
    }
    print(L"held");
    std::fflush(stdout);
    Sleep(ms);
    CloseHandle(file);
    return 0;
}

int kept(const char* path) {
    const auto rows = keptHistory(widen(path));
    if (!rows) return 1;
    std::int64_t seconds = 0;
    for (const HistoryRow& row : *rows) seconds += row.seconds;
    std::printf("%lld\n", static_cast<long long>(seconds));
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc > 1 ? argv[1] : "";
    if ((command == "wait" || command == "message") && argc == 4)
        return wait(argv[2], static_cast<DWORD>(std::atol(argv[3])), command == "message");
    if (command == "hold" && argc == 4) return hold(argv[2], static_cast<DWORD>(std::atol(argv[3])));
    if (command == "kept" && argc == 3) return kept(argv[2]);
    std::fprintf(stderr, "usage: survival_helper wait|message TITLE MS | hold PATH MS | kept PATH\n");
    return 2;
}
