#pragma once

#include <cstdint>
#include <string>
#include <system_error>
#include <vector>

#include "common/calendar.h"
#include "config/overlay_file.h"

struct OverlayCore;

// Every PC's seconds on `day`: this PC's history and, while sharing, the other PCs' as last read.
std::int64_t everyPcSecondsOnDay(const OverlayCore& overlay, DayNumber day);
// Every PC's seconds of `project` (empty: of none) on `day`.
std::int64_t everyPcSecondsOnDay(const OverlayCore& overlay, DayNumber day, const std::wstring& project);
// Every PC's seconds of `project` over all days.
std::int64_t everyPcProjectSeconds(const OverlayCore& overlay, const std::wstring& project);

// The figure the overlay shows for `shows`: this run's count, every PC's seconds today, or every
// PC's seconds over all days of `project`, the one the overlay names; this run's count while it
// names none. A sum beyond the 32-bit range shows as the range's end.
std::int32_t shownSeconds(OverlayShows shows, std::int32_t runSeconds, std::int64_t today, const std::wstring& project,
                          std::int64_t projectTotal);

// The sums behind the figure, kept from frame to frame: summing every day of every PC each frame
// would cost more the longer the history grows. They are summed afresh whenever the history or
// the shared rows change in another way than by this PC's counting (a file read again, another
// PC's file), or the day or the named project changes; the seconds each frame counts are added
// on top, so that the figure moves with the run's count in the same frame.
class ShownTime {
public:
    // The figure for a frame on `today`.
    std::int32_t seconds(const OverlayCore& overlay, OverlayShows shows, DayNumber today);
    // A frame's counted `seconds` went into the history for `project`, the frame ending at `now`,
    // which took the history's revision from `before` to `after`.
    void counted(const std::wstring& project, std::int32_t seconds, LocalMoment now, std::uint64_t before,
                 std::uint64_t after);
    // Every PC's seconds on `today`, for the daily goal, from the same sums.
    std::int64_t todaySeconds(const OverlayCore& overlay, DayNumber today);
    // How often the sums were made afresh.
    std::uint64_t sums() const { return sums_; }

private:
    void refresh(const OverlayCore& overlay, DayNumber today);

    bool valid_ = false;
    std::uint64_t history_ = 0;
    std::uint64_t shared_ = 0;
    DayNumber day_ = 0;
    std::wstring project_;
    std::int64_t today_ = 0;
    std::int64_t projectTotal_ = 0;
    std::uint64_t sums_ = 0;
};

// The overlay's own choices ("Overlay shows", its look, whether it is hidden) and overlay.cfg,
// which keeps them.
struct ShownChoice {
    OverlayChoices choices;
    std::vector<std::string> kept;  // overlay.cfg's lines of later versions, written back at every save
    std::wstring path;      // overlay.cfg; empty until loaded, and nothing is written then
    std::error_code error;  // why overlay.cfg was not written; empty once it was
    std::wstring notice;    // an unreadable overlay.cfg or line of it, for the menu to say once
};

// Reads overlay.cfg in `stateFolder`; what cannot be read gives its default, and a notice.
void loadShownChoice(ShownChoice& choice, const std::wstring& stateFolder);
// Makes `shows` the choice and saves it.
void chooseShown(ShownChoice& choice, OverlayShows shows);
// The plate's opacity, percent; one of opacityChoices from the menu.
void chooseOpacity(ShownChoice& choice, int percent);
void setClickThrough(ShownChoice& choice, bool on);
void setHidden(ShownChoice& choice, bool hidden);
void setHideOverFullScreen(ShownChoice& choice, bool on);
void setHideFromCapture(ShownChoice& choice, bool on);
void chooseGoal(ShownChoice& choice, int hours);
// Saves overlay.cfg again after a failed save; nothing otherwise.
void retryShownChoiceSave(ShownChoice& choice);

// Puts a frame's counted seconds into the history, for the program and project that counted
// them, and into the figure's sums.
void recordCounted(OverlayCore& overlay, std::int32_t seconds, LocalMoment now);
