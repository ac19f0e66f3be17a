// The capture file's writer and reader as a pair: records read back as
// written, a record cut or changed anywhere is named and skipped with every
// other one kept, and the folder stays within its limit with the newest
// records in it.
#include "capture/CaptureFileWriter.h"
#include "capture/CaptureTestSupport.h"
#include "util/CaptureReader.h"
#include "util/CaptureRecordBuilder.h"
#include "util/CapturedCall.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using capture_test::EmptyFolder;
using capture_test::FileBytes;
namespace fs = std::filesystem;

// A record numbered `number` with a text of a length chosen by `random`.
std::string NumberedRecord(uint32_t number, std::mt19937& random) {
    CaptureRecordBuilder record(CaptureCallKind);
    record.AddU32(CaptureTag::Operation, 1 + number % 3);
    record.AddI32(CaptureTag::ParamId, static_cast<int32_t>(number));
    record.AddText(CaptureTag::LibraryPath, std::wstring(random() % 40, L'\x4E2D'));
    return std::string(record.Finish());
}

std::vector<fs::path> CaptureFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".ovcap") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<int32_t> ParamIds(const CaptureContents& contents) {
    std::vector<int32_t> ids;
    for (const CaptureRecord& record : contents.records) ids.push_back(*DecodeCapturedCall(record).call->paramId);
    return ids;
}

std::vector<int32_t> Numbers(int32_t from, int32_t to) {
    std::vector<int32_t> numbers;
    for (int32_t n = from; n < to; ++n) numbers.push_back(n);
    return numbers;
}

// One file of `count` records, written and closed.
std::string WrittenFile(const char* name, uint32_t count, std::vector<size_t>* ends = nullptr) {
    const fs::path folder = EmptyFolder(std::string("file-") + name);
    std::mt19937 random(count);
    {
        CaptureFileWriter writer(folder.wstring(), 64 << 20);
        for (uint32_t n = 0; n < count; ++n) EXPECT_TRUE(writer.Append(NumberedRecord(n, random))) << writer.Problem();
    }
    const std::string bytes = FileBytes(CaptureFiles(folder).at(0));
    if (ends) {
        size_t offset = 0;
        while (offset < bytes.size()) {
            uint32_t length;
            std::memcpy(&length, bytes.data() + offset, 4);
            offset += length;
            ends->push_back(offset);
        }
    }
    return bytes;
}

TEST(CaptureFile, RecordsReadBackAsWrittenAndACutLastRecordIsNamed) {
    std::vector<size_t> ends;  // where each record ends, the file record first
    const std::string bytes = WrittenFile("cut", 50, &ends);
    ASSERT_EQ(ends.size(), 51u);
    EXPECT_EQ(ends.back(), bytes.size()) << "a closed file is cut to its records";
    const auto whole = ParseCapture(bytes);
    ASSERT_TRUE(whole);
    EXPECT_EQ(ParamIds(*whole), Numbers(0, 50));
    EXPECT_TRUE(whole->damaged.empty());

    // A process ended while writing the last record: the file is cut at
    // every byte of it and the rest left as zeros, as the mapping leaves it.
    for (size_t cut = ends[49] + 1; cut < ends[50]; ++cut) {
        std::string partial = bytes.substr(0, cut) + std::string(bytes.size() - cut + 64, '\0');
        const auto contents = ParseCapture(partial);
        ASSERT_TRUE(contents);
        // Bytes not written that were zeros anyway lose nothing; a record
        // none of whose written bytes is nonzero cannot be told from none.
        const size_t length = ends[50] - ends[49];
        const bool whole = partial.substr(ends[49], length) == bytes.substr(ends[49], length);
        const bool written = partial.substr(ends[49], cut - ends[49]).find_first_not_of('\0') != std::string::npos;
        EXPECT_EQ(ParamIds(*contents), Numbers(0, whole ? 50 : 49)) << "cut at " << cut;
        ASSERT_EQ(contents->damaged.size(), written && !whole ? 1u : 0u) << "cut at " << cut;
        if (written && !whole) {
            EXPECT_EQ(contents->damaged[0].offset, ends[49]);
        }
    }
}

TEST(CaptureFile, AChangedByteCostsItsRecordAlone) {
    std::vector<size_t> ends;
    const std::string bytes = WrittenFile("changed", 20, &ends);
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        const size_t at = ends[0] + random() % (bytes.size() - ends[0]);
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ (1 + random() % 255));
        const size_t victim = std::upper_bound(ends.begin(), ends.end(), at) - ends.begin() - 1;  // 0: the first call
        const auto contents = ParseCapture(changed);
        ASSERT_TRUE(contents);
        std::vector<int32_t> expected = Numbers(0, 20);
        expected.erase(expected.begin() + static_cast<ptrdiff_t>(victim));
        EXPECT_EQ(ParamIds(*contents), expected) << "byte " << at;
        ASSERT_EQ(contents->damaged.size(), 1u) << "byte " << at;
        EXPECT_EQ(contents->damaged[0].offset, ends[victim]);
    }
}

TEST(CaptureFile, BytesWithoutAFileRecordAreNoCapture) {
    EXPECT_FALSE(ParseCapture(""));
    EXPECT_FALSE(ParseCapture(std::string(4096, '\0')));
    EXPECT_FALSE(ParseCapture("MZ this is a program, not a capture file"));
    std::mt19937 random(1);
    EXPECT_FALSE(ParseCapture(NumberedRecord(1, random))) << "a call record alone";
}

// The limit holds the log's two files too (the current one and the one
// before), at the largest the log lets them grow.
TEST(CaptureFile, TheFolderStaysWithinItsLimitWithTheNewestRecords) {
    const fs::path folder = EmptyFolder("file-rotation");
    for (const char* log : {"capture.log", "capture.log.1"})
        std::ofstream(folder / log, std::ios::binary) << std::string(64 << 10, 'x');
    constexpr uint64_t limit = 256 << 10;
    std::mt19937 random(3);
    constexpr uint32_t count = 20000;
    {
        CaptureFileWriter writer(folder.wstring(), limit);
        for (uint32_t n = 0; n < count; ++n) {
            ASSERT_TRUE(writer.Append(NumberedRecord(n, random))) << writer.Problem();
            uint64_t total = 0;
            if (n % 997 == 0) {
                for (const auto& entry : fs::directory_iterator(folder)) total += entry.file_size();
                ASSERT_LE(total, limit);
            }
        }
    }
    std::vector<int32_t> kept;
    for (const fs::path& file : CaptureFiles(folder)) {
        const std::string bytes = FileBytes(file);
        const auto contents = ParseCapture(bytes);
        ASSERT_TRUE(contents);
        for (int32_t id : ParamIds(*contents)) kept.push_back(id);
    }
    std::sort(kept.begin(), kept.end());
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(kept.back(), static_cast<int32_t>(count - 1));
    EXPECT_EQ(kept, Numbers(kept.front(), static_cast<int32_t>(count))) << "the newest records, without a gap";
}

TEST(CaptureFile, AFolderThatCannotBeWrittenFailsTheAppendWithAReason) {
    CaptureFileWriter writer(L"Z:\\no\\such\\folder", 1 << 20);
    std::mt19937 random(5);
    EXPECT_FALSE(writer.Append(NumberedRecord(1, random)));
    EXPECT_NE(writer.Problem().find("creating the capture file"), std::string::npos) << writer.Problem();
    EXPECT_FALSE(writer.Append(NumberedRecord(2, random))) << "nothing more after a failure";
}

// A sound file record, then `words` copies of `pattern`, then one sound call record.
std::string HostileFile(std::initializer_list<uint32_t> pattern, size_t words) {
    CaptureRecordBuilder header(CaptureFileKind);
    header.AddU32(CaptureTag::FormatVersion, CaptureFormatVersion);
    std::string bytes(header.Finish());
    for (size_t n = 0; n < words; ++n) {
        const uint32_t word = pattern.begin()[n % pattern.size()];
        bytes.append(reinterpret_cast<const char*>(&word), 4);
    }
    std::mt19937 random(7);
    return bytes + NumberedRecord(7, random);
}

TEST(CaptureFile, ReadingADamagedFileCostsInProportionToItsSize) {
    constexpr size_t words = 1 << 20;  // 4 MiB
    // Every word the length of a largest record: no record has that kind,
    // so no checksum is worked out and the sound record after them is found.
    const std::string lengths = HostileFile({CaptureMaxRecord}, words);
    const auto cheap = ParseCapture(lengths);
    ASSERT_TRUE(cheap);
    EXPECT_LT(cheap->checksummedBytes, 4096u);
    EXPECT_EQ(ParamIds(*cheap), std::vector<int32_t>{7});
    // A length and a call's kind in turn, the length 4 more than a multiple
    // of 8, so that its closing copy is in place: a record start at every
    // other offset whose checksum alone fails.
    const std::string lookalikes = HostileFile({CaptureMaxRecord - 4, CaptureCallKind}, words);
    const auto bounded = ParseCapture(lookalikes);
    ASSERT_TRUE(bounded);
    EXPECT_LE(bounded->checksummedBytes, 3 * lookalikes.size() + 2 * CaptureMaxRecord);
    ASSERT_FALSE(bounded->damaged.empty());
    EXPECT_EQ(bounded->damaged.back().reason, "too much damage: the rest of the file is skipped");
}

// A record that needs a file larger than the folder's limit is dropped
// before anything is deleted to make room for it; capture goes on.
TEST(CaptureFile, ARecordLargerThanTheLimitIsDroppedWithNothingDeleted) {
    const fs::path folder = EmptyFolder("file-too-large");
    const fs::path ended = folder / "capture-1-20260101T000000-0001.ovcap";  // of a process long gone
    std::ofstream(ended, std::ios::binary) << std::string(100 << 10, 'x');
    CaptureRecordBuilder large(CaptureCallKind);
    large.AddI32(CaptureTag::ParamId, 5);
    large.AddText(CaptureTag::LibraryPath, std::wstring(200 << 10, L'x'));
    std::mt19937 random(11);
    {
        CaptureFileWriter writer(folder.wstring(), 256 << 10);
        EXPECT_TRUE(writer.Append(large.Finish())) << writer.Problem();
        EXPECT_TRUE(fs::exists(ended)) << "nothing deleted for a record that can never fit";
        EXPECT_TRUE(writer.Append(NumberedRecord(6, random))) << writer.Problem();
    }
    const std::string log = FileBytes(folder / "capture.log");
    EXPECT_NE(log.find("capture record dropped: a record of 409640 bytes needs a file larger than the 262144 bytes"),
              std::string::npos)
        << log;
    std::vector<int32_t> kept;
    for (const fs::path& file : CaptureFiles(folder)) {
        const std::string bytes = FileBytes(file);
        if (const auto contents = ParseCapture(bytes)) kept = ParamIds(*contents);
    }
    EXPECT_EQ(kept, std::vector<int32_t>{6});
}

// A damaged record whose lengths agree is skipped whole: a text in it that
// holds a sound record is not read as a call. Damaged so by a changed byte,
// or by being larger than a reader believes.
TEST(CaptureFile, ARecordInsideADamagedOneIsNotRead) {
    std::mt19937 random(13);
    const std::string inner = NumberedRecord(99, random);
    for (const size_t textBytes : {size_t{1000}, CaptureMaxRecord}) {
        std::wstring text(textBytes / 2, L'x');
        std::memcpy(text.data(), inner.data(), inner.size());
        CaptureRecordBuilder outer(CaptureCallKind);
        outer.AddText(CaptureTag::LibraryPath, text);
        std::string damaged(outer.Finish());
        if (damaged.size() <= CaptureMaxRecord) damaged[damaged.size() - 24] ^= 1;  // in the text, after the inner record
        CaptureRecordBuilder header(CaptureFileKind);
        header.AddU32(CaptureTag::FormatVersion, CaptureFormatVersion);
        const std::string bytes = std::string(header.Finish()) + NumberedRecord(1, random) + damaged + NumberedRecord(2, random);
        const auto contents = ParseCapture(bytes);
        ASSERT_TRUE(contents);
        EXPECT_EQ(ParamIds(*contents), (std::vector<int32_t>{1, 2})) << textBytes;
        EXPECT_EQ(contents->damaged.size(), 1u) << textBytes;
    }
}

// A file of the current process that the folder's limit cannot remove while
// it is open: the folder has no room until it closes.
TEST(CaptureFile, AFolderWithoutRoomPausesCaptureUntilThereIsRoom) {
    const fs::path folder = EmptyFolder("file-no-room");
    const std::wstring live = (folder / ("capture-" + std::to_string(GetCurrentProcessId()) + "-x-0001.ovcap")).wstring();
    HANDLE held = CreateFileW(live.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 1 << 20;
    SetFilePointerEx(held, size, nullptr, FILE_BEGIN);
    SetEndOfFile(held);
    std::mt19937 random(9);
    {
        CaptureFileWriter writer(folder.wstring(), 1 << 20);
        EXPECT_TRUE(writer.Append(NumberedRecord(1, random))) << writer.Problem();
        EXPECT_TRUE(writer.Append(NumberedRecord(2, random))) << "dropped, not failed: " << writer.Problem();
        EXPECT_EQ(CaptureFiles(folder).size(), 1u) << "nothing written while there is no room";
        const std::string log = FileBytes(folder / "capture.log");
        EXPECT_NE(log.find("capture paused: no room within MaxMB"), std::string::npos) << log;
        EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << "one line for the shortage: " << log;
        CloseHandle(held);
        Sleep(CaptureFileWriter::RoomRetryMs + 100);  // room is looked for again after this
        EXPECT_TRUE(writer.Append(NumberedRecord(3, random))) << writer.Problem();
    }
    const std::vector<fs::path> files = CaptureFiles(folder);
    ASSERT_EQ(files.size(), 1u) << "the closed file made room for a new one";
    const std::string bytes = FileBytes(files[0]);
    const auto contents = ParseCapture(bytes);
    ASSERT_TRUE(contents);
    EXPECT_EQ(ParamIds(*contents), std::vector<int32_t>{3});
}

}  // namespace
