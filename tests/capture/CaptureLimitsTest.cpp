// A capturing host killed at random points, and a folder kept within
// MaxMB = 1 over 100,000 calls, both through capture_load.
#include "capture/CaptureTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using namespace capture_test;

namespace {

std::wstring Quoted(const fs::path& path) { return L"\"" + path.wstring() + L"\""; }

fs::path Bin() { return fs::current_path(); }

struct FolderContents {
    std::vector<int32_t> paramIds;  // of every sound record, in file order
    std::vector<CaptureDamage> damaged;
    std::vector<size_t> ends;       // where each file's last sound record ends
    std::vector<size_t> sizes;
};

FolderContents ReadFolder(const fs::path& folder) {
    FolderContents contents;
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".ovcap") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
        const std::string bytes = FileBytes(file);
        const auto parsed = ParseCapture(bytes);
        if (!parsed) continue;
        for (const CaptureRecord& record : parsed->records) {
            contents.paramIds.push_back(*DecodeCapturedCall(record).call->paramId);
        }
        contents.damaged.insert(contents.damaged.end(), parsed->damaged.begin(), parsed->damaged.end());
        contents.sizes.push_back(bytes.size());
    }
    return contents;
}

TEST(CaptureLimits, AKilledHostLosesAtMostTheRecordItWasWriting) {
    std::mt19937 random(20);
    const fs::path folder = EmptyFolder("killed");
    for (int round = 0; round < 20; ++round) {
        fs::remove_all(folder);
        fs::create_directories(folder);
        std::wstring line = Quoted(Bin() / "capture_load.exe") + L" " + Quoted(folder) + L" 0";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
        // Killed at a random point once it captures: a busy machine may take
        // seconds to start it, and a host killed before its first record
        // has nothing to lose. It writes some 16 MB a second, so within
        // 150 ms it has written thousands of records, and the replay below
        // stays short.
        for (int wait = 0; wait < 600 && ReadFolder(folder).paramIds.empty(); ++wait) Sleep(50);
        Sleep(random() % 150);
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);

        const FolderContents contents = ReadFolder(folder);
        ASSERT_FALSE(contents.paramIds.empty()) << "round " << round;
        for (size_t n = 0; n < contents.paramIds.size(); ++n)
            ASSERT_EQ(contents.paramIds[n], static_cast<int32_t>(n)) << "round " << round << ": every record before the last";
        EXPECT_LE(contents.damaged.size(), 1u) << "round " << round;
        const ProgramRun replay = RunProgram(Quoted(Bin() / "param_host.exe") + L" replay " + Quoted(folder) + L" --json",
                                             folder.parent_path() / "killed.out");
        EXPECT_EQ(replay.exitCode, 0u) << replay.output;
        EXPECT_NE(replay.output.find("\"calls\":" + std::to_string(contents.paramIds.size()) + ","), std::string::npos)
            << replay.output;
    }
}

TEST(CaptureLimits, OneMegabyteHoldsTheNewestOf100000Calls) {
    const fs::path folder = EmptyFolder("one-megabyte");
    const ProgramRun on = RunProgram(Quoted(Bin() / "capture_load.exe") + L" " + Quoted(folder) + L" 100000 1",
                                     folder.parent_path() / "one-megabyte.out");
    ASSERT_EQ(on.exitCode, 0u);
    uint64_t total = 0;
    for (const auto& entry : fs::directory_iterator(folder)) total += entry.file_size();
    EXPECT_LE(total, 1u << 20);
    const FolderContents contents = ReadFolder(folder);
    ASSERT_FALSE(contents.paramIds.empty());
    EXPECT_EQ(contents.paramIds.back(), 99999);
    for (size_t n = 1; n < contents.paramIds.size(); ++n)
        ASSERT_EQ(contents.paramIds[n], contents.paramIds[n - 1] + 1) << "the newest records, without a gap";
    EXPECT_TRUE(contents.damaged.empty());
    const ProgramRun off = RunProgram(Quoted(Bin() / "capture_load.exe") + L" - 100000",
                                      folder.parent_path() / "one-megabyte-off.out");
    EXPECT_EQ(on.output, off.output) << "the host held the same with capture on";
}

// Hosts capturing into one folder delete each other's ended files while
// they list it: none may take that for a folder without room.
TEST(CaptureLimits, HostsSharingAFolderKeepCapturing) {
    const fs::path folder = EmptyFolder("shared");
    std::vector<PROCESS_INFORMATION> hosts(4);
    for (PROCESS_INFORMATION& host : hosts) {
        std::wstring line = Quoted(Bin() / "capture_load.exe") + L" " + Quoted(folder) + L" 30000 1";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &host));
    }
    for (PROCESS_INFORMATION& host : hosts) {
        WaitForSingleObject(host.hProcess, INFINITE);
        DWORD exitCode = 1;
        GetExitCodeProcess(host.hProcess, &exitCode);
        EXPECT_EQ(exitCode, 0u);
        CloseHandle(host.hProcess);
        CloseHandle(host.hThread);
    }
    const std::string log = fs::exists(folder / "capture.log") ? FileBytes(folder / "capture.log") : std::string();
    EXPECT_EQ(log.find("switched off"), std::string::npos) << log;
    uint64_t total = 0;
    for (const auto& entry : fs::directory_iterator(folder)) total += entry.file_size();
    EXPECT_LE(total, 1u << 20);
}

}  // namespace
