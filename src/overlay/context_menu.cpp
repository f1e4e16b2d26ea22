#include "overlay/context_menu.h"

#include "config/file_system.h"
#include "config/state_file.h"
#include "overlay/overlay_settings.h"
#include "overlay/shown_time.h"
#include "overlay/target_programs.h"
#include "common/time_text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace {

// The time-out's choices in menu order, with their ids. Those of a minute or more give room to stop
// and think (drawing, modelling, composing) without ending the spell.
struct TimeOutChoice {
    unsigned id;
    std::int32_t seconds;
    const wchar_t* text;
};
constexpr TimeOutChoice timeOutChoices[] = {
    {stopAfterFirstCommand, 1, L"Stop after 1 seconds"},
    {stopAfterFirstCommand + 1, 5, L"Stop after 5 seconds"},
    {stopAfterFirstCommand + 2, 10, L"Stop after 10 seconds"},
    {stopAfterFirstCommand + 3, 30, L"Stop after 30 seconds"},
    {stopAfterFirstCommand + 4, 60, L"Stop after 60 seconds"},
    {stopAfterLongFirstCommand, 120, L"Stop after 2 minutes"},
    {stopAfterLongFirstCommand + 1, 300, L"Stop after 5 minutes"},
    {stopAfterLongFirstCommand + 2, 900, L"Stop after 15 minutes"},
};

const TimeOutChoice* timeOutChoice(unsigned id) {
    for (const TimeOutChoice& choice : timeOutChoices)
        if (choice.id == id) return &choice;
    return nullptr;
}

MenuEntry item(unsigned id, std::wstring text) { return {MenuEntry::Kind::item, id, std::move(text), false, false, {}}; }
MenuEntry separator() { return {MenuEntry::Kind::separator, 0, L"", false, false, {}}; }

// A menu takes "&" for the underline of the next letter: "R&D.exe" is written "R&&D.exe".
std::wstring menuText(const std::wstring& name) {
    std::wstring text;
    for (const wchar_t c : name) text.append(c == L'&' ? 2 : 1, c);
    return text;
}

// Every program chosen, checked: choosing one takes it off the list.
MenuEntry targetProgramsSubmenu(const std::vector<std::wstring>& programs) {
    MenuEntry submenu{MenuEntry::Kind::submenu, 0, L"Target programs", false, false, {}};
    for (std::size_t i = 0; i < programs.size() && i < menuTargetLimit; ++i) {
        MenuEntry entry = item(removeTargetFirstCommand + static_cast<unsigned>(i), menuText(programs[i]));
        entry.checked = true;
        submenu.submenu.push_back(std::move(entry));
    }
    return submenu;
}

// The seconds of a day as the overlay shows them, "00:42:10"; a count beyond the 32-bit range
// (only a hand-edited history holds one) shows as the range's end.
std::wstring dayTimeText(std::int64_t seconds) {
    return timeText(static_cast<std::int32_t>(std::min<std::int64_t>(seconds, INT32_MAX)));
}

// "No project" and the recent projects, the current one checked, each recent one with its time
// `today` on every PC; then the dialog for a new one and the title rule's switch.
MenuEntry projectSubmenu(const OverlayCore& overlay, DayNumber today) {
    const ProjectSettings& settings = overlay.projects.settings;
    MenuEntry submenu{MenuEntry::Kind::submenu, 0, L"Project", false, false, {}};
    MenuEntry none = item(noProjectCommand, L"No project");
    none.checked = settings.current.empty();
    submenu.submenu.push_back(std::move(none));
    for (std::size_t i = 0; i < settings.recent.size() && i < recentProjectLimit; ++i) {
        const std::wstring& name = settings.recent[i];
        const std::int64_t seconds = everyPcSecondsOnDay(overlay, today, name);
        // A TAB puts the time in the menu's right-hand column.
        MenuEntry entry =
            item(recentProjectFirstCommand + static_cast<unsigned>(i), menuText(name) + L"\t" + dayTimeText(seconds));
        entry.checked = name == settings.current;
        submenu.submenu.push_back(std::move(entry));
    }
    submenu.submenu.push_back(separator());
    submenu.submenu.push_back(item(newProjectCommand, L"New project..."));
    MenuEntry titles = item(projectFromTitlesCommand, L"Project from window titles");
    titles.checked = settings.fromTitles;
    submenu.submenu.push_back(std::move(titles));
    return submenu;
}

// What the overlay's figure shows, the choice marked with a dot.
MenuEntry overlayShowsSubmenu(OverlayShows shows) {
    MenuEntry submenu{MenuEntry::Kind::submenu, 0, L"Overlay shows", false, false, {}};
    const struct {
        unsigned id;
        OverlayShows shows;
        const wchar_t* text;
    } choices[] = {{showRunCommand, OverlayShows::run, L"This run"},
                   {showTodayCommand, OverlayShows::today, L"Today"},
                   {showProjectCommand, OverlayShows::project, L"This project"}};
    for (const auto& choice : choices) {
        MenuEntry entry = item(choice.id, choice.text);
        entry.checked = shows == choice.shows;
        entry.radio = true;
        submenu.submenu.push_back(std::move(entry));
    }
    return submenu;
}

// How the plate shows itself: its opacity, and whether clicks go through it. Click-through needs
// the icon, the one way back to this menu while clicks pass the plate.
MenuEntry overlayLookSubmenu(const OverlayChoices& choices, bool iconShown) {
    MenuEntry submenu{MenuEntry::Kind::submenu, 0, L"Overlay look", false, false, {}};
    for (std::size_t i = 0; i < std::size(opacityChoices); ++i) {
        MenuEntry entry = item(opacityFirstCommand + static_cast<unsigned>(i),
                               L"Opacity " + std::to_wstring(opacityChoices[i]) + L" %");
        entry.checked = choices.opacity == opacityChoices[i];
        entry.radio = true;
        submenu.submenu.push_back(std::move(entry));
    }
    submenu.submenu.push_back(separator());
    MenuEntry through = item(clickThroughCommand, iconShown ? L"Click-through"
                                                            : L"Click-through (off until the notification-area "
                                                              L"icon is back)");
    through.checked = choices.clickThrough;
    submenu.submenu.push_back(std::move(through));
    MenuEntry fullScreen = item(fullScreenCommand, L"Hide over full-screen programs");
    fullScreen.checked = choices.hideOverFullScreen;
    submenu.submenu.push_back(std::move(fullScreen));
    return submenu;
}

// Leaving the overlay out of screen shares: before Windows 10 version 2004 the request would
// show a black box in the share instead, so it is not offered there.
MenuEntry captureItem(const OverlayCore& overlay) {
    std::wstring text = L"Hide from screen sharing";
    if (!overlay.captureHidingAvailable) text += L" (needs Windows 10 version 2004 or later)";
    else if (!overlay.captureFailure.empty()) text += L" (failed: " + overlay.captureFailure + L")";
    MenuEntry capture = item(captureCommand, std::move(text));
    capture.checked = overlay.shownChoice.choices.hideFromCapture && overlay.captureHidingAvailable;
    capture.disabled = !overlay.captureHidingAvailable;
    return capture;
}

MenuEntry dailyGoalSubmenu(int goalHours) {
    MenuEntry submenu{MenuEntry::Kind::submenu, 0, L"Daily goal", false, false, {}};
    for (std::size_t i = 0; i < std::size(goalChoices); ++i) {
        const int hours = goalChoices[i];
        MenuEntry entry = item(goalFirstCommand + static_cast<unsigned>(i),
                               hours == 0 ? std::wstring(L"Off") : std::to_wstring(hours) + L" hours");
        entry.checked = goalHours == hours;
        entry.radio = true;
        submenu.submenu.push_back(std::move(entry));
    }
    return submenu;
}

void saveTargets(OverlayCore& overlay, const std::vector<std::wstring>& programs,
                 const std::function<void()>& reloadFromDisk) {
    saveLine(overlay, 0, targetProgramsLine(programs));
    applySavedChange(overlay, reloadFromDisk);
}

}  // namespace

std::vector<MenuEntry> contextMenuEntries(const OverlayCore& overlay, DayNumber today) {
    std::vector<MenuEntry> entries;
    const auto warn = [&](std::wstring text) {
        MenuEntry warning = item(0, std::move(text));
        warning.disabled = true;
        entries.push_back(std::move(warning));
    };
    // The work history window asks the question.
    if (overlay.shared.question()) entries.push_back(item(workHistoryCommand, L"Sharing waits for an answer"));
    if (overlay.saveError) warn(saveFailureText(overlay.dataFile.path, overlay.saveError));
    const WorkHistory& history = overlay.history;
    if (history.saveError()) warn(saveFailureText(history.journalPath(), history.saveError()));
    else if (std::wstring waiting = history.waitingText(); !waiting.empty()) warn(std::move(waiting));
    if (!history.notice.empty()) warn(history.notice);
    const Projects& projects = overlay.projects;
    if (std::wstring reading = projectsReadingText(projects); !reading.empty()) warn(std::move(reading));
    else if (projects.error) warn(saveFailureText(projects.path, projects.error));
    if (!projects.notice.empty()) warn(projects.notice);
    const ShownChoice& shown = overlay.shownChoice;
    if (shown.error) warn(saveFailureText(shown.path, shown.error));
    if (!shown.notice.empty()) warn(shown.notice);
    entries.push_back(item(0, totalWorkText(settingInt(stateFileInfo, overlay.dataFile, 6))));
    entries.push_back(item(0, todayWorkText(everyPcSecondsOnDay(overlay, today))));
    entries.push_back(item(workHistoryCommand, L"Work history"));
    entries.push_back(separator());
    entries.push_back(item(selectTargetCommand, L"Select target program"));
    MenuEntry add = item(addTargetCommand, L"Add target program");
    add.disabled = overlay.targetPrograms.size() >= menuTargetLimit;
    entries.push_back(std::move(add));
    if (overlay.targetPrograms.size() >= 2) entries.push_back(targetProgramsSubmenu(overlay.targetPrograms));
    entries.push_back(projectSubmenu(overlay, today));
    entries.push_back(separator());
    entries.push_back(item(loadRecentTimeCommand, L"Load recent time"));
    entries.push_back(item(pinCommand, windowFixed ? L"Unfix window position" : L"Fix window position"));
    entries.push_back(separator());

    MenuEntry timeOut{MenuEntry::Kind::submenu, 0, L"Time stopping speed", false, false, {}};
    for (const TimeOutChoice& choice : timeOutChoices) {
        MenuEntry entry = item(choice.id, choice.text);
        entry.checked = overlay.stopAfterSeconds == choice.seconds;
        timeOut.submenu.push_back(std::move(entry));
    }
    entries.push_back(std::move(timeOut));
    entries.push_back(overlayShowsSubmenu(overlay.shownChoice.choices.shows));
    MenuEntry look = overlayLookSubmenu(overlay.shownChoice.choices, overlay.iconShown);
    look.submenu.push_back(captureItem(overlay));
    entries.push_back(std::move(look));
    entries.push_back(dailyGoalSubmenu(overlay.shownChoice.choices.goalHours));
    entries.push_back(separator());
    // The hotkey in the menu's right-hand column, or why it does not work.
    MenuEntry pause = item(pauseCommand, overlay.pauseHotkeyTaken ? L"Pause counting (hotkey taken)"
                                                                  : L"Pause counting\tCtrl+Alt+Shift+P");
    pause.checked = overlay.paused;
    entries.push_back(std::move(pause));
    // Without the icon nothing could bring a hidden overlay back.
    MenuEntry hide = item(hideOverlayCommand, overlay.shownChoice.choices.hidden && overlay.iconShown
                                                  ? L"Show overlay"
                                                  : L"Hide overlay");
    hide.disabled = !overlay.iconShown;
    entries.push_back(std::move(hide));
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
    const std::vector<std::wstring>& programs = overlay.targetPrograms;
    if (id == selectTargetCommand || (id == addTargetCommand && programs.size() < menuTargetLimit)) {
        overlay.selectingTarget = true;
        overlay.pickAdds = id == addTargetCommand;
    } else if (id >= removeTargetFirstCommand && id < removeTargetFirstCommand + menuTargetLimit) {
        // The last program stays: "Select target program" replaces it.
        const std::size_t index = id - removeTargetFirstCommand;
        if (programs.size() < 2 || index >= programs.size()) return false;
        std::vector<std::wstring> left = programs;
        left.erase(left.begin() + static_cast<std::ptrdiff_t>(index));
        saveTargets(overlay, left, reloadFromDisk);
    } else if (id == noProjectCommand) {
        chooseProject(overlay.projects, L"");
    } else if (id >= recentProjectFirstCommand && id < recentProjectFirstCommand + recentProjectLimit) {
        const std::vector<std::wstring>& recent = overlay.projects.settings.recent;
        const std::size_t index = id - recentProjectFirstCommand;
        if (index < recent.size()) chooseProject(overlay.projects, std::wstring(recent[index]));
    } else if (id == projectFromTitlesCommand) {
        setProjectFromTitles(overlay.projects, !overlay.projects.settings.fromTitles);
    } else if (id >= showRunCommand && id <= showProjectCommand) {
        chooseShown(overlay.shownChoice, static_cast<OverlayShows>(id - showRunCommand));
    } else if (id >= opacityFirstCommand && id < opacityFirstCommand + std::size(opacityChoices)) {
        chooseOpacity(overlay.shownChoice, opacityChoices[id - opacityFirstCommand]);
    } else if (id == clickThroughCommand) {
        setClickThrough(overlay.shownChoice, !overlay.shownChoice.choices.clickThrough);
    } else if (id == hideOverlayCommand) {
        if (overlay.iconShown) setHidden(overlay.shownChoice, !overlay.shownChoice.choices.hidden);
    } else if (id == pauseCommand) {
        // The next frame ends the spell; so does the first after the resume, which needs new input.
        overlay.paused = !overlay.paused;
    } else if (id == fullScreenCommand) {
        setHideOverFullScreen(overlay.shownChoice, !overlay.shownChoice.choices.hideOverFullScreen);
    } else if (id == captureCommand) {
        if (overlay.captureHidingAvailable)
            setHideFromCapture(overlay.shownChoice, !overlay.shownChoice.choices.hideFromCapture);
    } else if (id >= goalFirstCommand && id < goalFirstCommand + std::size(goalChoices)) {
        chooseGoal(overlay.shownChoice, goalChoices[id - goalFirstCommand]);
    } else if (id == exitCommand) {
        return true;
    } else if (const TimeOutChoice* choice = timeOutChoice(id)) {
        saveLine(overlay, 1, std::to_wstring(choice->seconds));
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

bool pickTarget(OverlayCore& overlay, std::wstring programName, const std::function<void()>& reloadFromDisk) {
    if (programName.empty()) return false;
    overlay.selectingTarget = false;
    const bool adds = std::exchange(overlay.pickAdds, false);
    if (adds && chosenTarget(overlay.targetPrograms, programName)) return true;
    std::vector<std::wstring> programs = adds ? overlay.targetPrograms : std::vector<std::wstring>{};
    programs.push_back(std::move(programName));
    saveTargets(overlay, programs, reloadFromDisk);
    return true;
}

std::wstring saveFailureText(const std::wstring& path, const std::error_code& error) {
    return L"Not saved: " + displayPath(path) + L" (" + systemReason(error) + L")";
}
