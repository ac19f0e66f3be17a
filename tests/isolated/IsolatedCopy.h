#pragma once
// A renamed copy of IsolatedExtension.dll with its own .ini, as an integrator
// sets one up per isolated extension, in the test programs' folder.
#include <windows.h>

#include <cstdint>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>

struct IsolationSettings {
    std::string library;
    int timeoutMs = 2000;
    int editTimeoutMs = 2000;
    int restarts = 1000;
    int memoryMb = 512;
    int logKb = 1024;
    std::string firstLine = "";  // a "key = value" line before the others, which it overrides
};

// Writes <name>.dll and <name>.ini; the log <name>.log starts empty. Answers
// the library's file name.
inline std::wstring MakeIsolatedCopy(const std::string& name, const IsolationSettings& settings) {
    const std::wstring wide(name.begin(), name.end());
    if (!CopyFileW(L"IsolatedExtension.dll", (wide + L".dll").c_str(), FALSE))
        throw std::runtime_error("IsolatedExtension.dll could not be copied");
    std::ofstream ini(name + ".ini", std::ios::binary | std::ios::trunc);
    ini << "[extension]\r\n" << settings.firstLine << "\r\nlibrary = " << settings.library << "   ; the real one\r\ntimeout_ms = "
        << settings.timeoutMs << "\r\nedit_timeout_ms = " << settings.editTimeoutMs
        << "\r\nrestarts = " << settings.restarts << "\r\nmemory_mb = " << settings.memoryMb << "\r\nlog_kb = " << settings.logKb
        << "\r\nlog = " << name << ".log\r\n";
    DeleteFileW((wide + L".log").c_str());
    DeleteFileW((wide + L".log.1").c_str());
    return wide + L".dll";
}

inline std::string ReadIsolationLog(const std::string& name) {
    std::ifstream log(name + ".log", std::ios::binary);
    std::stringstream text;
    text << log.rdbuf();
    return text.str();
}

// How often `part` occurs in `text`.
inline size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The events a log accounts for among its lines that hold `phrase` (every
// line when empty): one per line, and for a line that sums up the ones
// counted within a minute, their number (the line shows the last of them).
inline uint64_t LoggedEvents(const std::string& log, const std::string& phrase = "") {
    static const std::regex more(R"(\.\.\. and ([0-9,]+) more like this in the last minute)");
    uint64_t events = 0;
    size_t start = 0;
    for (size_t end = log.find("\r\n"); end != std::string::npos; start = end + 2, end = log.find("\r\n", start)) {
        const std::string line = log.substr(start, end - start);
        if (line.find(phrase) == std::string::npos) continue;
        std::smatch counted;
        if (!std::regex_search(line, counted, more)) {
            ++events;
            continue;
        }
        std::string digits = counted[1];
        std::erase(digits, ',');
        events += std::stoull(digits);
    }
    return events;
}
