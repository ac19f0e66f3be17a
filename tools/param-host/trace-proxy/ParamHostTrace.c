// ParamHostTrace: the library that `param_host --trace` hands the component
// in place of an extension library. Each entry point passes its arguments,
// exactly as the component gave them, to param_host (ConnectTrace), which
// calls the real extension, notes what it was given and what it did, and
// answers its result. Written in C: nothing of it stays behind when the
// component frees it.
#include "ParamExtension.h"

typedef int32_t(__stdcall* TraceForward)(void* context, int32_t entryPoint, const uint32_t* arguments);

// The order of the entry points in param_host (check/EntryPoints.h).
enum { ExplainEntry = 0, ObscureEntry = 1, EditEntry = 2 };

static TraceForward forward;
static void* forwardContext;

void __stdcall ConnectTrace(TraceForward to, void* context) {
    forward = to;
    forwardContext = context;
}

static int32_t Forward(int32_t entryPoint, const uint32_t* arguments) {
    return forward ? forward(forwardContext, entryPoint, arguments) : 1;
}

#define SLOT(value) ((uint32_t)(uintptr_t)(value))

int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    const uint32_t arguments[] = {SLOT(valueText),  (uint32_t)valueLength, SLOT(reserved),    (uint32_t)reservedLength,
                                  SLOT(fieldBytes), (uint32_t)fieldLength, (uint32_t)paramId, SLOT(explainCode),
                                  SLOT(valueOut),   SLOT(displayOut),      SLOT(param)};
    return Forward(ExplainEntry, arguments);
}

int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    const uint32_t arguments[] = {SLOT(valueText),     (uint32_t)valueLength, SLOT(reserved),
                                  (uint32_t)reservedLength, (uint32_t)paramId, SLOT(digitsOut),
                                  (uint32_t)obscureIntA, (uint32_t)obscureIntB, obscureByteA,
                                  obscureByteB,          SLOT(param)};
    return Forward(ObscureEntry, arguments);
}

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    const uint32_t arguments[] = {SLOT(param), SLOT(valueOut), SLOT(displayOut)};
    return Forward(EditEntry, arguments);
}
