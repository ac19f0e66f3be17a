#pragma once
// Where and what to capture: the user's registry key
// HKCU\Software\OvixParamTransactor\Capture (Folder REG_SZ, MaxMB REG_DWORD,
// ParamIds REG_SZ), or, for one process alone, the environment variables
// below, which take precedence over the key when the folder one is set
// (set and empty: capture is off for the process).

#include "util/ParamIdList.h"

#include <cstdint>
#include <string>

constexpr wchar_t CaptureKeyPath[] = L"Software\\OvixParamTransactor\\Capture";
constexpr wchar_t CaptureFolderVariable[] = L"OVIX_PARAM_CAPTURE_FOLDER";
constexpr wchar_t CaptureMaxMbVariable[] = L"OVIX_PARAM_CAPTURE_MAXMB";
constexpr wchar_t CaptureParamIdsVariable[] = L"OVIX_PARAM_CAPTURE_PARAMIDS";
// How often the settings are read again, in milliseconds (default a minute),
// from the environment alone: for tests that switch capture while running.
constexpr wchar_t CaptureRereadVariable[] = L"OVIX_PARAM_CAPTURE_REREAD_MS";
constexpr uint32_t CaptureDefaultRereadMs = 60 * 1000;
constexpr uint32_t CaptureDefaultMaxMb = 64;

struct CaptureSettings {
    std::wstring folder;  // empty: capture is off
    uint32_t maxMb = CaptureDefaultMaxMb;
    std::wstring paramIdsText;
    ParamIdList paramIds;
    uint32_t rereadMs = CaptureDefaultRereadMs;
    std::string problem;  // a setting that was not understood (capture stays off)

    bool operator==(const CaptureSettings& other) const {
        return folder == other.folder && maxMb == other.maxMb && paramIdsText == other.paramIdsText;
    }
};

CaptureSettings ReadCaptureSettings();
