#pragma once
// --trace of the extension calls themselves. The component is handed
// ParamHostTrace.dll (from this program's folder) in place of each extension
// library that exports its entry point; that library passes every call back
// here, where the real entry point is called with the component's inputs,
// measured (check/ProbedCall.h), with out-buffers of this program's own
// (check/LentBuffers.h), whose content is then copied into the component's
// buffers as its zeroed buffers would have held it. The component sees the
// same result, except that a fault inside the extension reaches it as a
// declined call, which it treats the same way.

#include "common/CommandLineParam.h"
#include "common/HostRequest.h"
#include "run/ExtensionCallTrace.h"

#include "util/UniqueModule.h"

#include <array>
#include <vector>

class ExtensionTracer {
public:
    ExtensionTracer() = default;
    ExtensionTracer(const ExtensionTracer&) = delete;
    ExtensionTracer& operator=(const ExtensionTracer&) = delete;

    // The paths to put into the component: ParamHostTrace.dll for every
    // library that loads and exports its entry point, the others unchanged.
    LibraryPaths Route(const LibraryPaths& paths);

    // The parameter object of the operation, whose calls the extension calls
    // are placed among.
    void Watch(const CommandLineParam& param) { FParam = &param; }

    const std::vector<ExtensionCallTrace>& Calls() const { return FCalls; }

private:
    static int32_t __stdcall Forward(void* tracer, int32_t entryPoint, const uint32_t* arguments) noexcept;
    int32_t Call(EntryPoint entryPoint, const uint32_t* arguments);
    bool ConnectProxy();

    UniqueModule FProxy;
    std::wstring FProxyPath;
    std::array<UniqueModule, 3> FLibraries;
    std::array<FARPROC, 3> FEntries{};
    std::array<std::wstring, 3> FIsolated;  // the real library behind an isolated copy, per entry point
    const CommandLineParam* FParam = nullptr;
    std::vector<ExtensionCallTrace> FCalls;
};
