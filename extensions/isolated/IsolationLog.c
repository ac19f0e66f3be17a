#include "IsolationLog.h"

#include "Isolation.h"
#include "logfile/BoundedLog.h"

#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"

#include <stdio.h>
#include <string.h>

enum { LoggedInputBytes = 64, LogLineCapacity = BoundedLogLineCapacity };

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

/* Appends `text` to the line, a control character in it (a tab from the .ini,
 * say) as \xHH: one event stays one readable line. */
static void AppendVisible(char* line, size_t capacity, const char* text) {
    size_t used = strlen(line);
    for (; *text && used + 5 < capacity; ++text) {
        const unsigned char byte = (unsigned char)*text;
        if (byte < 0x20 || byte == 0x7F)
            used += (size_t)snprintf(line + used, capacity - used, "\\x%02X", byte);
        else
            line[used++] = (char)byte;
    }
    line[used] = 0;
}

/* The kind of an event: its entry point and its words without their
 * numbers ("no answer within 300 ms" is one kind whatever the limit). */
static uint32_t EventKind(const char* entry, const char* happened) {
    uint32_t hash = 2166136261u;
    for (const char* text = entry; *text; ++text) hash = (hash ^ (unsigned char)*text) * 16777619u;
    for (const char* text = happened; *text; ++text)
        if (*text < '0' || *text > '9') hash = (hash ^ (unsigned char)*text) * 16777619u;
    return hash;
}

void LogEvent(Isolation* isolation, const LoggedCall* call, const char* happened, const char* done) {
    if (!isolation->log) return;
    const IsolationConfig* config = &isolation->config;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char library[3 * 260];
    if (!WideCharToMultiByte(CP_UTF8, 0, config->libraryName, -1, library, sizeof library, NULL, NULL))
        strcpy(library, "?");
    LONG paramId = call->paramId;
    if (call->editParam) IParam_GetParamId(call->editParam, &paramId);
    char line[LogLineCapacity];
    snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u.%03u  ", now.wYear, now.wMonth, now.wDay, now.wHour,
             now.wMinute, now.wSecond, now.wMilliseconds);
    AppendVisible(line, sizeof line, library);
    size_t used = strlen(line);
    snprintf(line + used, sizeof line - used, "  %s  param %ld  ", call->entry, (long)paramId);
    AppendInputHex(line, sizeof line - 4, call);
    used = strlen(line);
    snprintf(line + used, sizeof line - used, "  ");
    AppendVisible(line, sizeof line, happened);
    used = strlen(line);
    snprintf(line + used, sizeof line - used, " -> %s", done);
    BoundedLogWrite(isolation->log, EventKind(call->entry, happened), paramId, line);
}
