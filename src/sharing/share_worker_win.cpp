#include "sharing/share_worker_win.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "sharing/share_keeper.h"

ShareWorker::ShareWorker()
    : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      wake_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      settled_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
    // Without its events the thread could never be woken or stopped: no sharing, then.
    if (stop_ && wake_ && settled_) thread_ = std::thread([this] { run(); });
}

ShareWorker::~ShareWorker() {
    if (!thread_.joinable()) return;
    SetEvent(stop_.get());
    thread_.join();
}

void ShareWorker::shareThrough(const std::wstring& folder, const ThisPc& pc) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        ++requests_.generation;
        requests_.folder = folder;
        requests_.pc = pc;
        requests_.read = true;
    }
    SetEvent(wake_.get());
}

void ShareWorker::write(PackedHistory rows, bool whole) {
    if (!thread_.joinable()) return;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.rows = std::move(rows);
        requests_.whole = whole;
        requests_.rowsGeneration = requests_.generation;
        ResetEvent(settled_.get());
    }
    SetEvent(wake_.get());
}

void ShareWorker::answer(PcAnswer answer) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.answer = answer;
    }
    SetEvent(wake_.get());
}

void ShareWorker::readNow() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.read = true;
    }
    SetEvent(wake_.get());
}

void ShareWorker::watch(bool on) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        requests_.watching = on;
    }
    SetEvent(wake_.get());
}

std::optional<ShareReport> ShareWorker::takeReport() {
    // Once a frame: a flag, and the lock only when there is something to take.
    if (!reportReady_.exchange(false)) return std::nullopt;
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::exchange(report_, std::nullopt);
}

bool ShareWorker::settle(DWORD milliseconds) {
    return !thread_.joinable() || WaitForSingleObject(settled_.get(), milliseconds) == WAIT_OBJECT_0;
}

void ShareWorker::publish(ShareReport report) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        report_ = std::move(report);
    }
    reportReady_ = true;
}

void ShareWorker::run() {
    std::uint64_t generation = 0;
    std::unique_ptr<ShareKeeper> keeper;
    ChangeNotification change;
    for (;;) {
        const HANDLE handles[] = {stop_.get(), wake_.get(), change.get()};
        const DWORD count = change ? 3 : 2;
        const std::uint64_t wait = keeper ? keeper->waitMs(GetTickCount64()) : INFINITE;
        const DWORD woken = WaitForMultipleObjects(count, handles, FALSE,
                                                   static_cast<DWORD>(std::min<std::uint64_t>(wait, INFINITE - 1)));
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
        ShareKeeper::Round round;
        if (woken == WAIT_OBJECT_0 + 2) {
            round.changed = true;
            if (!FindNextChangeNotification(change.get())) change.reset();
        }
        std::wstring folder;
        ThisPc pc;
        std::uint64_t asked = 0, rowsFor = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            asked = requests_.generation;
            folder = requests_.folder;
            pc = requests_.pc;
            round.rows = std::exchange(requests_.rows, std::nullopt);
            round.whole = requests_.whole;
            round.answer = std::exchange(requests_.answer, PcAnswer::none);
            rowsFor = requests_.rowsGeneration;
            round.readWanted = std::exchange(requests_.read, false);
            round.watching = requests_.watching;
        }
        if (asked != generation) {
            // Another folder, or none. Rows meant for the last one go there first (sharing
            // stops with the whole history in this PC's file); nothing else carries over.
            if (keeper && round.rows && rowsFor == generation) {
                ShareKeeper::Round last;
                last.rows = std::exchange(round.rows, std::nullopt);
                last.whole = round.whole;
                if (auto report = keeper->round(std::move(last), GetTickCount64())) publish(std::move(*report));
            }
            if (rowsFor != asked) round.rows.reset();
            generation = asked;
            change.reset();
            keeper = folder.empty() ? nullptr : std::make_unique<ShareKeeper>(folder, std::move(pc));
        }
        std::optional<ShareReport> report;
        if (keeper) report = keeper->round(std::move(round), GetTickCount64());
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!requests_.rows) SetEvent(settled_.get());
        }
        if (report) publish(std::move(*report));
        if (!keeper) continue;

        // A watch follows the folder it was set on, even when that is moved away: it is set
        // again once the folder is back where it belongs.
        if (keeper->watchWanted() && !change) {
            change.reset(FindFirstChangeNotificationW(
                keeper->folder().c_str(), FALSE,
                FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE));
        } else if (!keeper->watchWanted() && change) {
            change.reset();
        }
    }
}
