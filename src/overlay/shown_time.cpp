#include "overlay/shown_time.h"

#include <algorithm>
#include <limits>

#include "config/file_system.h"
#include "config/settings_error.h"
#include "overlay/overlay_core.h"

std::int64_t everyPcSecondsOnDay(const OverlayCore& overlay, DayNumber day) {
    return secondsOnDay(overlay.history.rows(), day) + overlay.shared.othersOnDay(day);
}

std::int64_t everyPcSecondsOnDay(const OverlayCore& overlay, DayNumber day, const std::wstring& project) {
    return projectSecondsOnDay(overlay.history.rows(), day, project) + overlay.shared.othersOnDay(day, project);
}

std::int64_t everyPcProjectSeconds(const OverlayCore& overlay, const std::wstring& project) {
    return projectSeconds(overlay.history.rows(), project) + overlay.shared.othersOfProject(project);
}

std::int32_t shownSeconds(OverlayShows shows, std::int32_t runSeconds, std::int64_t today, const std::wstring& project,
                          std::int64_t projectTotal) {
    std::int64_t seconds = runSeconds;
    if (shows == OverlayShows::today) seconds = today;
    else if (shows == OverlayShows::project && !project.empty()) seconds = projectTotal;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(seconds, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ShownTime::seconds(const OverlayCore& overlay, OverlayShows shows, DayNumber today) {
    if (shows == OverlayShows::run) return overlay.currentSeconds;
    refresh(overlay, today);
    return shownSeconds(shows, overlay.currentSeconds, today_, project_, projectTotal_);
}

std::int64_t ShownTime::todaySeconds(const OverlayCore& overlay, DayNumber today) {
    refresh(overlay, today);
    return today_;
}

void ShownTime::refresh(const OverlayCore& overlay, DayNumber today) {
    const std::wstring& project = countedProject(overlay.projects);
    if (!valid_ || history_ != overlay.history.revision() || shared_ != overlay.shared.revision() || day_ != today ||
        project_ != project) {
        valid_ = true;
        history_ = overlay.history.revision();
        shared_ = overlay.shared.revision();
        day_ = today;
        project_ = project;
        today_ = everyPcSecondsOnDay(overlay, today);
        projectTotal_ = project.empty() ? 0 : everyPcProjectSeconds(overlay, project);
        ++sums_;
    }
}

void ShownTime::counted(const std::wstring& project, std::int32_t seconds, LocalMoment now, std::uint64_t before,
                        std::uint64_t after) {
    // Anything more than this one addition (a file read again on the way) is summed afresh, and
    // so is a frame that ran across midnight: part of it belongs to the day before.
    if (!valid_ || history_ != before || after != before + 1 || now.day != day_ || now.secondOfDay < seconds) {
        valid_ = false;
        return;
    }
    history_ = after;
    today_ += seconds;
    if (project == project_) projectTotal_ += seconds;
}

void loadShownChoice(ShownChoice& choice, const std::wstring& stateFolder) {
    choice.path = overlayFilePath(stateFolder);
    const OverlayFileLoad load = loadOverlayFile(choice.path);
    choice.choices = load.text.choices;
    choice.kept = load.text.kept;
    choice.error.clear();
    const std::vector<int>& bad = load.text.unreadableLines;
    if (load.unreadable || (!bad.empty() && bad.front() == 1)) {
        choice.notice = displayPath(choice.path) + L" could not be read" +
                        (load.error ? L" (" + systemReason(load.error) + L")" : L"") +
                        L"; the overlay shows this run until Overlay shows is chosen";
    } else if (!bad.empty()) {
        std::wstring lines;
        for (const int line : bad) lines += (lines.empty() ? L"" : L", ") + std::to_wstring(line);
        choice.notice = displayPath(choice.path) + (bad.size() > 1 ? L" lines " : L" line ") + lines +
                        L" could not be read; the overlay takes the default there until it is chosen again";
    }
}

namespace {

// Every change saves the whole file: the last save's outcome is the file's.
template <class Change>
void change(ShownChoice& choice, Change apply) {
    apply(choice.choices);
    if (!choice.path.empty()) choice.error = saveOverlayFile(choice.path, choice.choices, choice.kept);
}

}  // namespace

void chooseShown(ShownChoice& choice, OverlayShows shows) {
    change(choice, [&](OverlayChoices& c) { c.shows = shows; });
}

void chooseOpacity(ShownChoice& choice, int percent) {
    change(choice, [&](OverlayChoices& c) { c.opacity = std::clamp(percent, leastOpacity, 100); });
}

void setClickThrough(ShownChoice& choice, bool on) {
    change(choice, [&](OverlayChoices& c) { c.clickThrough = on; });
}

void setHidden(ShownChoice& choice, bool hidden) {
    change(choice, [&](OverlayChoices& c) { c.hidden = hidden; });
}

void setHideOverFullScreen(ShownChoice& choice, bool on) {
    change(choice, [&](OverlayChoices& c) { c.hideOverFullScreen = on; });
}

void setHideFromCapture(ShownChoice& choice, bool on) {
    change(choice, [&](OverlayChoices& c) { c.hideFromCapture = on; });
}

void chooseGoal(ShownChoice& choice, int hours) {
    change(choice, [&](OverlayChoices& c) { c.goalHours = hours; });
}

void retryShownChoiceSave(ShownChoice& choice) {
    if (choice.error) change(choice, [](OverlayChoices&) {});
}

void recordCounted(OverlayCore& overlay, std::int32_t seconds, LocalMoment now) {
    const std::wstring& project = countedProject(overlay.projects);
    const std::uint64_t before = overlay.history.revision();
    overlay.history.record(overlay.countedProgram, project, seconds, now);
    overlay.shownTime.counted(project, seconds, now, before, overlay.history.revision());
}
