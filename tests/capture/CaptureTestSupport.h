#pragma once
// What the capture tests share: a capture folder of the test's own, switched
// on for this process through the environment (re-read on every call), the
// calls read back from it, and param_host run on it.

#include "util/CaptureReader.h"
#include "util/CapturedCall.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace capture_test {

namespace fs = std::filesystem;

inline fs::path EmptyFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / "capture-tests" / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Capture on into `folder` (empty: off) for this process, with the settings
// read again on every call.
inline void SwitchCapture(const std::wstring& folder, const wchar_t* maxMb = nullptr, const wchar_t* paramIds = nullptr) {
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_REREAD_MS", L"0");
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_FOLDER", folder.c_str());
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_MAXMB", maxMb);
    SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_PARAMIDS", paramIds);
}

inline std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A one-dimensional byte array of `bytes`, from index 0.
inline void FillBytes(VARIANT& frame, std::string_view bytes) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    for (LONG i = 0; i < static_cast<LONG>(bytes.size()); ++i) {
        BYTE byte = static_cast<BYTE>(bytes[static_cast<size_t>(i)]);
        SafeArrayPutElement(array, &i, &byte);
    }
    V_VT(&frame) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame) = array;
}

// The calls of this process in the folder, in order.
inline std::vector<CapturedCall> CapturedCalls(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".ovcap") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<CapturedCall> calls;
    for (const fs::path& file : files) {
        const std::string bytes = FileBytes(file);
        const auto contents = ParseCapture(bytes);
        if (!contents) continue;
        for (const CaptureRecord& record : contents->records) {
            auto decoded = DecodeCapturedCall(record);
            if (decoded.call && decoded.call->processId == GetCurrentProcessId()) calls.push_back(*decoded.call);
        }
    }
    return calls;
}

struct ProgramRun {
    DWORD exitCode;
    std::string output;  // standard output
};

// Runs a program of the build's bin folder with `arguments` and waits for it.
inline ProgramRun RunProgram(const std::wstring& commandLine, const fs::path& outputFile) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileW(outputFile.wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(output);
        return {~0u, {}};
    }
    CloseHandle(output);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return {exitCode, FileBytes(outputFile)};
}

}  // namespace capture_test
