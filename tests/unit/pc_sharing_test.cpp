// One history across the user's PCs: the file names each PC writes, reading other PCs' files,
// summing them for the menu and the chart, share.cfg, and a shared folder that goes away and
// comes back, with literal clock readings and a real temporary folder.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/text.h"
#include "sharing/pc_history_files.h"
#include "sharing/pc_identity.h"
#include "sharing/share_keeper.h"
#include "sharing/share_settings.h"
#include "sharing/shared_history.h"
#include "overlay/context_menu.h"
#include "history_rows.h"
#include "temp_folder.h"

namespace {

DayNumber day(int year, int month, int dayOfMonth) { return dayNumber({year, month, dayOfMonth}).value(); }
PackedHistory rowsOf(const std::vector<HistoryRow>& rows) { return rows; }
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
        for (const HistoryRow& row : pc.rows.unpacked()) seconds += row.seconds;
        EXPECT_EQ(seconds, c.seconds);
        EXPECT_EQ(pc.problem, c.problem);
        EXPECT_EQ(pc.name, L"BETA");
        EXPECT_EQ(pc.rows.empty() ? L"" : pc.rows.row(0).project, c.firstProject);
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
        {L"BETA", 2, L"", rowsOf({{D - 1, L"a.exe", 1000}, {D, L"a.exe", 50}, {D, L"b.exe", 3}}), L""},
        {L"GAMMA", 3, L"", rowsOf({{D, L"a.exe", 600}}), L""}};
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
    // Its file waits for the person's answer: the menu says so first, and leads to the window that asks.
    ShareReport waiting = reportOf(L"F:\\share", others);
    waiting.question = 7;
    overlay.shared.take(waiting);
    const MenuEntry first = contextMenuEntries(overlay, D).front();
    EXPECT_EQ(first.text, L"Sharing waits for an answer");
    EXPECT_EQ(first.id, workHistoryCommand);
    EXPECT_FALSE(first.disabled);
    overlay.shared.shareThrough(L"");
    EXPECT_EQ(overlay.shared.othersOnDay(D), 0) << "stopping forgets the other PCs";
    EXPECT_NE(contextMenuEntries(overlay, D).front().text, first.text);
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
    EXPECT_EQ(report->pcs[0]->rows.row(0).seconds, 600);
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
    return {0xa, PcFileMark{fileName, contentMark(bytes)}, {}, {}, {}, {}};
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

TEST(PcIdentity, CorrectionsUpgradesAndLostRecordsShareOnce) {
    const wchar_t* const own = L"history-ALPHA-0000000a.csv";
    const wchar_t* const moved = L"history-ALPHA-00000100.csv";
    const wchar_t* const twin = L"history-BETA-0000000a.csv";  // a clone of another name
    const std::vector<HistoryRow> older = {{D - 1, L"notepad.exe", 600}, {D, L"notepad.exe", 10}};
    // What the file held before a row was lowered by hand to ours; before 30 s were moved to another day.
    const std::string correctedText = formatHistoryText({{D - 1, L"notepad.exe", 900}, {D, L"notepad.exe", 30}});
    const std::string movedText = formatHistoryText({{D - 1, L"notepad.exe", 630}});
    PcIdentityState killed = wrote(own, olderText);
    killed.next = PcFileMark{own, contentMark(correctedText)};
    const auto record = [](const PcIdentityState& state) { return std::optional(formatPcIdentity(state)); };
    const struct {
        const char* name;
        std::vector<std::pair<std::wstring, std::string>> before;
        std::optional<std::string> record;  // share-id.cfg
        std::vector<HistoryRow> history;
        bool whole;
        PcAnswer answer;  // given once asked
        bool asks;
        std::vector<std::wstring> after;
        std::vector<std::wstring> counted;
        std::string ownHolds;  // this PC's file at the end
    } cases[] = {
        {"a correction: the file it last wrote holds more, and is written over",
         {{own, correctedText}}, record(wrote(own, correctedText)), ours, true, PcAnswer::none, false, {own}, {},
         oursText},
        {"an upgrade after a correction: no row of the history exceeds the file's",
         {{own, correctedText}}, std::nullopt, ours, true, PcAnswer::none, false, {own}, {}, oursText},
        {"... a record that cannot be used, the same",
         {{own, correctedText}}, formatPcIdentity(wrote(own, oursText)) + "rubbish\r\n", ours, true, PcAnswer::none,
         false, {own}, {}, oursText},
        {"a correction that moved time: the person is asked, and until then the file stays",
         {{own, movedText}}, std::nullopt, ours, true, PcAnswer::none, true, {own}, {}, movedText},
        {"... answered: the history was corrected", {{own, movedText}}, std::nullopt, ours, true,
         PcAnswer::corrected, true, {own}, {}, oursText},
        {"... answered: this PC is a copy; the other's file stays and counts", {{own, movedText}}, std::nullopt, ours,
         true, PcAnswer::copy, true, {own, moved}, {own}, oursText},
        {"a clone of the same name started before this version: asked as well", {{own, otherText}}, std::nullopt,
         ours, true, PcAnswer::copy, true, {own, moved}, {own}, oursText},
        {"a clone of another name started before this version that has not counted yet: a new ID",
         {{own, olderText}, {twin, oursText}}, std::nullopt, older, true, PcAnswer::none, false, {moved, twin}, {twin},
         olderText},
        {"... and its original: the clone's copy of its past counts once", {{own, olderText}, {twin, olderText}},
         std::nullopt, ours, true, PcAnswer::none, false, {own, twin}, {}, oursText},
        {"a kill between the two writes: the file holds what the record was about to write", {{own, correctedText}},
         record(killed), ours, true, PcAnswer::none, false, {own}, {}, oursText},
        {"an empty history never replaces a file that holds work", {{own, oursText}}, std::nullopt, {}, true,
         PcAnswer::none, false, {own}, {}, oursText},
        {"... even one this PC wrote", {{own, oursText}}, record(wrote(own, oursText)), {}, true, PcAnswer::none, false,
         {own}, {}, oursText},
        {"a history not read whole replaces nothing", {{own, olderText}}, record(wrote(own, olderText)), ours, false,
         PcAnswer::none, false, {own}, {}, olderText},
        {"a lost record: the newest file of its name that its history holds gives the ID it had moved to",
         {{L"history-ALPHA-00000050.csv", lessText}, {L"history-ALPHA-00000077.csv", olderText}}, std::nullopt, ours,
         true, PcAnswer::none, false, {L"history-ALPHA-00000077.csv"}, {}, oursText},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder root;
        const std::filesystem::path shared = root.path() / "shared";
        std::filesystem::create_directories(shared);
        auto time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        for (const auto& [name, bytes] : c.before) {
            writeBytes(shared / name, bytes);
            std::filesystem::last_write_time(shared / name, time += std::chrono::minutes(1));  // in order, newest last
        }
        if (c.record) writeBytes(root.path() / "share-id.cfg", *c.record);
        ShareKeeper keeper = keeperOf(shared, root.path(), true);
        const ShareKeeper::Round handed{c.history, false, false, false, c.whole};
        auto report = settled(keeper, handed, 0);
        ASSERT_TRUE(report);
        EXPECT_EQ(report->question != 0, c.asks);
        if (c.answer != PcAnswer::none) {
            report = settled(keeper, {std::nullopt, false, false, false, true, c.answer}, 1000);
        }
        ASSERT_TRUE(report);
        EXPECT_EQ(filesIn(shared), c.after);
        EXPECT_EQ(countedFiles(*report), c.counted);
        EXPECT_EQ(readBytes(shared / pcHistoryFileName(L"ALPHA", report->thisId)), c.ownHolds);
        for (const auto& [name, bytes] : c.before) {
            const bool itsOwn = name == pcHistoryFileName(L"ALPHA", report->thisId);
            if (itsOwn || !std::filesystem::exists(shared / name)) continue;
            EXPECT_EQ(readBytes(shared / name), bytes) << "another's file is never changed";
        }
        // A later start leaves it as it is, and asks again only what was not answered.
        ShareKeeper restarted = keeperOf(shared, root.path(), true);
        const auto again = settled(restarted, handed, 0);
        ASSERT_TRUE(again);
        EXPECT_EQ(again->thisId, report->thisId);
        EXPECT_EQ(filesIn(shared), c.after);
        EXPECT_EQ(again->question != 0, c.asks && c.answer == PcAnswer::none);
    }
}

TEST(PcIdentity, ItsRecordIsNeverWrittenOverBeforeItWasRead) {
    TempFolder root;
    const std::filesystem::path shared = root.path() / "shared", record = root.path() / "share-id.cfg";
    std::filesystem::create_directories(shared);
    writeBytes(shared / "history-ALPHA-00000077.csv", olderText);
    // Held by another program: here a folder where the file should be, which cannot be read.
    std::filesystem::create_directories(record);
    ShareKeeper keeper = keeperOf(shared, root.path(), true);
    auto report = keeper.round({ours, false, false, false}, 0);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->notes.front().rfind(L"share-id.cfg cannot be read now (", 0), 0u);
    EXPECT_EQ(filesIn(shared), std::vector<std::wstring>{L"history-ALPHA-00000077.csv"}) << "nothing written meanwhile";
    EXPECT_TRUE(std::filesystem::is_directory(record));
    EXPECT_EQ(keeper.waitMs(0), 1000u) << "read again a second later, then less often";
    keeper.round({}, 1000);
    EXPECT_EQ(keeper.waitMs(1000), 2000u);

    // Readable again: the ID it keeps there, and the file it last wrote, are its own.
    std::filesystem::remove(record);
    PcIdentityState state = wrote(L"history-ALPHA-00000077.csv", olderText);
    state.id = 0x77;
    writeBytes(record, formatPcIdentity(state));
    report = settled(keeper, {}, 3000);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->thisId, 0x77u);
    EXPECT_EQ(filesIn(shared), std::vector<std::wstring>{L"history-ALPHA-00000077.csv"});
    EXPECT_EQ(readBytes(shared / "history-ALPHA-00000077.csv"), oursText);

    // A record that cannot be saved: the file is not written before it is, and the window says so.
    std::filesystem::create_directories(root.path() / "share-id.cfg.new");
    report = settled(keeper, {std::vector<HistoryRow>{{D, L"notepad.exe", 99}}, false, false, false}, 4000);
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->ownFileWritten);
    EXPECT_EQ(readBytes(shared / "history-ALPHA-00000077.csv"), oursText);
    EXPECT_EQ(report->notes.front().rfind(L"share-id.cfg could not be saved (", 0), 0u);
    std::filesystem::remove(root.path() / "share-id.cfg.new");
    report = settled(keeper, {std::nullopt, true, false, false}, 70000);
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->ownFileWritten) << "tried again at the next minute's look";
    EXPECT_EQ(readBytes(shared / "history-ALPHA-00000077.csv"), formatHistoryText({{D, L"notepad.exe", 99}}));
    EXPECT_TRUE(report->notes.empty());
}

TEST(PcIdentity, ItsRecordReadsAsAnEarlierVersionWroteIt) {
    const std::string title = "Ardeno Time: this PC in the shared folder\r\n";
    const std::string written = "written,117013,9f3a6c0e21d4b7a8,history-STUDIO-1a2b3c4d.csv\r\n";
    const std::string next = "next,117064,0c1d2e3f4a5b6c7d,history-STUDIO-1a2b3c4d.csv\r\n";
    const std::string earlier =
        "earlier,5,0000000000000001,history-OLD-1a2b3c4d.csv\r\nheld,history-X-1a2b3c4d.csv\r\n";
    const struct {
        std::string text;
        bool whole;
        std::optional<std::int64_t> listed;
        bool next;
    } cases[] = {
        {title + "id,1a2b3c4d\r\n" + written + earlier, true, std::nullopt, false},  // an earlier version's
        {title + "id,1a2b3c4d\r\n" + written + "listed,1765432109876543210\r\n" + next + earlier, true,
         1765432109876543210, true},
        {title + "id,1a2b3c4d\r\n" + next, true, std::nullopt, true},
        {title + "id,1a2b3c4d\r\nlisted,5\r\n" + written, false, std::nullopt, false},  // the time of no file
        {title + "id,1a2b3c4d\r\n" + written + next + "listed,5\r\n", false, std::nullopt, false},
        {title + "id,1a2b3c4d\r\n" + written + "listed,99999999999999999999\r\n", false, std::nullopt, false},
        {title + "id,1a2b3c4d\r\n" + next + next, false, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto state = parsePcIdentity(c.text);
        ASSERT_EQ(state.has_value(), c.whole);
        if (!state) continue;
        EXPECT_EQ(state->id, 0x1a2b3c4du);
        EXPECT_EQ(state->listed, c.listed);
        EXPECT_EQ(state->next.has_value(), c.next);
        EXPECT_EQ(formatPcIdentity(*state), c.text) << "written back as it was";
    }
}

TEST(PcIdentity, ACopyOfItsFileUnderAnotherIdCountsOnceAndGoesOnceItsFileIsWritten) {
    // An earlier version moved to a new ID at every look while the file was large, leaving each.
    TempFolder root;
    const std::filesystem::path shared = root.path() / "shared";
    std::filesystem::create_directories(shared);
    const std::vector<std::pair<const wchar_t*, std::string>> flood = {
        {L"history-ALPHA-00000001.csv", lessText}, {L"history-ALPHA-00000002.csv", olderText},
        {L"history-ALPHA-00000003.csv", oursText}};
    for (const auto& [name, text] : flood) writeBytes(shared / name, text);
    const std::string blender = formatHistoryText({{D, L"blender.exe", 7}});  // another PC of that name
    writeBytes(shared / "history-ALPHA-00000009.csv", blender);
    writeBytes(shared / "history-BETA-0000000b.csv", otherText);

    // BETA counts ALPHA once, and leaves ALPHA's files as they are.
    std::filesystem::create_directories(root.path() / "beta");
    writeBytes(root.path() / "beta" / "share-id.cfg",
               formatPcIdentity(
                   {0xb, PcFileMark{L"history-BETA-0000000b.csv", contentMark(otherText)}, {}, {}, {}, {}}));
    ShareKeeper beta = keeperOf(shared, root.path() / "beta", true, L"BETA");
    auto report = settled(beta, {std::vector<HistoryRow>{{D, L"notepad.exe", 45}}, false, false, false}, 0);
    ASSERT_TRUE(report);
    EXPECT_EQ(countedFiles(*report),
              (std::vector<std::wstring>{L"history-ALPHA-00000003.csv", L"history-ALPHA-00000009.csv"}));
    SharedHistory seen;
    seen.shareThrough(shared.wstring());
    seen.take(*report);
    EXPECT_EQ(seen.othersOnDay(D), 30 + 7);
    EXPECT_EQ(filesIn(shared).size(), 5u);

    // ALPHA, at the ID it moved to last, removes the copies its present file covers once it is written.
    PcIdentityState alpha = wrote(L"history-ALPHA-00000003.csv", oursText);
    alpha.id = 3;
    writeBytes(root.path() / "share-id.cfg", formatPcIdentity(alpha));
    ShareKeeper keeper = keeperOf(shared, root.path(), true);
    report = settled(keeper, {ours, false, false, false}, 0);
    ASSERT_TRUE(report);
    EXPECT_EQ(filesIn(shared), (std::vector<std::wstring>{L"history-ALPHA-00000003.csv", L"history-ALPHA-00000009.csv",
                                                          L"history-BETA-0000000b.csv"}));
    EXPECT_EQ(countedFiles(*report),
              (std::vector<std::wstring>{L"history-ALPHA-00000009.csv", L"history-BETA-0000000b.csv"}));
    EXPECT_EQ(readBytes(shared / "history-ALPHA-00000009.csv"), blender);
    // A copy that comes back (a PC of the same name that writes it again) is left, uncounted.
    writeBytes(shared / "history-ALPHA-00000001.csv", lessText);
    report = settled(keeper, {ours, true, false, false}, 60000);
    ASSERT_TRUE(report);
    EXPECT_TRUE(std::filesystem::exists(shared / "history-ALPHA-00000001.csv"));
    EXPECT_EQ(countedFiles(*report),
              (std::vector<std::wstring>{L"history-ALPHA-00000009.csv", L"history-BETA-0000000b.csv"}));
}

TEST(ShareKeeper, ALargeHistoryStaysOneFileAndIsNotReadAgainAtEveryLook) {
    TempFolder root;
    const std::filesystem::path shared = root.path() / "shared";
    std::filesystem::create_directories(shared);
    const std::vector<HistoryRow> career = careerRows(D);
    ShareKeeper keeper = keeperOf(shared, root.path(), false);
    for (std::uint64_t now : {0, 60000, 120000, 180000}) settled(keeper, {career, now > 0, false, false}, now);
    const std::filesystem::path own = shared / "history-ALPHA-0000000a.csv";
    EXPECT_EQ(filesIn(shared), std::vector<std::wstring>{own.filename().wstring()}) << "one file after three minutes";
    EXPECT_GT(std::filesystem::file_size(own), largestPcFileBytes / 4);
    // Its time set to a whole second (as precise as this test can set it again): read once, and
    // what it wrote, it is known by that time from then on.
    const auto time = std::chrono::time_point_cast<std::chrono::seconds>(std::filesystem::last_write_time(own));
    std::filesystem::last_write_time(own, time);
    settled(keeper, {std::nullopt, true, false, false}, 210000);
    // Bytes of the same size under the same time are taken for what it wrote: the file is not read.
    std::string bytes = readBytes(own);
    bytes.replace(bytes.find(",photoshop.exe,") - 4, 4, "1999");
    writeBytes(own, bytes);
    std::filesystem::last_write_time(own, time);
    auto report = settled(keeper, {std::nullopt, true, false, false}, 240000);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->thisId, 0xau);
    EXPECT_EQ(readBytes(own), bytes);
    // Written at another time, they are read, and another PC wrote them.
    std::filesystem::last_write_time(own, time + std::chrono::seconds(5));
    report = settled(keeper, {std::nullopt, true, false, false}, 300000);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->thisId, 0x100u);
    EXPECT_EQ(filesIn(shared).size(), 2u);
}

TEST(OtherPcs, FivePcsOfTwentyYearsAreAllCounted) {
    TempFolder root;
    std::int64_t today = 0, all = 0;
    for (int pc = 1; pc <= 5; ++pc) {
        const std::vector<HistoryRow> rows = careerRows(D, 20, pc);
        for (const HistoryRow& row : rows) {
            all += row.seconds;
            today += row.day == D ? row.seconds : 0;
        }
        writeBytes(root.path() / ("history-PC" + std::to_string(pc) + "-0000000" + std::to_string(pc) + ".csv"),
                   formatHistoryText(rows));
    }
    ShareKeeper keeper = keeperOf(root.path(), root.path(), false, L"GAMMA");
    const auto report = settled(keeper, {careerRows(D, 20, 9), false, false, false}, 0);
    ASSERT_TRUE(report);
    std::string notes;
    for (const std::wstring& note : report->notes) notes += toUtf8(note) + "\n";
    EXPECT_EQ(report->pcs.size(), 5u) << notes;
    EXPECT_TRUE(report->notes.empty()) << notes;
    SharedHistory shared;
    shared.shareThrough(root.path().wstring());
    shared.take(*report);
    EXPECT_EQ(shared.othersOnDay(D), today);
    std::size_t memory = 0;
    std::int64_t counted = 0;
    for (const auto& pc : report->pcs) {
        memory += pc->rows.memoryBytes();
        for (const PackedRow& row : pc->rows.rows()) counted += row.seconds;
    }
    EXPECT_EQ(counted, all);
    EXPECT_LT(memory, 5u * 73000 * 20) << "some 16 bytes a row";
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
    const std::wstring beta = L"history-BETA-0000000b";
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
        {"a name under several IDs, each file holding the one before (the copies a flood left), counts once",
         {{L"history-ALPHA-00000001.csv", lessText, 0}, {L"history-ALPHA-00000002.csv", olderText, 0},
          {L"history-ALPHA-00000003.csv", oursText, 0}},
         {L"history-ALPHA-00000003.csv"}, 30, {}},
        {"... but two PCs of one name that did different work both count",
         {{L"history-ALPHA-00000001.csv", formatHistoryText({{D, L"blender.exe", 5}}), 0},
          {L"history-ALPHA-00000002.csv", otherText, 0}},
         {L"history-ALPHA-00000001.csv", L"history-ALPHA-00000002.csv"}, 50, {}},
        {"a file as large as a history may be is read",
         {{L"history-BIG-0000000b.csv", header + "2026-12-09,a.exe,7\r\n", limit}}, {L"history-BIG-0000000b.csv"}, 7, {}},
        {"a file larger is left out without being read, and named",
         {{L"history-BIG-0000000b.csv", header, limit + 1}, {L"history-BETA-0000000c.csv", lessText, 0}},
         {L"history-BETA-0000000c.csv"}, 5, {L"the history of BIG is 8.1 MB, too large to be a history: left out"}},
        {"a sparse file of 400 MB",
         {{L"history-HUGE-0000dead.csv", "", 400ull << 20}, {L"history-BETA-0000000c.csv", lessText, 0}},
         {L"history-BETA-0000000c.csv"}, 5, {L"the history of HUGE is 400 MB, too large to be a history: left out"}},
        {"the copies sync services make are named and never counted; OneDrive's only while the file it copies is there",
         {{beta + L".csv", lessText, 0},
          {beta + L" (1).csv", otherText, 0},
          {beta + L".sync-conflict-20261209-101500-ABCDEFG.csv", otherText, 0},
          {beta + L" (LAPTOP's conflicted copy 2026-12-09).csv", otherText, 0},
          {beta + L"-1a2b3c4d.csv", otherText, 0},
          {beta + L"-DESKTOP-1a2b3c4d.csv", otherText, 0},
          {L"history-1A2B3C4D-0000000c.csv", formatHistoryText({{D, L"blender.exe", 7}}), 0},
          {L"history-X-0000000c-1a2b3c4d.csv", formatHistoryText({{D, L"a.exe", 11}}), 0}},
         {L"history-1A2B3C4D-0000000c.csv", beta + L".csv", L"history-X-0000000c-1a2b3c4d.csv"}, 5 + 7 + 11,
         {L"copies that a sync service made, not counted, which may be deleted: " + beta + L" (1).csv, " + beta +
          L" (LAPTOP's conflicted copy 2026-12-09).csv, " + beta + L"-1a2b3c4d.csv and 2 more"}},
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

TEST(OtherPcs, BeyondTheMemoryKeptTheLastAreLeftOutUntilThereIsRoom) {
    TempFolder root;
    for (const char* pc : {"A-0000000a", "B-0000000b", "C-0000000c"}) {
        std::vector<HistoryRow> rows;
        for (DayNumber d = D - 300; d <= D; ++d) rows.push_back({d, L"blender.exe", 60});
        writeBytes(root.path() / ("history-" + std::string(pc) + ".csv"), formatHistoryText(rows));
    }
    const std::size_t each =
        readOtherPcText({L"A", 0xa}, L"", readBytes(root.path() / "history-A-0000000a.csv")).rows.memoryBytes();
    OtherPcFiles others(each * 5 / 2);
    const PcFolder folder(root.path().wstring());
    const auto look = [&] {
        const auto toRead = others.plan(folder.list().files, [](const PcFileEntry&) { return true; });
        for (const PcFileEntry& entry : toRead) others.take(entry, folder.read(entry.fileName));
        std::vector<std::wstring> names;
        for (const auto& pc : others.counted(L"", nullptr)) names.push_back(pc->name);
        return std::make_pair(names, toRead.size());
    };
    EXPECT_EQ(look(), std::make_pair(std::vector<std::wstring>{L"A", L"B"}, std::size_t{3}));
    EXPECT_EQ(others.notes(), std::vector<std::wstring>{tooManyText(L"C", each * 5 / 2)});
    EXPECT_EQ(look(), std::make_pair(std::vector<std::wstring>{L"A", L"B"}, std::size_t{0}))
        << "not read again while there is no room for it";
    EXPECT_EQ(others.notes().size(), 1u);
    std::filesystem::remove(root.path() / "history-A-0000000a.csv");
    EXPECT_EQ(look(), std::make_pair(std::vector<std::wstring>{L"B", L"C"}, std::size_t{1})) << "room again";
    EXPECT_TRUE(others.notes().empty());
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
    for (const auto& pc : report->pcs) today += pc->rows.secondsOnDay(D);
    EXPECT_EQ(today, 5 + 45 + 5);
    EXPECT_GT(keeper.waitMs(1000), 0u) << "files that did not change are not read again";
}

}  // namespace
