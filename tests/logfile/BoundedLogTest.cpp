// The bounded log through its C interface, on files of its own, with a clock
// the test sets.
#include "logfile/BoundedLog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

uint64_t Now;
uint64_t TestClock() { return Now; }

std::string ReadFile(const std::wstring& path) {
    std::ifstream file(std::string(path.begin(), path.end()), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

struct LogCloser {
    void operator()(BoundedLog* log) const { BoundedLogClose(log); }
};
using UniqueLog = std::unique_ptr<BoundedLog, LogCloser>;

UniqueLog FreshLog(const std::wstring& path, uint32_t maxBytes) {
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".1").c_str());
    UniqueLog log(BoundedLogOpen(path.c_str(), nullptr, maxBytes));
    Now = 1000000;
    BoundedLogSetClock(log.get(), TestClock);
    return log;
}

size_t Lines(const std::string& text) {
    size_t count = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++count;
    return count;
}

// Lines of many subjects: never more than the bound per file, one older
// file, and the newest line in the current one.
TEST(BoundedLog, TwoFilesOfAtMostTheBoundKeepTheNewestLines) {
    const std::wstring path = L"BoundedLogRotation.log";
    UniqueLog log = FreshLog(path, 4096);
    std::string line;
    for (int subject = 0; subject < 20000; ++subject) {
        line = "event of subject " + std::to_string(subject) + std::string(static_cast<size_t>(subject % 97), '.');
        ASSERT_EQ(1, BoundedLogWrite(log.get(), 1, subject, line.c_str()));
        if (subject % 64 == 63) Now += 60000;  // the tracked events age out
    }
    log.reset();
    const std::string current = ReadFile(path), older = ReadFile(path + L".1");
    EXPECT_LE(current.size(), 4096u);
    EXPECT_LE(older.size(), 4096u);
    EXPECT_GT(older.size(), 4096u - 200) << "a file is turned over only when the next line does not fit";
    EXPECT_EQ(line + "\r\n", current.substr(current.size() - line.size() - 2));
}

// 5,000 events of one kind about one parameter within a minute: the first
// line, and after the minute one line with the last of them and the count.
TEST(BoundedLog, RepeatedEventsWithinAMinuteAreCounted) {
    const std::wstring path = L"BoundedLogCollapse.log";
    UniqueLog log = FreshLog(path, 1 << 20);
    for (int event = 0; event < 5000; ++event) {
        BoundedLogWrite(log.get(), 7, 13, ("same failure, call " + std::to_string(event)).c_str());
        Now += 10;  // 50 s in all
    }
    BoundedLogWrite(log.get(), 8, 13, "another kind");
    BoundedLogWrite(log.get(), 7, 14, "another parameter");
    EXPECT_EQ("same failure, call 0\r\nanother kind\r\nanother parameter\r\n", ReadFile(path));
    Now += 10000;  // the minute of the first has passed
    BoundedLogFlush(log.get());
    EXPECT_EQ(4u, Lines(ReadFile(path)));
    EXPECT_NE(std::string::npos,
              ReadFile(path).find("same failure, call 4999  (... and 4,999 more like this in the last minute)\r\n"));
    BoundedLogWrite(log.get(), 7, 13, "same failure, a minute later");
    log.reset();
    EXPECT_EQ(5u, Lines(ReadFile(path))) << "a new minute begins with a line; closing adds no empty summary";
}

// A path that cannot be written: the fallback takes the lines.
TEST(BoundedLog, TheFallbackTakesTheLinesThePathRefuses) {
    const std::wstring fallback = L"BoundedLogFallback.log";
    DeleteFileW(fallback.c_str());
    UniqueLog log(BoundedLogOpen(L"no-such-folder\\x.log", fallback.c_str(), 4096));
    EXPECT_EQ(1, BoundedLogWrite(log.get(), 1, 0, "kept"));
    log.reset();
    EXPECT_EQ("kept\r\n", ReadFile(fallback));
}

// Another process holds the full file open without delete sharing, so it can
// be neither renamed nor deleted: nothing goes past the bound, and once it can
// be turned over again a line says how many were not written.
TEST(BoundedLog, AFileThatCannotBeTurnedOverGetsNothingPastTheBound) {
    const std::wstring path = L"BoundedLogHeld.log";
    UniqueLog log = FreshLog(path, 1024);
    HANDLE held = INVALID_HANDLE_VALUE;
    for (int subject = 0; subject < 2000; ++subject) {
        if (subject == 20) {
            held = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, held);
        }
        BoundedLogWrite(log.get(), 1, subject, ("event of subject " + std::to_string(subject)).c_str());
    }
    CloseHandle(held);
    EXPECT_LE(ReadFile(path).size(), 1024u);
    BoundedLogWrite(log.get(), 2, 0, "after the file was let go");
    log.reset();
    const std::string current = ReadFile(path);
    EXPECT_LE(current.size(), 1024u);
    EXPECT_NE(std::string::npos, current.find(" lines not written: the full log file could not be turned over)\r\n"
                                              "after the file was let go\r\n"))
        << current;
}

}  // namespace
