// What sharing the history costs in memory, whatever the shared folder holds: the real thread
// that looks after the folder reads it, as the overlay does, and the main thread keeps the
// latest report, as the menu and the window do, and sums every PC's rows of all time as the
// history window draws them. Three folders: a family's or a small team's (five other PCs of
// twenty years of a busy freelancer, 2.4 MB apiece, generated as the checks do, and this PC
// with as long a history), the flood an earlier version left (this PC's twenty years under 40
// IDs, which it removes), and a hostile one (a dozen files just under the size
// limit, rows made to take the most memory, and a sparse file of 400 MB). Each is read, then
// read again with every file changed, so that old and new rows meet. Prints the process's peak
// working set and the heap's peak over what they were before sharing started (goal: within 64 MB).
#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "history/report_sums.h"
#include "history_rows.h"
#include "sharing/share_worker_win.h"
#include "sharing/shared_history.h"

namespace {

std::atomic<std::size_t> heapNow{0}, heapPeak{0};

// Each block carries its size before it, so that the heap in use can be counted.
constexpr std::size_t header = 16;
const DayNumber today = 20794;  // 2026-12-07

double mb(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

std::size_t peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

// Runs this program again with `arguments`, so that what that takes stays out of this one's peak.
bool runSelf(const std::string& arguments) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"" + std::string(self) + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// A career of `years` as history.csv's text, in a process of its own (see runSelf).
void writeCareer(const std::string& path, int years, int salt) {
    const std::string text = formatHistoryText(careerRows(today, years, salt));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

// The most rows, and names, for the bytes: short names, each row a new day and program. Written
// a line at a time, so that making it costs no memory.
void writeHostile(const std::filesystem::path& path, std::size_t targetBytes, int salt) {
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    std::size_t written = std::fprintf(file, "date,program,seconds\r\n");
    for (int i = 0; written < targetBytes; ++i) {
        const int day = i / 26;
        written += static_cast<std::size_t>(std::fprintf(file, "%04d-%02d-%02d,%c%x,%d\r\n", 1000 + day / 336,
                                                         1 + day % 336 / 28, 1 + day % 28, 'a' + i % 26, i + salt, 1));
    }
    std::fclose(file);
}

struct Folder {
    const char* name;
    int files;
    int years;   // of each career; 0 for the hostile files
    bool flood;  // the files are copies of this PC's own under many IDs
};

std::filesystem::path fileOf(const std::filesystem::path& folder, const Folder& kind, int i) {
    const std::string name = kind.flood ? "BENCH" : "PC" + std::to_string(i);
    return folder / ("history-" + name + "-" + std::to_string(10000000 + i) + ".csv");
}

// Every file of the folder, the second time all changed.
void fill(const std::filesystem::path& folder, const Folder& kind, int salt) {
    for (int i = 0; i < kind.files; ++i) {
        const std::filesystem::path path = fileOf(folder, kind, i);
        if (kind.years == 0) writeHostile(path, largestPcFileBytes - 100 - 64 * salt, salt);
        else if (kind.flood && i > 0) std::filesystem::copy_file(fileOf(folder, kind, 0), path);
        else runSelf("write \"" + path.string() + "\" " + std::to_string(kind.years) + " " +
                     std::to_string(kind.flood ? 0 : i * 7 + salt));
    }
}

// Takes reports until none has come for a while (a round that reads a large file takes a
// second or more under Wine): the folder is read.
constexpr DWORD quietMs = 6000;
void untilSettled(ShareWorker& worker, SharedHistory& shared) {
    DWORD quiet = GetTickCount();
    while (GetTickCount() - quiet < quietMs) {
        if (auto report = worker.takeReport()) {
            shared.take(std::move(*report));
            quiet = GetTickCount();
        }
        Sleep(20);
    }
}

void measure(const Folder& kind, const std::filesystem::path& root) {
    const std::filesystem::path path = root / kind.name;
    std::filesystem::create_directories(path);
    fill(path, kind, 0);
    if (kind.years == 0) {
        std::fclose(_wfopen((path / "history-HUGE-0000dead.csv").c_str(), L"wb"));
        std::filesystem::resize_file(path / "history-HUGE-0000dead.csv", std::uintmax_t{400} << 20);
    }
    // This PC's own history, as the overlay holds it anyway: twenty years of it.
    const std::vector<HistoryRow> own = careerRows(today, 20, kind.flood ? 0 : 99);

    const std::size_t peakBefore = peakWorkingSet(), heapBefore = heapNow.load();
    heapPeak = heapBefore;
    const DWORD start = GetTickCount();
    SharedHistory shared;
    ShareWorker worker;
    ThisPc pc{L"BENCH", 0xbe4c4, (root / (std::string(kind.name) + "-share-id.cfg")).wstring(), kind.flood,
              [] { return std::optional<std::uint32_t>(0x5eed); }};
    shared.shareThrough(path.wstring());
    worker.shareThrough(path.wstring(), pc);
    worker.write(PackedHistory(own), true);
    untilSettled(worker, shared);
    const DWORD firstMs = GetTickCount() - start - quietMs;
    const std::size_t counted = shared.others().size();
    // The history window's sums of all time, every PC.
    const DWORD sumStart = GetTickCount();
    const std::vector<ChartPc> pcs = shared.chartPcs(own);
    const ReportSums sums = sumReport(pcs, reportRange(ReportRangeKind::allTime, today, workedDays(pcs)));
    const DWORD sumMs = GetTickCount() - sumStart;
    // Every file changed: each is read again while the main thread still holds its old rows.
    if (!kind.flood) fill(path, kind, 1);
    worker.readNow();
    untilSettled(worker, shared);
    std::size_t left = 0;
    for (const auto& entry : std::filesystem::directory_iterator(path)) left += entry.is_regular_file() ? 1 : 0;
    std::printf("%-10s %2d files%s: %zu counted, %zu lines in the window, %zu files left; read in %lu ms; all "
                "time summed in %lu ms (%.0f h)\n",
                kind.name, kind.files, kind.years == 0 ? " near the limit and one of 400 MB" : "", counted,
                shared.statusLines().size() - 1, left, static_cast<unsigned long>(firstMs),
                static_cast<unsigned long>(sumMs), static_cast<double>(sums.total) / 3600);
    std::printf("%-10s peak working set %.1f -> %.1f MB (+%.1f); heap peak +%.1f MB, kept +%.1f MB (goal: +64 at most)\n",
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
    const Folder folders[] = {{"team", 5, 20, false}, {"flood", 40, 20, true}, {"hostile", 12, 0, false}};
    if (argc >= 5 && std::string(argv[1]) == "write") {
        writeCareer(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
        return 0;
    }
    if (argc < 2) {
        // Each folder in a process of its own, so that each peak starts from the same floor.
        std::printf("sharing's memory over the overlay's own, the folder read twice (limits: %.0f MB a file, %.0f MB "
                    "of rows kept)\n", mb(largestPcFileBytes), mb(keptPcRowsBytes));
        std::fflush(stdout);
        for (const Folder& folder : folders)
            if (!runSelf(folder.name)) return 1;
        return 0;
    }
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path root = std::filesystem::path(temp) / L"ardeno-share-memory-bench";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    for (const Folder& folder : folders)
        if (std::string(argv[1]) == folder.name) measure(folder, root);
    std::filesystem::remove_all(root);
    return 0;
}
