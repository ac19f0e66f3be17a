#pragma once
// Loads and frees the library over and over, calling each entry point once
// per load with a typical field, and measures what every cycle leaves behind
// in this process: thread-local storage slots, handles, heap. A library that
// leaks is projected to the number of loads after which the host process
// fails, and the finding names the fix.

#include "check/BehaviourCheck.h"
#include "check/LentParams.h"

#include <string>
#include <vector>

// One entry point to call in every cycle, found in the library under `exportName`.
struct CycleCall {
    const EntryPointShape* shape;
    std::string exportName;
    TypicalCall typical;
};

UnloadReport CheckUnloads(const std::wstring& library, const std::vector<CycleCall>& calls, int cycles,
                          LentParams& params, std::vector<Finding>& findings);
