#pragma once
// Capture on against capture off for the same Explain case. The switch is
// the process's: each call sets the cached flag its side needs (both sides
// pay the same store), and the capture writes into a folder of its own in
// the temporary folder, removed afterwards.

#include "RatioMeter.h"

// The built-in Explain of a 4-character hex field, capture on minus off.
PairTiming TimeCaptureOnAgainstOff(const RatioSettings& settings);
