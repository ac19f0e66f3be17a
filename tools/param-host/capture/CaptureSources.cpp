#include "capture/CaptureSources.h"

#include "common/HostFailure.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The writer's files are at most a few megabytes; a far larger file is no
// capture and is not read into memory.
constexpr uintmax_t MaxCaptureFileBytes = 64u << 20;

// Adds the calls of one file; false when it is no capture.
bool AddFile(const fs::path& file, CaptureSet& set) {
    std::error_code error;
    if (fs::file_size(file, error) > MaxCaptureFileBytes || error) return false;
    const std::string bytes = FileBytes(file);
    const auto contents = ParseCapture(bytes);
    if (!contents) return false;
    const std::wstring name = file.wstring();
    for (const CaptureDamage& damage : contents->damaged) set.damaged.push_back({name, damage.offset, damage.reason});
    for (const CaptureRecord& record : contents->records) {
        DecodedCall decoded = DecodeCapturedCall(record);
        if (decoded.call) {
            set.calls.push_back({name, std::move(*decoded.call)});
        } else {
            set.damaged.push_back({name, record.offset, decoded.problem});
        }
    }
    return true;
}

std::vector<fs::path> FolderCaptures(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == L".ovcap") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Skips a named path that cannot be read, with a note; returns its problem.
std::wstring SkipNamed(CaptureSet& set, const std::wstring& path, const wchar_t* problem) {
    std::wstring text = path + L": " + problem;
    set.notes.push_back(text + L", skipped");
    return text;
}

}  // namespace

CaptureSet ReadCaptureSources(const std::vector<std::wstring>& paths) {
    if (paths.empty()) throw BadInput(L"no capture given: name a capture file or a capture folder");
    CaptureSet set;
    bool readSome = false;
    std::wstring problems;  // of the named paths that could not be read
    for (const std::wstring& path : paths) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            for (const fs::path& file : FolderCaptures(path)) {
                if (AddFile(file, set)) {
                    readSome = true;
                } else {
                    set.notes.push_back(file.wstring() + L": not a capture file, skipped");
                }
            }
            continue;
        }
        std::wstring problem;
        if (!fs::is_regular_file(path, error)) {
            problem = SkipNamed(set, path, L"no such file or folder");
        } else if (!AddFile(path, set)) {
            problem = SkipNamed(set, path, L"not a capture file (it does not start with a capture file record)");
        } else {
            readSome = true;
        }
        if (!problem.empty()) problems += (problems.empty() ? L"" : L"; ") + problem;
    }
    if (!readSome) throw BadInput(problems.empty() ? L"no capture file found in " + paths.front() : problems);
    std::stable_sort(set.calls.begin(), set.calls.end(),
                     [](const SourcedCall& a, const SourcedCall& b) { return a.call.time < b.call.time; });
    return set;
}
