// Prints what Windows says about another running process, for scripts/bench.sh:
//   process_stats NAME    one line of key=value pairs for the first process whose executable
//                         file name is NAME (case-insensitive); exit code 1 when none runs.
// Keys: pid threads user_ms kernel_ms ws_kb peak_ws_kb private_kb gdi gdi_peak user user_peak handles.
// A figure the system refuses is printed as -1, so that the script can tell "refused" from "zero".
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The peak counters of GetGuiResources exist from Windows 7 on; older mingw headers lack them.
#ifndef GR_GDIOBJECTS_PEAK
#define GR_GDIOBJECTS_PEAK 2
#endif
#ifndef GR_USEROBJECTS_PEAK
#define GR_USEROBJECTS_PEAK 4
#endif

struct Found {
    DWORD pid = 0;
    DWORD threads = 0;
};

Found findProcess(const wchar_t* name) {
    Found found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) == 0) {
            found.pid = entry.th32ProcessID;
            found.threads = entry.cntThreads;
            break;
        }
    }
    CloseHandle(snapshot);
    return found;
}

long long milliseconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<long long>(value.QuadPart / 10000);
}

long long guiResources(HANDLE process, DWORD which) {
    // 0 is also the answer for a process without a GUI thread, so it cannot mean "refused" here.
    return static_cast<long long>(GetGuiResources(process, which));
}

}  // namespace

int wmain(int argc, wchar_t* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: process_stats NAME.exe\n");
        return 2;
    }
    const Found found = findProcess(argv[1]);
    if (found.pid == 0) return 1;

    // The full query right first: GetGuiResources asks for it on older systems. The limited one
    // is what a process of a lower integrity level can still get.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, found.pid);
    if (!process) process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, found.pid);
    if (!process) {
        std::fprintf(stderr, "process_stats: OpenProcess(%lu) failed with error %lu\n", found.pid, GetLastError());
        return 3;
    }

    long long userMs = -1, kernelMs = -1;
    FILETIME created, exited, kernel, user;
    if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        userMs = milliseconds(user);
        kernelMs = milliseconds(kernel);
    }

    long long workingSetKb = -1, peakWorkingSetKb = -1, privateKb = -1;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        workingSetKb = static_cast<long long>(memory.WorkingSetSize / 1024);
        peakWorkingSetKb = static_cast<long long>(memory.PeakWorkingSetSize / 1024);
        privateKb = static_cast<long long>(memory.PrivateUsage / 1024);
    }

    long long handles = -1;
    DWORD handleCount = 0;
    if (GetProcessHandleCount(process, &handleCount)) handles = handleCount;

    std::printf("pid=%lu threads=%lu user_ms=%lld kernel_ms=%lld ws_kb=%lld peak_ws_kb=%lld private_kb=%lld "
                "gdi=%lld gdi_peak=%lld user=%lld user_peak=%lld handles=%lld\n",
                found.pid, found.threads, userMs, kernelMs, workingSetKb, peakWorkingSetKb, privateKb,
                guiResources(process, GR_GDIOBJECTS), guiResources(process, GR_GDIOBJECTS_PEAK),
                guiResources(process, GR_USEROBJECTS), guiResources(process, GR_USEROBJECTS_PEAK), handles);
    CloseHandle(process);
    return 0;
}
