#include "sharing/pc_sharing_win.h"

#include "config/file_system.h"
#include "sharing/folder_picker_win.h"
#include "sharing/share_question_win.h"
#include "sharing/share_settings.h"

PcSharing::PcSharing(SharedHistory& shared) : shared_(shared) {}

void PcSharing::open(const std::wstring& stateFolder, const WorkHistory& history) {
    history_ = &history;
    const ThisMachine machine = readThisMachine();
    pc_.name = machine.name;
    pc_.machineId = machine.machineId;
    pc_.identityPath = pcIdentityPath(stateFolder);
    pc_.randomId = randomPcId;
    shared_.setThisPc(pc_.name, pc_.machineId);
    settingsPath_ = shareSettingsPath(stateFolder);
    const ShareSettings settings = readShareSettings(settingsPath_);
    // Sharing here before: files of this PC's ID written before share-id.cfg may be its own.
    pc_.sharedBefore = settings.found;
    shared_.settingsError = settings.error;
    if (!settings.folder.empty()) shareThrough(settings.folder, history.rows());
}

void PcSharing::handOver(const std::vector<HistoryRow>& rows) {
    // Only a history read whole: the rules that may replace its file (a correction, an upgrade)
    // hold for nothing else.
    if (history_ && history_->readWhole()) worker_.write(PackedHistory(rows), true);
}

void PcSharing::shareThrough(const std::wstring& folder, const std::vector<HistoryRow>& rows) {
    shared_.shareThrough(folder);
    worker_.shareThrough(folder, pc_);
    handOver(rows);
}

std::error_code PcSharing::start(const std::wstring& folder, const std::vector<HistoryRow>& rows) {
    if (const std::error_code error = writeShareSettings(settingsPath_, folder)) return error;
    shared_.settingsError.clear();
    shareThrough(folder, rows);
    return {};
}

std::error_code PcSharing::stop(const std::vector<HistoryRow>& rows) {
    if (const std::error_code error = writeShareSettings(settingsPath_, L"")) return error;
    handOver(rows);
    shared_.settingsError.clear();
    shared_.shareThrough(L"");
    worker_.shareThrough(L"", pc_);
    return {};
}

void PcSharing::historyWritten(const std::vector<HistoryRow>& rows) {
    if (shared_.sharing()) handOver(rows);
}

void PcSharing::askQuestion(HWND owner) {
    const PcAnswer answer = askWhoseHistory(owner);
    if (answer != PcAnswer::none) worker_.answer(answer);
}

void PcSharing::update() {
    if (auto report = worker_.takeReport()) shared_.take(std::move(*report));
}

void PcSharing::windowOpened() {
    worker_.watch(true);
    worker_.readNow();
}

void PcSharing::windowClosed() { worker_.watch(false); }

void PcSharing::settle(DWORD milliseconds) {
    if (shared_.sharing()) worker_.settle(milliseconds);
}

void PcSharing::shareOrStop(HWND owner, const std::vector<HistoryRow>& rows) {
    std::error_code error;
    if (shared_.sharing()) {
        error = stop(rows);
    } else {
        const FolderChoice choice = pickFolder(owner, L"Share with other PCs: a folder that your other PCs see too");
        // The picker runs its own message loop, in which the window may have been closed.
        if (!IsWindow(owner)) owner = nullptr;
        if (FAILED(choice.error)) {
            const std::wstring reason =
                systemReason(std::error_code(static_cast<int>(choice.error), std::system_category()));
            MessageBoxW(owner, (L"Ardeno Time cannot show the folder picker: " + reason + L".").c_str(),
                        L"Ardeno Time", MB_OK | MB_ICONWARNING);
            return;
        }
        if (choice.folder.empty()) return;
        error = start(choice.folder, rows);
    }
    if (error) {
        MessageBoxW(owner, (L"Ardeno Time cannot save its choice in share.cfg: " + systemReason(error) + L".").c_str(),
                    L"Ardeno Time", MB_OK | MB_ICONWARNING);
    }
}
