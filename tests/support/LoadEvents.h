#pragma once
// Reads the load and unload events that the test extensions record.

#include <windows.h>

#include <string>

// The events since the last call, e.g. "+ExtSucceed -ExtSucceed ", and clears them.
inline std::string TakeLoadEvents() {
    char events[4096] = {};
    GetEnvironmentVariableA("OVIX_TEST_LOAD_EVENTS", events, sizeof events);
    SetEnvironmentVariableA("OVIX_TEST_LOAD_EVENTS", "");
    return events;
}

inline bool IsLoaded(const char* module) { return GetModuleHandleA(module) != nullptr; }
