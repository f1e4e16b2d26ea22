// What the overlay's figure shows: the choice, the sums behind it as counting goes on, and
// overlay.cfg, which keeps the choice.
#include <gtest/gtest.h>

#include <functional>

#include "config/file_system.h"
#include "config/settings_error.h"
#include "overlay/context_menu.h"
#include "overlay/overlay_look.h"
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
    EXPECT_EQ(o.shownChoice.choices.shows, OverlayShows::run);
    EXPECT_EQ(o.shownChoice.notice, L"");
    EXPECT_FALSE(std::filesystem::exists(file)) << "written only once a choice is made";

    const DayNumber today = *dayNumber({2026, 12, 7});
    const auto overlayShows = [&] { return contextMenuEntries(o, today).at(12); };
    EXPECT_EQ(overlayShows().text, L"Overlay shows");
    EXPECT_FALSE(carryOutCommand(o, showTodayCommand, 0, 0, [] {}));
    EXPECT_EQ(readBytes(file).substr(0, 7), "today\r\n") << "an earlier version reads the first line only";
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
    EXPECT_EQ(restarted.shownChoice.choices.shows, OverlayShows::project);

    writeBytes(file, "weekly\r\n");
    loadShownChoice(restarted.shownChoice, stateFolder);
    EXPECT_EQ(restarted.shownChoice.choices.shows, OverlayShows::run);
    EXPECT_EQ(readBytes(file), "weekly\r\n");
    const std::wstring notice = displayPath(file.wstring()) + L" could not be read; the overlay shows this run until "
                                L"Overlay shows is chosen";
    EXPECT_EQ(restarted.shownChoice.notice, notice);
    EXPECT_EQ(contextMenuEntries(restarted, today).at(0).text, notice);
    carryOutCommand(restarted, showRunCommand, 0, 0, [] {});
    EXPECT_EQ(readBytes(file).substr(0, 5), "run\r\n");

    // Nowhere to write: the choice holds for this run, and the menu says why it was not kept.
    std::filesystem::remove(file);
    std::filesystem::create_directory(temporaryPathFor(file.wstring()));
    restarted.shownChoice.notice.clear();
    carryOutCommand(restarted, showTodayCommand, 0, 0, [] {});
    EXPECT_EQ(restarted.shownChoice.choices.shows, OverlayShows::today);
    EXPECT_TRUE(restarted.shownChoice.error);
    EXPECT_EQ(contextMenuEntries(restarted, today).at(0).text.rfind(L"Not saved: " + displayPath(file.wstring()), 0), 0u);
}

// The lines after the first, as a person or a later version may have left them.
TEST(OverlayFile, NameValueLinesReadInAnyOrderAndKeepWhatTheyDoNotKnow) {
    const OverlayChoices defaults;
    const struct {
        const char* name;
        std::string bytes;
        OverlayChoices choices;
        std::vector<int> unreadable;
        std::vector<std::string> kept;
    } cases[] = {
        {"an earlier version's one line", "project\r\n", [] { OverlayChoices c; c.shows = OverlayShows::project; return c; }(), {}, {}},
        {"every line, any order, spaces and case",
         "today\r\n Hidden = ON\r\nopacity=60\ngoal=4\r\nclickthrough=on\r\nfullscreen=off\r\ncapture=on\r\n",
         [] {
             OverlayChoices c;
             c.shows = OverlayShows::today;
             c.opacity = 60;
             c.clickThrough = c.hidden = c.hideFromCapture = true;
             c.hideOverFullScreen = false;
             c.goalHours = 4;
             return c;
         }(), {}, {}},
        {"a later duplicate wins", "run\r\nopacity=40\r\nopacity=80\r\n", [] { OverlayChoices c; c.opacity = 80; return c; }(), {}, {}},
        {"a hand-made opacity within range", "run\r\nopacity=55\r\n", [] { OverlayChoices c; c.opacity = 55; return c; }(), {}, {}},
        {"bad values give their defaults and leave the others",
         "run\r\nopacity=5\r\nhidden=yes\r\ngoal=3\r\nclickthrough=on\r\nopacity=\r\n",
         [] { OverlayChoices c; c.clickThrough = true; return c; }(), {2, 3, 4, 6}, {}},
        {"an unreadable first line leaves the others", "weekly\r\nopacity=60\r\n",
         [] { OverlayChoices c; c.opacity = 60; return c; }(), {1}, {}},
        {"a later version's lines are kept as they stood", "run\r\ntheme=Dark \r\nopacity=80\r\n# a note\r\n\r\n",
         [] { OverlayChoices c; c.opacity = 80; return c; }(), {}, {"theme=Dark ", "# a note"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OverlayFileText text = parseOverlayFile(c.bytes);
        EXPECT_TRUE(text.choices == c.choices);
        EXPECT_EQ(text.unreadableLines, c.unreadable);
        EXPECT_EQ(text.kept, c.kept);
        // Written and read again: the same choices, and the same kept lines, nothing unreadable.
        const OverlayFileText again = parseOverlayFile(formatOverlayFile(text.choices, text.kept));
        EXPECT_TRUE(again.choices == text.choices);
        EXPECT_EQ(again.kept, text.kept);
        EXPECT_TRUE(again.unreadableLines.empty());
    }
    EXPECT_EQ(formatOverlayFile(defaults), "run\r\nopacity=100\r\nclickthrough=off\r\nhidden=off\r\nfullscreen=on\r\n"
                                           "capture=off\r\ngoal=off\r\n");
}

// The look's commands: each is kept in overlay.cfg with the lines a later version wrote, and the
// two that could lock a person out need the icon.
TEST(OverlayFile, TheLooksCommandsAreKeptAndHidingNeedsTheIcon) {
    TempFolder folder;
    const std::filesystem::path file = folder.path() / "overlay.cfg";
    writeBytes(file, "today\r\ntheme=dark\r\nopacity=abc\r\n");
    OverlayCore o;
    o.dataFile.lines = {L"notepad.exe", L"1", L"0", L"false", L"0", L"0", L"100"};
    loadShownChoice(o.shownChoice, folder.path().wstring());
    EXPECT_EQ(o.shownChoice.notice, displayPath(file.wstring()) +
                                        L" line 3 could not be read; the overlay takes the default there until it is "
                                        L"chosen again");
    const DayNumber today = *dayNumber({2026, 12, 7});
    const auto entry = [&](unsigned id) {
        for (const MenuEntry& e : contextMenuEntries(o, today)) {
            if (e.id == id) return e;
            for (const MenuEntry& sub : e.submenu)
                if (sub.id == id) return sub;
        }
        return MenuEntry{};
    };
    carryOutCommand(o, opacityFirstCommand + 2, 0, 0, [] {});
    EXPECT_EQ(o.shownChoice.choices.opacity, 60);
    EXPECT_TRUE(entry(opacityFirstCommand + 2).checked);
    EXPECT_FALSE(entry(opacityFirstCommand).checked);
    EXPECT_EQ(readBytes(file), "today\r\nopacity=60\r\nclickthrough=off\r\nhidden=off\r\nfullscreen=on\r\n"
                               "capture=off\r\ngoal=off\r\ntheme=dark\r\n");

    // No icon: nothing could bring a hidden or clicked-through plate back.
    carryOutCommand(o, hideOverlayCommand, 0, 0, [] {});
    EXPECT_FALSE(o.shownChoice.choices.hidden);
    EXPECT_TRUE(entry(hideOverlayCommand).disabled);
    carryOutCommand(o, clickThroughCommand, 0, 0, [] {});
    EXPECT_TRUE(o.shownChoice.choices.clickThrough) << "chosen, for when the icon is there";
    EXPECT_FALSE(clickThroughNow(o.shownChoice.choices, o.iconShown));

    o.iconShown = true;
    EXPECT_TRUE(clickThroughNow(o.shownChoice.choices, o.iconShown));
    EXPECT_EQ(entry(clickThroughCommand).text, L"Click-through");
    EXPECT_TRUE(entry(clickThroughCommand).checked);
    carryOutCommand(o, hideOverlayCommand, 0, 0, [] {});
    EXPECT_EQ(entry(hideOverlayCommand).text, L"Show overlay");
    EXPECT_EQ(overlayHiddenBy(o.shownChoice.choices, true, false), HiddenBy::choice);
    EXPECT_EQ(overlayHiddenBy(o.shownChoice.choices, false, false), HiddenBy::nothing) << "the icon went away";
    OverlayCore restarted;
    loadShownChoice(restarted.shownChoice, folder.path().wstring());
    EXPECT_TRUE(restarted.shownChoice.choices == o.shownChoice.choices);
    EXPECT_EQ(restarted.shownChoice.kept, std::vector<std::string>{"theme=dark"});

    // Pause, full screen, screen sharing and the daily goal: the pause lasts for this run only.
    EXPECT_EQ(entry(pauseCommand).text, L"Pause counting\tCtrl+Alt+Shift+P");
    o.pauseHotkeyTaken = true;
    EXPECT_EQ(entry(pauseCommand).text, L"Pause counting (hotkey taken)") << "never a silent failure";
    carryOutCommand(o, pauseCommand, 0, 0, [] {});
    EXPECT_TRUE(o.paused);
    EXPECT_TRUE(entry(pauseCommand).checked);
    carryOutCommand(o, captureCommand, 0, 0, [] {});
    EXPECT_FALSE(o.shownChoice.choices.hideFromCapture) << "not offered before Windows 10 2004";
    EXPECT_TRUE(entry(captureCommand).disabled);
    o.captureHidingAvailable = true;
    carryOutCommand(o, captureCommand, 0, 0, [] {});
    EXPECT_TRUE(entry(captureCommand).checked);
    o.captureFailure = L"Access is denied.";
    EXPECT_EQ(entry(captureCommand).text, L"Hide from screen sharing (failed: Access is denied.)");
    carryOutCommand(o, fullScreenCommand, 0, 0, [] {});
    carryOutCommand(o, goalFirstCommand + 2, 0, 0, [] {});
    EXPECT_TRUE(entry(goalFirstCommand + 2).checked);
    const OverlayChoices kept = parseOverlayFile(readBytes(file)).choices;
    EXPECT_TRUE(kept.hideFromCapture);
    EXPECT_FALSE(kept.hideOverFullScreen);
    EXPECT_EQ(kept.goalHours, 4);
    EXPECT_EQ(readBytes(file).find("pause"), std::string::npos);

    // A failed save is tried again, and then says nothing more.
    std::filesystem::remove(file);
    std::filesystem::create_directory(temporaryPathFor(file.wstring()));
    carryOutCommand(o, opacityFirstCommand + 3, 0, 0, [] {});
    EXPECT_TRUE(o.shownChoice.error);
    std::filesystem::remove(temporaryPathFor(file.wstring()));
    retryShownChoiceSave(o.shownChoice);
    EXPECT_FALSE(o.shownChoice.error);
    EXPECT_EQ(parseOverlayFile(readBytes(file)).choices.opacity, 40);
}

}  // namespace
