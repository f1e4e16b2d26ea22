// One history across the user's PCs: the file names each PC writes, reading other PCs' files,
// summing them for the menu and the chart, share.cfg, and a shared folder that goes away and
// comes back, with literal clock readings and a real temporary folder.
#include <gtest/gtest.h>

#include <filesystem>

#include "sharing/pc_history_files.h"
#include "sharing/pc_identity.h"
#include "sharing/share_keeper.h"
#include "sharing/share_settings.h"
#include "sharing/shared_history.h"
#include "overlay/context_menu.h"
#include "temp_folder.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }
const DayNumber D = day(2026, 12, 9);  // a Wednesday

TEST(PcFiles, NamesAreTheComputersNameAndAnIdThatStaysTheSame) {
    const struct {
        const wchar_t* computer;
        std::uint32_t id;
        const wchar_t* file;
        const wchar_t* nameBack;  // the name the file tells other PCs
    } cases[] = {
        {L"ALPHA-PC", 0xdec29850, L"history-ALPHA-PC-dec29850.csv", L"ALPHA-PC"},
        {L"my:pc?*", 0x1, L"history-my_pc__-00000001.csv", L"my_pc__"},
        {L"Studio\\A/B|<>\"", 0xabcdef12, L"history-Studio_A_B____-abcdef12.csv", L"Studio_A_B____"},
        {L" Laptop. .", 0xffffffff, L"history-Laptop-ffffffff.csv", L"Laptop"},
        {L"", 0x0badf00d, L"history-PC-0badf00d.csv", L"PC"},
        {L"Zo\u00eb-Laptop", 0x10, L"history-Zo\u00eb-Laptop-00000010.csv", L"Zo\u00eb-Laptop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.file)));
        EXPECT_EQ(pcHistoryFileName(c.computer, c.id), c.file);
        const auto back = parsePcHistoryFileName(c.file);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->name, c.nameBack);
        EXPECT_EQ(back->id, c.id);
    }
    EXPECT_EQ(parsePcHistoryFileName(L"HISTORY-Beta-0BADF00D.CSV")->id, 0x0badf00du) << "Windows ignores case";
    for (const wchar_t* other : {L"history.csv", L"history-0badf00d.csv", L"history-PC-0badf00.csv",
                                 L"history-PC-0badf00g.csv", L"history-PC0badf00d.csv", L"history-PC-0badf00d.csv.new",
                                 L"history-PC-0badf00d (conflicted copy).csv", L"history-PC-0badf00d.txt",
                                 L"history unreadable 2026-12-07 153012.csv", L"data.cfg"})
        EXPECT_FALSE(parsePcHistoryFileName(other)) << testing::PrintToString(std::wstring(other));
}

TEST(PcFiles, TheIdIsAHashOfTheMachineGuid) {
    // FNV-1a's published test values.
    EXPECT_EQ(fnv1a32(""), 0x811c9dc5u);
    EXPECT_EQ(fnv1a32("a"), 0xe40c292cu);
    EXPECT_EQ(fnv1a32("foobar"), 0xbf9cf968u);
    const std::uint32_t id = pcIdFromMachineGuid(L"629ed444-3ebe-47f9-8f79-37bed2a6cab6");
    EXPECT_EQ(id, fnv1a32("629ed444-3ebe-47f9-8f79-37bed2a6cab6"));
    EXPECT_EQ(pcIdFromMachineGuid(L"{629ED444-3EBE-47F9-8F79-37BED2A6CAB6}"), id) << "braces and case aside";
    EXPECT_NE(pcIdFromMachineGuid(L"629ed444-3ebe-47f9-8f79-37bed2a6cab7"), id);
    EXPECT_EQ(pcIdText(0xdec29850), L"dec29850");
    EXPECT_EQ(pcIdText(0x1), L"00000001");
}

TEST(PcFiles, AnotherPcsFileIsReadUpToItsLastWholeLine) {
    const PcFileName beta{L"BETA", 7};
    const struct {
        const char* name;
        std::string bytes;
        std::int64_t seconds;  // all rows together
        const wchar_t* problem;
        const wchar_t* firstProject = L"";
    } cases[] = {
        {"whole", "date,program,seconds\r\n2026-12-09,a.exe,60\r\n2026-12-08,a.exe,5\r\n", 65, L""},
        {"a last line still being synced is left out", "date,program,seconds\r\n2026-12-09,a.exe,60\r\n2026-12-09,b.exe,4",
         60, L""},
        {"cut inside the header: nothing yet", "date,progr", 0, L""},
        {"a bad line is named, the rest counts",
         "date,program,seconds\n2026-12-09,a.exe,60\nrubbish\n2026-12-09,a.exe,1\n", 61,
         L"the history of BETA could not be read: line 3"},
        {"several bad lines",
         "date,program,seconds\nx\n2026-12-09,a.exe,7\ny\nz\nw\n", 7,
         L"the history of BETA could not be read: lines 2, 4, 5 and 1 more"},
        {"two bad lines", "date,program,seconds\nx\ny\n", 0, L"the history of BETA could not be read: lines 2 and 3"},
        {"no header", "\r\n\r\n2026-12-09,a.exe,60\r\n", 0, L"the history of BETA could not be read: line 3"},
        {"four columns: the projects of a newer version",
         "date,program,seconds,project\r\n2026-12-09,a.exe,60,\"Smith, Jones\"\r\n2026-12-09,a.exe,5,\r\n"
         "2026-12-09,a.exe,2",
         65, L"", L"Smith, Jones"},
        {"a byte-order mark and a blank line before the header",
         "\xEF\xBB\xBF\r\ndate;program;seconds\r\n2026-12-09;a.exe;60\r\nx\r\n2026-12-09;a.exe;1\r\n", 61,
         L"the history of BETA could not be read: line 4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const OtherPcHistory pc = readOtherPcText(beta, L"history-BETA-00000007.csv", c.bytes);
        std::int64_t seconds = 0;
        for (const HistoryRow& row : pc.rows) seconds += row.seconds;
        EXPECT_EQ(seconds, c.seconds);
        EXPECT_EQ(pc.problem, c.problem);
        EXPECT_EQ(pc.name, L"BETA");
        EXPECT_EQ(pc.rows.empty() ? L"" : pc.rows[0].project, c.firstProject);
        const OtherPcHistory inPieces = readOtherPcText(beta, pc.fileName, c.bytes, 8);
        EXPECT_EQ(inPieces.rows, pc.rows) << "read a few bytes at a time, the same";
        EXPECT_EQ(inPieces.problem, pc.problem);
    }
}

TEST(ShareSettings, TheFirstLineNamesTheFolder) {
    const struct {
        std::string bytes;
        const wchar_t* folder;
    } cases[] = {
        {"D:\\OneDrive\\Ardeno\r\n", L"D:\\OneDrive\\Ardeno"},
        {"\xEF\xBB\xBF  \\\\server\\share\\time  \nanything\n", L"\\\\server\\share\\time"},
        {"D:\\Zo\xC3\xAB\r\n", L"D:\\Zo\u00eb"},
        {"D:\\Zo\xEB \x96 Zeit\r\n", L"D:\\Zo\u00eb \u2013 Zeit"},  // cp1252, as Notepad's ANSI save has it
        {"\t\xEF\xBB\xBF D:\\x\r\n", L"D:\\x"},  // a second byte-order mark, after a tab
        {"\r\nD:\\second line\r\n", L""},
        {"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(parseShareSettings(c.bytes), c.folder) << c.bytes;

    TempFolder folder;
    const std::wstring path = shareSettingsPath(folder.path().wstring());
    EXPECT_EQ(readShareSettings(path).folder, L"") << "no share.cfg: not sharing";
    EXPECT_FALSE(readShareSettings(path).error);
    ASSERT_FALSE(writeShareSettings(path, L"D:\\Zo\u00eb"));
    EXPECT_EQ(readBytes(folder.path() / "share.cfg"), "D:\\Zo\xC3\xAB\r\n");
    EXPECT_EQ(readShareSettings(path).folder, L"D:\\Zo\u00eb");
    ASSERT_FALSE(writeShareSettings(path, L""));
    EXPECT_EQ(readShareSettings(path).folder, L"");
}

ShareReport reportOf(const std::wstring& folder, std::vector<OtherPcHistory> pcs) {
    ShareReport report;
    report.folder = folder;
    report.readDone = true;
    report.reached = true;
    for (OtherPcHistory& pc : pcs) {
        if (!pc.problem.empty()) report.notes.push_back(pc.problem);
        report.pcs.push_back(std::make_shared<const OtherPcHistory>(std::move(pc)));
    }
    report.ownFileWritten = true;
    return report;
}

TEST(SharedHistory, TodayCountsEveryPcWhileSharing) {
    TempFolder folder;
    OverlayCore overlay;
    overlay.dataFile.lines = {L"notepad.exe", L"1", L"0", L"false", L"0", L"0", L"100"};
    overlay.history.open(folder.file(L"history.csv"), {D, 36000});
    overlay.history.record(L"notepad.exe", L"", 70, {D, 36000});
    const std::vector<OtherPcHistory> others = {
        {L"BETA", 2, L"", {{D - 1, L"a.exe", 1000}, {D, L"a.exe", 50}, {D, L"b.exe", 3}}, L""},
        {L"GAMMA", 3, L"", {{D, L"a.exe", 600}}, L""}};
    const struct {
        const char* name;
        const wchar_t* folder;    // shared through
        const wchar_t* reportOn;  // the folder the report is about
        const wchar_t* today;
    } cases[] = {
        {"not sharing: this PC alone", L"", L"F:\\share", L"Today : 0hours 1minutes 10seconds"},
        {"sharing: all three", L"F:\\share", L"F:\\share", L"Today : 0hours 12minutes 3seconds"},
        {"a late report about a folder no longer shared is dropped", L"F:\\new", L"F:\\share",
         L"Today : 0hours 1minutes 10seconds"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        overlay.shared = SharedHistory();
        overlay.shared.shareThrough(c.folder);
        overlay.shared.take(reportOf(c.reportOn, others));
        EXPECT_EQ(contextMenuEntries(overlay, D)[1].text, c.today);
    }
    overlay.shared.shareThrough(L"F:\\share");
    overlay.shared.take(reportOf(L"F:\\share", others));
    EXPECT_EQ(overlay.shared.othersOnDay(D - 1), 1000);
    overlay.shared.shareThrough(L"");
    EXPECT_EQ(overlay.shared.othersOnDay(D), 0) << "stopping forgets the other PCs";
}

TEST(SharedHistory, TheWindowSaysWhereTheHistoriesAreAndWhatWentWrong) {
    ShareReport unreachable;
    unreachable.folder = L"F:\\share";
    unreachable.readDone = true;
    unreachable.error = std::make_error_code(std::errc::no_such_file_or_directory);
    ShareReport unwritable = reportOf(L"F:\\share", {});
    unwritable.ownFileWritten = false;
    unwritable.writeError = std::make_error_code(std::errc::permission_denied);
    const std::wstring at = L"F:" + std::wstring(1, L'\\') + L"share";
    const struct {
        const char* name;
        std::optional<ShareReport> report;
        std::vector<std::wstring> start;  // how the lines begin
    } cases[] = {
        {"not read yet", std::nullopt, {L"Sharing with other PCs through "}},
        {"out of reach", unreachable, {L"The shared folder "}},
        {"this PC's file cannot be written", unwritable, {L"This PC's history could not be written to "}},
        {"nobody else there yet", reportOf(L"F:\\share", {}), {L"Sharing with other PCs through "}},
        {"a file that cannot be read is named",
         reportOf(L"F:\\share", {{L"PC2", 1, L"", {}, L"the history of PC2 could not be read: line 5"}}),
         {L"Sharing with other PCs through ", L"the history of PC2 could not be read: line 5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SharedHistory shared;
        shared.shareThrough(L"F:\\share");
        if (c.report) shared.take(*c.report);
        const std::vector<std::wstring> lines = shared.statusLines();
        ASSERT_EQ(lines.size(), c.start.size());
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].rfind(c.start[i], 0), 0u) << testing::PrintToString(lines[i]);
    }
    SharedHistory off;
    EXPECT_TRUE(off.statusLines().empty()) << "not sharing: nothing to say";
}

TEST(SharedHistory, TheLegendNamesThisPcFirstAndTellsTwinsApart) {
    SharedHistory shared;
    shared.setThisPc(L"ALPHA", 0xa);
    const std::vector<HistoryRow> own;
    shared.shareThrough(L"F:\\s");
    shared.take(reportOf(L"F:\\s", {{L"ALPHA", 0xb, L"", {}, L""}, {L"BETA", 0xc, L"", {}, L""}}));
    std::vector<std::wstring> names;
    for (const ChartPc& pc : shared.chartPcs(own)) names.push_back(pc.name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"ALPHA (0000000a, this PC)", L"ALPHA (0000000b)", L"BETA"}));
}

TEST(ShareSchedule, ReadsAtTheStartOnRequestOnChangesWhileOpenAndOnceAMinute) {
    ShareSchedule s;
    EXPECT_TRUE(s.readDue(0)) << "at once when sharing starts";
    s.readDone(1000, true);
    EXPECT_EQ(s.waitMs(1000), 60000u) << "then once a minute";
    EXPECT_FALSE(s.lookDue(50000)) << "no looks while the window is closed";
    s.changeSeen(2000);
    EXPECT_EQ(s.waitMs(2000), 59000u) << "changes are not watched while the window is closed";
    s.setWatching(true);
    EXPECT_EQ(s.waitMs(2100), 200u) << "open: read once the folder has been quiet for 300 ms";
    s.changeSeen(2200);
    EXPECT_FALSE(s.readDue(2400));
    EXPECT_TRUE(s.readDue(2500));
    s.readDone(2500, true);
    EXPECT_EQ(s.waitMs(2500), 5000u) << "open: a look whether the folder is still there";
    EXPECT_TRUE(s.lookDue(7500));
    EXPECT_FALSE(s.readDue(7500));
    s.looked(7500);
    s.readDone(7600, false);
    EXPECT_EQ(s.waitMs(7600), 5000u) << "out of reach: tried again every 5 s while open";
    s.setWatching(false);
    EXPECT_EQ(s.waitMs(7600), 60000u) << "and every minute while closed";
    s.readRequested();
    EXPECT_TRUE(s.readDue(7601));
}

// A keeper of this PC, ALPHA with the MachineGuid ID 0xa, its share-id.cfg in `state`.
ShareKeeper keeperOf(const std::filesystem::path& shared, const std::filesystem::path& state, bool sharedBefore = false,
                     const wchar_t* name = L"ALPHA") {
    auto next = std::make_shared<std::uint32_t>(0x100);
    return ShareKeeper(shared.wstring(), {name, 0xa, (state / "share-id.cfg").wstring(), sharedBefore,
                                          [next] { return std::optional<std::uint32_t>((*next)++); }});
}

// Rounds until nothing more is due at `now`: the last report.
std::optional<ShareReport> settled(ShareKeeper& keeper, ShareKeeper::Round round, std::uint64_t now) {
    std::optional<ShareReport> last = keeper.round(std::move(round), now);
    while (keeper.waitMs(now) == 0)
        if (auto report = keeper.round({std::nullopt, false, round.watching, false}, now)) last = std::move(report);
    return last;
}

TEST(ShareKeeper, AFolderThatGoesAwayAndComesBackLosesNothing) {
    TempFolder root;
    const std::filesystem::path shared = root.path() / "shared";
    std::filesystem::create_directories(shared);
    const std::string beta = "date,program,seconds\r\n2026-12-09,a.exe,600\r\n";
    writeBytes(shared / "history-BETA-0000000b.csv", beta);
    writeBytes(shared / "notes.txt", "not ours");
    // Written by an earlier version under an earlier name: this PC's history holds it.
    writeBytes(shared / "history-ALPHA-OLD-0000000a.csv", "date,program,seconds\r\n2026-12-09,notepad.exe,5\r\n");
    ShareKeeper keeper = keeperOf(shared, root.path(), true);

    std::vector<HistoryRow> rows = {{D, L"notepad.exe", 30}};
    auto report = settled(keeper, {rows, false, true, false}, 0);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->reached && report->ownFileWritten);
    EXPECT_EQ(readBytes(shared / "history-ALPHA-0000000a.csv"), formatHistoryText(rows));
    ASSERT_EQ(report->pcs.size(), 1u) << "this PC's own files, an old name's too, are not counted twice";
    EXPECT_EQ(report->pcs[0]->name, L"BETA");
    EXPECT_TRUE(keeper.watchWanted());
    EXPECT_FALSE(keeper.round({std::nullopt, false, true, false}, 100)) << "nothing due: nothing done";

    // Taken away: a look while the window is open notices; the next rows cannot be written.
    std::filesystem::rename(shared, root.path() / "away");
    report = keeper.round({std::nullopt, false, true, false}, 5000);
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->reached);
    ASSERT_EQ(report->pcs.size(), 1u) << "the other PCs count as last read";
    EXPECT_EQ(report->pcs[0]->rows.front().seconds, 600);
    EXPECT_FALSE(keeper.watchWanted());
    rows[0].seconds = 95;
    report = keeper.round({rows, false, true, false}, 6000);
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->ownFileWritten);
    EXPECT_FALSE(report->reached);
    EXPECT_FALSE(std::filesystem::exists(shared)) << "a folder out of reach is not made again";

    // Back: within the next try, this PC's file holds every second, and nothing else changed.
    std::filesystem::rename(root.path() / "away", shared);
    EXPECT_LE(keeper.waitMs(6000), 5000u);
    report = settled(keeper, {std::nullopt, false, true, false}, 11000);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->reached && report->ownFileWritten);
    EXPECT_EQ(readBytes(shared / "history-ALPHA-0000000a.csv"), formatHistoryText(rows));
    EXPECT_EQ(readBytes(shared / "history-BETA-0000000b.csv"), beta);
    EXPECT_EQ(readBytes(shared / "notes.txt"), "not ours");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(shared)) files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 4) << "no temporary file is left behind";

    // A file deleted from the folder is written again at the next read.
    std::filesystem::remove(shared / "history-ALPHA-0000000a.csv");
    report = settled(keeper, {std::nullopt, true, true, false}, 20000);
    ASSERT_TRUE(report);
    EXPECT_EQ(readBytes(shared / "history-ALPHA-0000000a.csv"), formatHistoryText(rows));
}

}  // namespace

namespace {

const std::vector<HistoryRow> ours = {{D - 1, L"notepad.exe", 600}, {D, L"notepad.exe", 30}};
const std::string oursText = formatHistoryText(ours);
const std::string olderText = formatHistoryText({{D - 1, L"notepad.exe", 600}, {D, L"notepad.exe", 10}});
const std::string otherText = formatHistoryText({{D, L"notepad.exe", 45}});  // another PC's work
const std::string lessText = formatHistoryText({{D, L"notepad.exe", 5}});    // another's, less than ours

PcIdentityState wrote(const wchar_t* fileName, const std::string& bytes) {
    return {0xa, PcFileMark{fileName, contentMark(bytes)}, {}, {}};
}

std::vector<std::wstring> filesIn(const std::filesystem::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> countedFiles(const ShareReport& report) {
    std::vector<std::wstring> names;
    for (const auto& pc : report.pcs) names.push_back(pc->fileName);
    return names;
}

TEST(PcIdentity, EveryPcCountsAsItselfWhateverTheFolderHolds) {
    const wchar_t* const own = L"history-ALPHA-0000000a.csv";
    const wchar_t* const moved = L"history-ALPHA-00000100.csv";  // the first ID drawn at random
    const struct {
        const char* name;
        std::vector<std::pair<std::wstring, std::string>> before;
        std::optional<PcIdentityState> state;
        bool sharedBefore;
        const wchar_t* computer;
        std::vector<std::wstring> after;    // the folder's files afterwards
        std::vector<std::wstring> counted;  // the other PCs' files it counts
    } cases[] = {
        {"a new PC writes under the ID its MachineGuid gives",
         {{L"history-BETA-0000000b.csv", otherText}}, std::nullopt, false, L"ALPHA",
         {own, L"history-BETA-0000000b.csv"}, {L"history-BETA-0000000b.csv"}},
        {"a clone under another name takes a new ID; the other's file stays and counts",
         {{L"history-BETA-0000000a.csv", otherText}}, std::nullopt, false, L"ALPHA",
         {moved, L"history-BETA-0000000a.csv"}, {L"history-BETA-0000000a.csv"}},
        {"... even when this PC's history holds all of the other's seconds",
         {{L"history-BETA-0000000a.csv", lessText}}, std::nullopt, false, L"ALPHA",
         {moved, L"history-BETA-0000000a.csv"}, {L"history-BETA-0000000a.csv"}},
        {"a clone of the same name, restored with this PC's share-id.cfg, wrote the file since",
         {{own, otherText}}, wrote(own, olderText), false, L"ALPHA", {own, moved}, {own}},
        {"a renamed PC writes under its new name and removes what it wrote under the old one",
         {{L"history-DESKTOP-8F3K2L-0000000a.csv", olderText}}, wrote(L"history-DESKTOP-8F3K2L-0000000a.csv", olderText),
         false, L"STUDIO", {L"history-STUDIO-0000000a.csv"}, {}},
        {"... but leaves an old file it did not write so, which its history holds, uncounted",
         {{L"history-DESKTOP-8F3K2L-0000000a.csv", olderText}}, wrote(L"history-DESKTOP-8F3K2L-0000000a.csv", oursText),
         false, L"STUDIO", {L"history-DESKTOP-8F3K2L-0000000a.csv", L"history-STUDIO-0000000a.csv"}, {}},
        {"upgrade: the file an earlier version wrote is this PC's own, written over",
         {{own, olderText}}, std::nullopt, true, L"ALPHA", {own}, {}},
        {"upgrade after a rename: the old name's file, which its history holds, is not counted",
         {{own, olderText}, {L"history-DESKTOP-8F3K2L-0000000a.csv", olderText}}, std::nullopt, true, L"ALPHA",
         {own, L"history-DESKTOP-8F3K2L-0000000a.csv"}, {}},
        {"upgrade of PCs cloned before that share one ID: a new ID, the other's file counts",
         {{own, olderText}, {L"history-BETA-0000000a.csv", otherText}}, std::nullopt, true, L"ALPHA",
         {moved, L"history-BETA-0000000a.csv"}, {L"history-BETA-0000000a.csv"}},
        {"a sync service hands back an older copy of this PC's file: still its own",
         {{own, olderText}}, wrote(own, oursText), false, L"ALPHA", {own}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        const std::filesystem::path shared = root.path() / "shared";
        std::filesystem::create_directories(shared);
        for (const auto& [name, bytes] : c.before) writeBytes(shared / name, bytes);
        if (c.state) writeBytes(root.path() / "share-id.cfg", formatPcIdentity(*c.state));
        ShareKeeper keeper = keeperOf(shared, root.path(), c.sharedBefore, c.computer);
        settled(keeper, {}, 0);  // a first look before the history is handed over judges nothing
        auto report = settled(keeper, {ours, false, false, false}, 0);
        ASSERT_TRUE(report);
        EXPECT_EQ(filesIn(shared), c.after);
        EXPECT_EQ(countedFiles(*report), c.counted);
        const std::wstring file = pcHistoryFileName(c.computer, report->thisId);
        EXPECT_EQ(readBytes(shared / file), oursText);
        for (const auto& [name, bytes] : c.before) {
            if (name == file || !std::filesystem::exists(shared / name)) continue;
            EXPECT_EQ(readBytes(shared / name), bytes) << "another's file is never changed";
        }
        // A later look, and a later start, leave it as it is.
        report = settled(keeper, {ours, true, false, false}, 60000);
        ShareKeeper restarted = keeperOf(shared, root.path(), true, c.computer);
        const auto again = settled(restarted, {ours, false, false, false}, 0);
        ASSERT_TRUE(report && again);
        EXPECT_EQ(report->thisId, again->thisId);
        EXPECT_EQ(filesIn(shared), c.after);
        EXPECT_EQ(countedFiles(*again), c.counted);
    }
}

TEST(PcIdentity, TwoClonesThatNoticeEachOtherAtOnceBothTakeNewIds) {
    // Each writes before the other's file has reached it: two copies of one folder, synchronised by hand.
    TempFolder root;
    const auto a = root.path() / "a", b = root.path() / "b";
    for (const auto& folder : {a, b, a / "state", b / "state"}) std::filesystem::create_directories(folder);
    ShareKeeper alpha = keeperOf(a, a / "state", false, L"ALPHA");
    auto next = std::make_shared<std::uint32_t>(0x200);
    ShareKeeper beta(b.wstring(), {L"BETA", 0xa, (b / "state" / "share-id.cfg").wstring(), false,
                                   [next] { return std::optional<std::uint32_t>((*next)++); }});
    const auto sync = [&] {
        for (const auto& [from, to] : {std::pair{a, b}, std::pair{b, a}}) {
            for (const auto& entry : std::filesystem::directory_iterator(from))
                if (entry.is_regular_file() && !std::filesystem::exists(to / entry.path().filename()))
                    std::filesystem::copy_file(entry.path(), to / entry.path().filename());
        }
    };
    settled(alpha, {ours, false, false, false}, 0);
    settled(beta, {std::vector<HistoryRow>{{D, L"blender.exe", 40}}, false, false, false}, 0);
    sync();
    settled(alpha, {std::nullopt, true, false, false}, 1000);
    settled(beta, {std::nullopt, true, false, false}, 1000);
    // What each removed is removed on the other side too.
    for (const auto& folder : {a, b})
        for (const wchar_t* gone : {L"history-ALPHA-0000000a.csv", L"history-BETA-0000000a.csv"})
            std::filesystem::remove(folder / gone);
    sync();
    const auto seenByAlpha = settled(alpha, {std::nullopt, true, false, false}, 2000);
    const auto seenByBeta = settled(beta, {std::nullopt, true, false, false}, 2000);
    ASSERT_TRUE(seenByAlpha && seenByBeta);
    EXPECT_EQ(filesIn(a), (std::vector<std::wstring>{L"history-ALPHA-00000100.csv", L"history-BETA-00000200.csv", L"state"}));
    EXPECT_EQ(countedFiles(*seenByAlpha), std::vector<std::wstring>{L"history-BETA-00000200.csv"});
    EXPECT_EQ(countedFiles(*seenByBeta), std::vector<std::wstring>{L"history-ALPHA-00000100.csv"});
}

TEST(OtherPcs, EachPcCountsOnceAndNoFileTakesMoreThanAHistoryCould) {
    const std::string header = "date,program,seconds\r\n";
    const std::uint64_t limit = largestPcFileBytes;
    const struct {
        const char* name;
        std::vector<std::tuple<std::wstring, std::string, std::uint64_t>> files;  // name, text, size
        std::vector<std::wstring> counted;
        std::int64_t today;  // the other PCs' seconds today
        std::vector<std::wstring> notes;
    } cases[] = {
        {"a renamed PC whose earlier file is still there counts once, under its new name",
         {{L"history-STUDIO-0000000b.csv", oursText, 0}, {L"history-DESKTOP-0000000b.csv", olderText, 0}},
         {L"history-STUDIO-0000000b.csv"}, 30, {}},
        {"two files of one ID holding different work both count",
         {{L"history-X-0000000b.csv", formatHistoryText({{D, L"blender.exe", 5}}), 0},
          {L"history-Y-0000000b.csv", otherText, 0}},
         {L"history-X-0000000b.csv", L"history-Y-0000000b.csv"}, 50, {}},
        {"a file as large as a history may be is read",
         {{L"history-BIG-0000000b.csv", header + "2026-12-09,a.exe,7\r\n", limit}}, {L"history-BIG-0000000b.csv"}, 7, {}},
        {"a file larger is left out without being read, and named",
         {{L"history-BIG-0000000b.csv", header, limit + 1}, {L"history-BETA-0000000c.csv", lessText, 0}},
         {L"history-BETA-0000000c.csv"}, 5, {L"the history of BIG is 2.1 MB, too large to be a history: left out"}},
        {"a sparse file of 400 MB",
         {{L"history-HUGE-0000dead.csv", "", 400ull << 20}, {L"history-BETA-0000000c.csv", lessText, 0}},
         {L"history-BETA-0000000c.csv"}, 5, {L"the history of HUGE is 400 MB, too large to be a history: left out"}},
        {"beyond what is kept together, the last are left out",
         {{L"history-A-00000001.csv", header, limit}, {L"history-B-00000002.csv", header, limit},
          {L"history-C-00000003.csv", header, limit}, {L"history-D-00000004.csv", lessText, 0}},
         {L"history-A-00000001.csv", L"history-B-00000002.csv", L"history-C-00000003.csv"}, 0,
         {L"the history of D is left out: the histories in the shared folder come to more than 6 MB"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        for (const auto& [name, text, size] : c.files) {
            writeBytes(root.path() / name, text);
            if (size) std::filesystem::resize_file(root.path() / name, size);
        }
        ShareKeeper keeper = keeperOf(root.path(), root.path(), false, L"GAMMA");
        const auto report = settled(keeper, {std::vector<HistoryRow>{}, false, false, false}, 0);
        ASSERT_TRUE(report);
        EXPECT_EQ(countedFiles(*report), c.counted);
        SharedHistory shared;
        shared.shareThrough(root.path().wstring());
        shared.take(*report);
        EXPECT_EQ(shared.othersOnDay(D), c.today);
        EXPECT_EQ(report->notes, c.notes);
    }
}

TEST(OtherPcs, EachFileCountsAsSoonAsItIsReadAndTheOthersAsLastRead) {
    TempFolder root;
    for (const char* pc : {"B-0000000b", "C-0000000c", "D-0000000d"})
        writeBytes(root.path() / ("history-" + std::string(pc) + ".csv"), lessText);
    ShareKeeper keeper = keeperOf(root.path(), root.path() / "state", false, L"A");
    std::vector<std::size_t> counted;
    for (std::optional<ShareReport> report = keeper.round({ours, false, false, false}, 0); report;
         report = keeper.waitMs(0) == 0 ? keeper.round({}, 0) : std::nullopt)
        counted.push_back(report->pcs.size());
    EXPECT_EQ(counted, (std::vector<std::size_t>{0, 1, 2, 3})) << "listed, then one file a round";
    writeBytes(root.path() / "history-C-0000000c.csv", otherText);
    auto report = keeper.round({std::nullopt, true, false, false}, 1000);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->pcs.size(), 3u) << "a look counts every PC as last read meanwhile";
    keeper.round({std::nullopt, true, false, false}, 1000);  // another look before the changed file was read
    report = keeper.round({}, 1000);
    ASSERT_TRUE(report);
    std::int64_t today = 0;
    for (const auto& pc : report->pcs) today += secondsOnDay(pc->rows, D);
    EXPECT_EQ(today, 5 + 45 + 5);
    EXPECT_GT(keeper.waitMs(1000), 0u) << "files that did not change are not read again";
}

}  // namespace
