#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh folder for one test, removed afterwards. Its name is this process's alone: the same
// test may run at once in another build tree, or in another process of a parallel ctest, and
// neither may ever empty or remove the folder of the other. So an existing folder is never
// reused (nor cleared) but passed over for the next name.
class TempFolder {
public:
    TempFolder() {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string test = info ? info->name() : "test";
        std::replace(test.begin(), test.end(), '/', '_');  // a parameterised test's "Name/0"
        const std::filesystem::path temp = std::filesystem::temp_directory_path();
        const std::string stem = "ardeno-" + test + "-" + std::to_string(processId()) + "-";
        for (;;) {
            path_ = temp / (stem + std::to_string(counter++));
            // Made here, or another's: create_directory tells which, in one step.
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return (path_ / name).wstring(); }

private:
    static long processId() {
#ifdef _WIN32
        return static_cast<long>(_getpid());
#else
        return static_cast<long>(getpid());
#endif
    }

    std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
