// Subject of `param_host check`: a C++ extension built with MinGW whose
// ExplainParam lets an exception escape for parameter id 1. No handler of
// its own runtime is found, so the runtime ends the process (std::terminate,
// abort).
#include "ParamExtension.h"

#include <cstring>
#include <stdexcept>

extern "C" __declspec(dllexport) int32_t __stdcall ExplainParam(const char*, int32_t, const char*, int32_t,
                                                                  const char*, int32_t, int32_t paramId, uint16_t*,
                                                                  char* valueOut, char* displayOut, IParam*) {
    if (paramId == 1) throw std::runtime_error("parameter 1 is not configured");
    std::strcpy(valueOut, "1");
    std::strcpy(displayOut, "one");
    return 0;
}
