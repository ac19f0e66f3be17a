#pragma once
// A replay's report as text or as one JSON object.

#include "capture/CaptureSources.h"
#include "capture/ReplayRun.h"

#include <nlohmann/json.hpp>

#include <string>

std::string ReplayText(const ReplayReport& report, const CaptureSet& captures);
std::string ReplayJson(const ReplayReport& report, const CaptureSet& captures);

// The notes on skipped records and files, one line each.
std::string CaptureNotes(const CaptureSet& captures);

// The skipped records as a JSON array of {"file", "offset", "reason"}.
nlohmann::ordered_json DamagedJson(const CaptureSet& captures);
