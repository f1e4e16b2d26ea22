// What the overlay's figure shows: the choice, the sums behind it as counting goes on, and
// overlay.cfg, which keeps the choice.
#include <gtest/gtest.h>

#include <functional>

#include "config/file_system.h"
#include "config/settings_error.h"
#include "overlay/context_menu.h"
#include "overlay/shown_time.h"
#include "temp_folder.h"

namespace {

ShareReport reportOf(std::vector<HistoryRow> rows) {
    ShareReport report;
    report.folder = L"F:\\share";
    report.readDone = report.reached = true;
    report.pcs.push_back(std::make_shared<const OtherPcHistory>(OtherPcHistory{L"BETA", 7, L"", rows, L""}));
    return report;
}

// Each step acts, then the frame's figure is asked for: it must equal the sums made afresh from
// every row, and the sums are made afresh only where the step says so.
TEST(ShownTime, FollowsEveryCountedSecondAndSumsAfreshOnlyWhenTheRowsChangeOtherwise) {
    TempFolder folder;
    const DayNumber D = *dayNumber({2026, 12, 7});
    OverlayCore o;
    o.history.open((folder.path() / "history.csv").wstring(), {D, 3600});
    o.countedProgram = L"notepad.exe";
    o.history.record(L"notepad.exe", L"Acme", 1000, {D - 3, 40000});
    o.history.record(L"notepad.exe", L"Acme", 200, {D, 30000});
    o.history.record(L"notepad.exe", L"", 50, {D, 31000});
    o.history.record(L"notepad.exe", L"Globex", 5, {D, 32000});
    o.shared.shareThrough(L"F:\\share");
    o.shared.take(reportOf({{D - 10, L"paint.exe", 70, L"Acme"}, {D, L"paint.exe", 30, L"Acme"}}));
    o.projects.settings.current = L"Acme";
    const auto count = [](OverlayCore& overlay, std::int32_t seconds, LocalMoment now) {
        overlay.currentSeconds += seconds;
        recordCounted(overlay, seconds, now);
    };
    const struct {
        const char* name;
        std::function<void(OverlayCore&)> act;
        OverlayShows shows;
        std::int32_t shown;
        bool summed;
        DayNumber day = 0;  // 0: D
    } steps[] = {
        {"Acme over all days and PCs", [](OverlayCore&) {}, OverlayShows::project, 1300, true},
        {"a counted second shows in its own frame", [&](OverlayCore& x) { count(x, 1, {D, 40000}); },
         OverlayShows::project, 1301, false},
        {"three in one frame", [&](OverlayCore& x) { count(x, 3, {D, 40003}); }, OverlayShows::project, 1304, false},
        {"Today: every PC, every project", [](OverlayCore&) {}, OverlayShows::today, 289, false},
        {"and its next second", [&](OverlayCore& x) { count(x, 1, {D, 40004}); }, OverlayShows::today, 290, false},
        {"a title names Globex", [](OverlayCore& x) { x.projects.named = L"Globex"; }, OverlayShows::project, 5, true},
        {"Globex's seconds", [&](OverlayCore& x) { count(x, 2, {D, 40006}); }, OverlayShows::project, 7, false},
        {"the other PC's file read again",
         [&](OverlayCore& x) { x.shared.take(reportOf({{D - 1, L"paint.exe", 100, L"Globex"}})); },
         OverlayShows::project, 107, true},
        {"no project: this run", [](OverlayCore& x) { x.projects.named = x.projects.settings.current = L""; },
         OverlayShows::project, 7, true},
        {"This run", [](OverlayCore&) {}, OverlayShows::run, 7, false},
        {"sharing stopped", [](OverlayCore& x) { x.shared.shareThrough(L""); }, OverlayShows::today, 262, true},
        {"a frame across midnight: the new day has its last second",
         [&](OverlayCore& x) { count(x, 2, {D + 1, 1}); }, OverlayShows::today, 1, true, D + 1},
        {"the next second", [&](OverlayCore& x) { count(x, 1, {D + 1, 2}); }, OverlayShows::today, 2, false, D + 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(o);
        const DayNumber day = step.day ? step.day : D;
        const std::uint64_t sumsBefore = o.shownTime.sums();
        const std::int32_t shown = o.shownTime.seconds(o, step.shows, day);
        EXPECT_EQ(shown, step.shown);
        const std::wstring& project = countedProject(o.projects);
        EXPECT_EQ(shown, shownSeconds(step.shows, o.currentSeconds, everyPcSecondsOnDay(o, day), project,
                                      everyPcProjectSeconds(o, project)));
        EXPECT_EQ(o.shownTime.sums() > sumsBefore, step.summed);
        EXPECT_EQ(o.shownTime.seconds(o, step.shows, day), shown) << "the next frame, nothing counted";
    }
}

TEST(OverlayFile, ReadsTheWordTolerantlyAndWritesItInItsOwnForm) {
    const struct {
        const char* bytes;
        std::optional<OverlayShows> shows;
    } cases[] = {
        {"run\r\n", OverlayShows::run},
        {"today\r\n", OverlayShows::today},
        {"\xEF\xBB\xBF  Today \n", OverlayShows::today},
        {"PROJECT", OverlayShows::project},
        {"today\r\nwhat a later version adds\r\n", OverlayShows::today},
        {"", OverlayShows::run},
        {"weekly\r\n", std::nullopt},
        {"\ntoday\r\n", OverlayShows::run},
        {"t\xC3\xB6" "day", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(parseOverlayShows(c.bytes), c.shows) << c.bytes;
    EXPECT_EQ(formatOverlayShows(OverlayShows::today), "today\r\n");
    for (OverlayShows shows : {OverlayShows::run, OverlayShows::today, OverlayShows::project})
        EXPECT_EQ(parseOverlayShows(formatOverlayShows(shows)), shows);
}

TEST(OverlayFile, TheChoiceIsKeptAndAnUnreadableFileIsSaidAndLeftUntilTheNextChoice) {
    TempFolder folder;
    const std::wstring stateFolder = folder.path().wstring();
    const std::filesystem::path file = folder.path() / "overlay.cfg";
    OverlayCore o;
    o.dataFile.lines = {L"notepad.exe", L"1", L"0", L"false", L"0", L"0", L"100"};
    loadShownChoice(o.shownChoice, stateFolder);
    EXPECT_EQ(o.shownChoice.shows, OverlayShows::run);
    EXPECT_EQ(o.shownChoice.notice, L"");
    EXPECT_FALSE(std::filesystem::exists(file)) << "written only once a choice is made";

    const DayNumber today = *dayNumber({2026, 12, 7});
    const auto overlayShows = [&] { return contextMenuEntries(o, today).at(12); };
    EXPECT_EQ(overlayShows().text, L"Overlay shows");
    EXPECT_FALSE(carryOutCommand(o, showTodayCommand, 0, 0, [] {}));
    EXPECT_EQ(readBytes(file), "today\r\n");
    const std::vector<MenuEntry> choices = overlayShows().submenu;
    ASSERT_EQ(choices.size(), 3u);
    for (const MenuEntry& choice : choices) {
        EXPECT_TRUE(choice.radio);
        EXPECT_EQ(choice.checked, choice.id == showTodayCommand) << choice.id;
    }
    carryOutCommand(o, showProjectCommand, 0, 0, [] {});
    OverlayCore restarted;
    restarted.dataFile.lines = o.dataFile.lines;
    loadShownChoice(restarted.shownChoice, stateFolder);
    EXPECT_EQ(restarted.shownChoice.shows, OverlayShows::project);

    writeBytes(file, "weekly\r\n");
    loadShownChoice(restarted.shownChoice, stateFolder);
    EXPECT_EQ(restarted.shownChoice.shows, OverlayShows::run);
    EXPECT_EQ(readBytes(file), "weekly\r\n");
    const std::wstring notice = displayPath(file.wstring()) + L" could not be read; the overlay shows this run until "
                                L"Overlay shows is chosen";
    EXPECT_EQ(restarted.shownChoice.notice, notice);
    EXPECT_EQ(contextMenuEntries(restarted, today).at(0).text, notice);
    carryOutCommand(restarted, showRunCommand, 0, 0, [] {});
    EXPECT_EQ(readBytes(file), "run\r\n");

    // Nowhere to write: the choice holds for this run, and the menu says why it was not kept.
    std::filesystem::remove(file);
    std::filesystem::create_directory(temporaryPathFor(file.wstring()));
    restarted.shownChoice.notice.clear();
    carryOutCommand(restarted, showTodayCommand, 0, 0, [] {});
    EXPECT_EQ(restarted.shownChoice.shows, OverlayShows::today);
    EXPECT_TRUE(restarted.shownChoice.error);
    EXPECT_EQ(contextMenuEntries(restarted, today).at(0).text.rfind(L"Not saved: " + displayPath(file.wstring()), 0), 0u);
}

}  // namespace
