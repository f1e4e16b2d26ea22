#include "overlay/context_menu.h"

#include "config/file_system.h"
#include "config/state_file.h"
#include "overlay/overlay_settings.h"
#include "common/time_text.h"

namespace {

constexpr std::int32_t stopAfterChoices[] = {1, 5, 10, 30, 60};

MenuEntry item(unsigned id, std::wstring text) { return {MenuEntry::Kind::item, id, std::move(text), false, false, {}}; }
MenuEntry separator() { return {MenuEntry::Kind::separator, 0, L"", false, false, {}}; }

}  // namespace

std::vector<MenuEntry> contextMenuEntries(const OverlayCore& overlay, DayNumber today) {
    std::vector<MenuEntry> entries;
    const auto warn = [&](std::wstring text) {
        MenuEntry warning = item(0, std::move(text));
        warning.disabled = true;
        entries.push_back(std::move(warning));
    };
    if (overlay.saveError) warn(saveFailureText(overlay.dataFile.path, overlay.saveError));
    const WorkHistory& history = overlay.history;
    if (history.saveError()) warn(saveFailureText(history.journalPath(), history.saveError()));
    else if (!history.waitingText().empty()) warn(history.waitingText());
    if (!history.notice.empty()) warn(history.notice);
    entries.push_back(item(0, totalWorkText(settingInt(stateFileInfo, overlay.dataFile, 6))));
    entries.push_back(item(0, todayWorkText(secondsOnDay(history.rows(), today))));
    entries.push_back(item(workHistoryCommand, L"Work history"));
    entries.push_back(separator());
    entries.push_back(item(selectTargetCommand, L"Select target program"));
    entries.push_back(separator());
    entries.push_back(item(loadRecentTimeCommand, L"Load recent time"));
    entries.push_back(item(pinCommand, windowFixed ? L"Unfix window position" : L"Fix window position"));
    entries.push_back(separator());

    MenuEntry timeOut{MenuEntry::Kind::submenu, 0, L"Time stopping speed", false, false, {}};
    unsigned id = stopAfterFirstCommand;
    for (std::int32_t seconds : stopAfterChoices) {
        MenuEntry choice = item(id++, L"Stop after " + std::to_wstring(seconds) + L" seconds");
        choice.checked = overlay.stopAfterSeconds == seconds;
        timeOut.submenu.push_back(std::move(choice));
    }
    entries.push_back(std::move(timeOut));
    entries.push_back(separator());
    entries.push_back(item(exitCommand, L"Exit"));
    return entries;
}

bool insideMenuArea(std::int32_t left, std::int32_t top, std::int32_t x, std::int32_t y, std::int32_t side) {
    // 64-bit so that a window pinned near the coordinate limit cannot overflow the far edge.
    const std::int64_t right = std::int64_t{left} + side;
    const std::int64_t bottom = std::int64_t{top} + side;
    return left < x && x < right && top < y && y < bottom;
}

void saveLine(OverlayCore& overlay, int index, std::wstring text) {
    overlay.saveError = overlay.dataFile.set(index, std::move(text));
}

void applySavedChange(OverlayCore& overlay, const std::function<void()>& reloadFromDisk) {
    if (overlay.saveError) applyState(overlay);
    else reloadFromDisk();
}

bool carryOutCommand(OverlayCore& overlay, unsigned id, std::int32_t windowLeft, std::int32_t windowTop,
                     const std::function<void()>& reloadFromDisk) {
    if (id == selectTargetCommand) {
        overlay.selectingTarget = true;
    } else if (id == exitCommand) {
        return true;
    } else if (id >= stopAfterFirstCommand && id < stopAfterFirstCommand + std::size(stopAfterChoices)) {
        saveLine(overlay, 1, std::to_wstring(stopAfterChoices[id - stopAfterFirstCommand]));
        applySavedChange(overlay, reloadFromDisk);
    } else if (id == loadRecentTimeCommand) {
        overlay.currentSeconds = settingInt(stateFileInfo, overlay.dataFile, 2);
    } else if (id == pinCommand) {
        if (windowFixed) {
            saveLine(overlay, 3, L"false");
        } else {
            // Every write is of the whole file, so the last one's outcome is the file's.
            saveLine(overlay, 3, L"true");
            saveLine(overlay, 4, std::to_wstring(windowLeft));
            saveLine(overlay, 5, std::to_wstring(windowTop));
        }
        applySavedChange(overlay, reloadFromDisk);
    }
    return false;
}

void pickTarget(OverlayCore& overlay, std::wstring programName, const std::function<void()>& reloadFromDisk) {
    saveLine(overlay, 0, std::move(programName));
    applySavedChange(overlay, reloadFromDisk);
    overlay.selectingTarget = false;
}

std::wstring saveFailureText(const std::wstring& path, const std::error_code& error) {
    return L"Not saved: " + displayPath(path) + L" (" + systemReason(error) + L")";
}
