#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/kernel_handle_win.h"
#include "sharing/share_keeper.h"
#include "sharing/shared_history.h"

// The thread that does everything the shared folder needs: it writes this PC's file, reads
// the other PCs' files and watches the folder for changes while the history window is open.
// A folder can take seconds to answer (a network share gone offline, a file that a cloud
// service downloads on first read); the main thread only hands requests over and picks up the
// latest report, and never waits for the folder, except at the end for a moment (settle).
class ShareWorker {
public:
    ShareWorker();
    ShareWorker(const ShareWorker&) = delete;
    ShareWorker& operator=(const ShareWorker&) = delete;
    // Stops the thread once what it does now is done.
    ~ShareWorker();

    // Shares through `folder` as the PC `pc`; an empty folder stops. Rows handed over before
    // still go to the folder they were meant for.
    void shareThrough(const std::wstring& folder, const ThisPc& pc);
    // This PC's file is to hold these rows; it is written at once, or when the folder is back.
    // `whole`: the history was read whole and they are all of it (else nothing is written).
    void write(PackedHistory rows, bool whole);
    // The person's answer to the question the last report asked.
    void answer(PcAnswer answer);
    // The other PCs' files are to be read now.
    void readNow();
    // While watching, a change in the folder is read as soon as it is quiet.
    void watch(bool on);
    // The latest report, when there is one that has not been taken.
    std::optional<ShareReport> takeReport();
    // Waits up to `milliseconds` for the rows handed over to have been written, or tried; true
    // when they were.
    bool settle(DWORD milliseconds);

private:
    struct Requests {
        std::uint64_t generation = 0;
        std::wstring folder;
        ThisPc pc;
        std::optional<PackedHistory> rows;
        bool whole = true;
        std::uint64_t rowsGeneration = 0;  // the folder they were handed over for
        PcAnswer answer = PcAnswer::none;
        bool read = false;
        bool watching = false;
    };

    void run();
    void publish(ShareReport report);

    KernelHandle stop_;
    KernelHandle wake_;
    KernelHandle settled_;  // set while no rows wait to be written
    std::mutex mutex_;
    Requests requests_;
    std::optional<ShareReport> report_;
    std::atomic<bool> reportReady_{false};
    std::thread thread_;
};
