#include "IsolationLog.h"

#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"

#include <stdio.h>
#include <string.h>

enum { LoggedInputBytes = 64, LogLineCapacity = 2048 };

/* At most the first 64 bytes, then how many there were. */
static void AppendInputHex(char* line, size_t capacity, const LoggedCall* call) {
    size_t used = strlen(line);
    if (!call->input) {
        snprintf(line + used, capacity - used, "input -");
        return;
    }
    used += (size_t)snprintf(line + used, capacity - used, "input");
    const int32_t shown = call->inputLength < LoggedInputBytes ? call->inputLength : LoggedInputBytes;
    for (int32_t i = 0; i < shown && used < capacity; ++i)
        used += (size_t)snprintf(line + used, capacity - used, " %02X", (unsigned char)call->input[i]);
    if (call->inputLength == 0 && used < capacity) used += (size_t)snprintf(line + used, capacity - used, " (empty)");
    if (call->inputLength > shown && used < capacity)
        snprintf(line + used, capacity - used, " ... (%ld bytes)", (long)call->inputLength);
}

static int WriteLine(const wchar_t* path, const char* line) {
    if (!path[0]) return 0;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    WriteFile(file, line, (DWORD)strlen(line), &written, NULL);
    CloseHandle(file);
    return 1;
}

void LogEvent(const IsolationConfig* config, const LoggedCall* call, const char* happened, const char* done) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char library[3 * 260];
    if (!WideCharToMultiByte(CP_UTF8, 0, config->libraryName, -1, library, sizeof library, NULL, NULL))
        strcpy(library, "?");
    LONG paramId = call->paramId;
    if (call->editParam) IParam_GetParamId(call->editParam, &paramId);
    char line[LogLineCapacity];
    snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u.%03u  %s  %s  param %ld  ", now.wYear, now.wMonth,
             now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, library, call->entry,
             (long)paramId);
    AppendInputHex(line, sizeof line - 4, call);
    const size_t used = strlen(line);
    snprintf(line + used, sizeof line - used, "  %s -> %s\r\n", happened, done);
    if (!WriteLine(config->logPath, line)) WriteLine(config->fallbackLogPath, line);
}
