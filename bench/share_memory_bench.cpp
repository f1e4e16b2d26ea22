// What sharing the history costs in memory, whatever the shared folder holds: the real thread
// that looks after the folder reads it, as the overlay does, and the main thread keeps the
// latest report, as the menu and the window do. Two folders: a busy user's (five other PCs of
// ten years each, about 1 MB apiece) and a hostile one (a dozen files just under the size limit,
// rows made to take the most memory, and a sparse file of 400 MB). Each is read, then read
// again with every file changed, so that old and new rows meet. Prints the process's peak
// working set and the heap's peak over what it was before sharing started (goal: within 64 MB).
#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "sharing/share_worker_win.h"
#include "sharing/shared_history.h"

namespace {

std::atomic<std::size_t> heapNow{0}, heapPeak{0};

// Each block carries its size before it, so that the heap in use can be counted.
constexpr std::size_t header = 16;

double mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

std::size_t peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

// A file of `rows` written a line at a time, so that making it costs no memory.
void writeRows(const std::filesystem::path& path, std::size_t targetBytes, int kind, int salt) {
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    std::size_t written = std::fprintf(file, "date,program,seconds\r\n");
    static const char* const programs[] = {"photoshop.exe", "blender.exe", "illustrator.exe", "code.exe",
                                           "figma.exe",     "excel.exe",   "premiere.exe",    "word.exe",
                                           "aftereffects.exe"};
    for (int i = 0; written < targetBytes; ++i) {
        int line;
        if (kind == 0) {  // ten years of a busy PC: nine programs a day, hours of work
            const int day = i / 9;
            line = std::fprintf(file, "%04d-%02d-%02d,%s,%d\r\n", 2016 + day / 365, 1 + day % 365 / 31,
                                1 + day % 31 % 28, programs[i % 9], 600 + (i * 37 + salt) % 20000);
        } else {  // the most rows for the bytes: short names, every (day, program) new
            const int day = i / 26;
            line = std::fprintf(file, "%04d-%02d-%02d,%c%d,%d\r\n", 1000 + day / 336, 1 + day % 336 / 28,
                                1 + day % 28, 'a' + i % 26, salt, 1);
        }
        written += static_cast<std::size_t>(line);
    }
    std::fclose(file);
}

struct Folder {
    const char* name;
    int files;
    std::size_t bytes;
    int kind;
    bool huge;
};

// Takes reports until none has come for a while: the folder is read.
void untilSettled(ShareWorker& worker, SharedHistory& shared) {
    DWORD quiet = GetTickCount();
    while (GetTickCount() - quiet < 2000) {
        if (auto report = worker.takeReport()) {
            shared.take(std::move(*report));
            quiet = GetTickCount();
        }
        Sleep(20);
    }
}

void measure(const Folder& folder, const std::vector<HistoryRow>& own, const std::filesystem::path& root) {
    const std::filesystem::path path = root / folder.name;
    std::filesystem::create_directories(path);
    const auto fileOf = [&](int i) {
        return path / ("history-PC" + std::to_string(i) + "-" + std::to_string(10000000 + i) + ".csv");
    };
    for (int i = 0; i < folder.files; ++i) writeRows(fileOf(i), folder.bytes, folder.kind, 0);
    if (folder.huge) {
        std::fclose(_wfopen((path / "history-HUGE-0000dead.csv").c_str(), L"wb"));
        std::filesystem::resize_file(path / "history-HUGE-0000dead.csv", std::uintmax_t{400} << 20);
    }

    const std::size_t peakBefore = peakWorkingSet(), heapBefore = heapNow.load();
    heapPeak = heapBefore;
    const DWORD start = GetTickCount();
    SharedHistory shared;
    ShareWorker worker;
    ThisPc pc{L"BENCH", 0xbe4c4, (root / (std::string(folder.name) + "-share-id.cfg")).wstring(), false,
              [] { return std::optional<std::uint32_t>(0x5eed); }};
    shared.shareThrough(path.wstring());
    worker.shareThrough(path.wstring(), pc);
    worker.write(own);
    untilSettled(worker, shared);
    const DWORD firstMs = GetTickCount() - start - 2000;
    const std::size_t counted = shared.others().size();
    // Every file changed: each is read again while the main thread still holds its old rows.
    for (int i = 0; i < folder.files; ++i) writeRows(fileOf(i), folder.bytes - 64, folder.kind, 1);
    worker.readNow();
    untilSettled(worker, shared);
    std::printf("%-14s %2d files of %.1f MB%s: %zu counted, %zu lines in the window; read in %lu ms\n", folder.name,
                folder.files, mb(folder.bytes), folder.huge ? " and one of 400 MB" : "", counted,
                shared.statusLines().size() - 1, static_cast<unsigned long>(firstMs));
    std::printf("%-14s peak working set %.1f -> %.1f MB (+%.1f); heap peak +%.1f MB, kept +%.1f MB (goal: +64 at most)\n",
                "", mb(peakBefore), mb(peakWorkingSet()), mb(peakWorkingSet() - peakBefore), mb(heapPeak - heapBefore),
                mb(heapNow - heapBefore));
}

}  // namespace

void* operator new(std::size_t size) {
    char* block = static_cast<char*>(std::malloc(size + header));
    if (!block) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(block) = size;
    const std::size_t now = heapNow += size;
    for (std::size_t peak = heapPeak; now > peak && !heapPeak.compare_exchange_weak(peak, now);) {
    }
    return block + header;
}
void operator delete(void* memory) noexcept {
    if (!memory) return;
    char* block = static_cast<char*>(memory) - header;
    heapNow -= *reinterpret_cast<std::size_t*>(block);
    std::free(block);
}
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }

int main(int argc, char** argv) {
    const Folder folders[] = {{"busy-user", 5, 1000 * 1000, 0, false},
                              {"hostile", 12, largestPcFileBytes - 100, 1, true}};
    if (argc < 2) {
        // Each folder in a process of its own, so that each peak starts from the same floor.
        std::printf("sharing's memory over the overlay's own, the folder read twice (limits: %.0f MB a file, %.0f MB "
                    "kept)\n", mb(largestPcFileBytes), mb(keptPcFilesBytes));
        std::fflush(stdout);
        for (const Folder& folder : folders) {
            std::string command = "\"" + std::string(argv[0]) + "\" " + folder.name;
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION process{};
            if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
                return 1;
            WaitForSingleObject(process.hProcess, INFINITE);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        return 0;
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path root = std::filesystem::path(temp) / L"ardeno-share-memory-bench";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    // This PC's own history, ten years of one row a day, as the overlay holds it anyway.
    std::vector<HistoryRow> own;
    for (DayNumber day = 20000; day < 20000 + 3652; ++day) own.push_back({day, L"photoshop.exe", 28800});
    for (const Folder& folder : folders)
        if (std::string(argv[1]) == folder.name) measure(folder, own, root);
    std::filesystem::remove_all(root);
    return 0;
}
