#include <gtest/gtest.h>

#include <filesystem>

#include "config/config_file.h"
#include "config/file_system.h"
#include "temp_folder.h"

namespace {

const WriteStep allSteps[] = {WriteStep::open, WriteStep::write, WriteStep::flush, WriteStep::replace};

TEST(AtomicWrite, AFailureAtAnyStepLeavesTheOldCompleteFileAndNoTemporary) {
    TempFolder folder;
    const std::wstring path = folder.file(L"data.cfg");
    writeBytes(path, "old\r\n");
    for (WriteStep failing : allSteps) {
        SCOPED_TRACE(static_cast<int>(failing));
        EXPECT_TRUE(writeFileAtomically(path, "new\r\n", [&](WriteStep step) { return step == failing; }));
        EXPECT_EQ(readBytes(path), "old\r\n");
        EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path)));
    }
    EXPECT_FALSE(writeFileAtomically(path, "new\r\n"));
    EXPECT_EQ(readBytes(path), "new\r\n");
}

TEST(AtomicWrite, TemporaryLeftByACrashIsGoneAfterTheNextWrite) {
    TempFolder folder;
    const std::wstring path = folder.file(L"data.cfg");
    writeBytes(path, "photoshop.exe\r\n1\r\n");
    writeBytes(temporaryPathFor(path), "photo");  // killed halfway through a write
    EXPECT_FALSE(writeFileAtomically(path, "notepad.exe\r\n1\r\n"));
    EXPECT_EQ(readBytes(path), "notepad.exe\r\n1\r\n");
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path)));
}

TEST(AtomicWrite, APathGivenFromTheCurrentFolderIsReplacedThereAndNowhereElse) {
    TempFolder folder;
    std::filesystem::create_directories(folder.path() / "state");
    writeBytes(folder.path() / "state" / "data.cfg", "old\r\n");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    const std::error_code error = writeFileAtomically(L"state/data.cfg", "new\r\n");
    std::filesystem::current_path(before);
    EXPECT_FALSE(error);
    EXPECT_EQ(readBytes(folder.path() / "state" / "data.cfg"), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "data.cfg")) << "renamed into the current folder";
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "state" / "data.cfg.new"));
}

TEST(AtomicWrite, SetThatCannotWriteKeepsTheValueAndTheNextSetWritesEverything) {
    TempFolder folder;
    const std::filesystem::path sub = folder.path() / "state";
    std::filesystem::create_directories(sub);
    writeBytes(sub / "data.cfg", "a\r\nb\r\n");
    ConfigFile file;
    file.load((sub / "data.cfg").wstring());

    // The folder disappears: the write fails with the system's reason and memory keeps the change.
    std::filesystem::remove_all(sub);
    const std::error_code error = file.set(0, L"A");
    EXPECT_TRUE(error);
    EXPECT_NE(error, std::make_error_code(std::errc::io_error)) << "a made-up reason instead of the system's";
    EXPECT_EQ(file.lines, (std::vector<std::wstring>{L"A", L"b"}));
    EXPECT_FALSE(std::filesystem::exists(sub / "data.cfg"));

    std::filesystem::create_directories(sub);
    EXPECT_FALSE(file.set(1, L"B"));
    EXPECT_EQ(readBytes(sub / "data.cfg"), "A\r\nB\r\n");
}

}  // namespace
