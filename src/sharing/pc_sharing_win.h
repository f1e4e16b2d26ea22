#pragma once

#include <windows.h>

#include <string>
#include <system_error>
#include <vector>

#include "history/history_sharing_win.h"
#include "history/work_history.h"
#include "sharing/pc_identity_win.h"
#include "sharing/share_worker_win.h"
#include "sharing/shared_history.h"

// Sharing the history with the user's other PCs, as the main thread runs it: share.cfg, this
// PC's identity, and the thread that does the folder's work. The menu reads the outcome from
// the SharedHistory it keeps up to date; the work-history window reaches it as HistorySharing.
class PcSharing : public HistorySharing {
public:
    explicit PcSharing(SharedHistory& shared);
    PcSharing(const PcSharing&) = delete;
    PcSharing& operator=(const PcSharing&) = delete;

    // At the start: this PC's name and ID, and the folder share.cfg names, if any; sharing
    // through it starts with `history`'s rows. Rows are handed to this PC's file only while
    // `history` is read whole: one that waits to be read again must never replace it. Once it
    // has been read, its write listener hands them on (historyWritten).
    void open(const std::wstring& stateFolder, const WorkHistory& history);
    // Shares through `folder` from now on: share.cfg names it, this PC's file takes `rows` at
    // once and the other PCs' files are read. When share.cfg cannot be written nothing changes,
    // and the system's reason is returned.
    std::error_code start(const std::wstring& folder, const std::vector<HistoryRow>& rows);
    // Stops sharing: share.cfg is emptied, and this PC's file, which stays in the folder, takes
    // `rows` for the other PCs to go on counting.
    std::error_code stop(const std::vector<HistoryRow>& rows);
    // history.csv was written, or tried: this PC's file follows it.
    void historyWritten(const std::vector<HistoryRow>& rows);
    // Once a frame: takes the latest report of the folder, if there is one.
    void update();
    // The program ends: waits up to `milliseconds` for this PC's file to take the last rows.
    void settle(DWORD milliseconds);

    const SharedHistory& state() const { return shared_; }

    // The work-history window's view.
    bool sharing() const override { return shared_.sharing(); }
    std::vector<ChartPc> chartPcs(const std::vector<HistoryRow>& ownRows) const override {
        return shared_.chartPcs(ownRows);
    }
    std::vector<std::wstring> statusLines() const override { return shared_.statusLines(); }
    std::uint64_t revision() const override { return shared_.revision(); }
    void windowOpened() override;
    void windowClosed() override;
    void shareOrStop(HWND owner, const std::vector<HistoryRow>& rows) override;
    std::uint64_t question() const override { return shared_.question(); }
    void askQuestion(HWND owner) override;

private:
    // Shares through `folder`, this PC's file taking `rows` at once.
    void shareThrough(const std::wstring& folder, const std::vector<HistoryRow>& rows);
    // This PC's file is to hold `rows`, when they are the whole history.
    void handOver(const std::vector<HistoryRow>& rows);

    SharedHistory& shared_;
    const WorkHistory* history_ = nullptr;
    ThisPc pc_;
    std::wstring settingsPath_;
    ShareWorker worker_;
};
