#pragma once
// capture-show: the recorded calls as a table or as JSON, in time order.

#include "capture/CaptureSources.h"
#include "util/ParamIdList.h"

#include <string>

std::string CaptureShowText(const CaptureSet& captures, const ParamIdList& paramIds);
std::string CaptureShowJson(const CaptureSet& captures, const ParamIdList& paramIds);
