#include "run/ExtensionTrace.h"

#include "common/IsolatedLibrary.h"

#include "common/ProgramFolder.h"

#include "check/ObservedCall.h"

#include "util/Trim.h"

#include <string_view>

namespace {

constexpr wchar_t ProxyFileName[] = L"ParamHostTrace.dll";

using ConnectTraceProc = void(__stdcall*)(int32_t(__stdcall*)(void*, int32_t, const uint32_t*), void*);

std::optional<std::wstring>& PathOf(LibraryPaths& paths, EntryPoint entryPoint) {
    switch (entryPoint) {
        case EntryPoint::Explain: return paths.explain;
        case EntryPoint::Obscure: return paths.obscure;
        case EntryPoint::Edit: break;
    }
    return paths.edit;
}

std::string_view InputBytes(const InputArgument& input, const uint32_t* arguments) {
    const auto length = static_cast<int32_t>(arguments[input.length]);
    const char* bytes = SlotPointer<const char>(arguments[input.pointer]);
    return bytes && length > 0 ? std::string_view(bytes, static_cast<size_t>(length)) : std::string_view();
}

}  // namespace

bool ExtensionTracer::ConnectProxy() {
    if (FProxy) return true;
    FProxyPath = FileBesideProgram(ProxyFileName);
    FProxy.Reset(LoadLibraryW(FProxyPath.c_str()));
    const auto connect = reinterpret_cast<ConnectTraceProc>(
        reinterpret_cast<void*>(FProxy ? GetProcAddress(FProxy.Get(), "ConnectTrace") : nullptr));
    if (!connect) {
        FProxy.Reset();
        return false;
    }
    connect(&ExtensionTracer::Forward, this);
    return true;
}

LibraryPaths ExtensionTracer::Route(const LibraryPaths& paths) {
    LibraryPaths routed = paths;
    for (const EntryPointShape& shape : EntryPointShapes()) {
        std::optional<std::wstring>& path = PathOf(routed, shape.entryPoint);
        if (!path || TrimControl<wchar_t>(*path).empty()) continue;
        const auto index = static_cast<size_t>(shape.entryPoint);
        FLibraries[index].Reset(LoadLibraryW(std::wstring(TrimControl<wchar_t>(*path)).c_str()));
        FEntries[index] = FLibraries[index] ? GetProcAddress(FLibraries[index].Get(), shape.name) : nullptr;
        FIsolated[index] = IsolatedRealLibrary(std::wstring(TrimControl<wchar_t>(*path))).value_or(L"");
        if (FEntries[index] && ConnectProxy()) path = FProxyPath;
    }
    return routed;
}

int32_t __stdcall ExtensionTracer::Forward(void* tracer, int32_t entryPoint, const uint32_t* arguments) noexcept {
    try {
        return static_cast<ExtensionTracer*>(tracer)->Call(static_cast<EntryPoint>(entryPoint), arguments);
    } catch (...) {
        return 1;  // nothing may unwind into the component's call
    }
}

int32_t ExtensionTracer::Call(EntryPoint entryPoint, const uint32_t* arguments) {
    const EntryPointShape& shape = ShapeOf(entryPoint);
    ExtensionCallTrace& trace = FCalls.emplace_back();
    trace.entryPoint = entryPoint;
    trace.position = FParam ? FParam->CallCount() : 0;
    trace.isolatedLibrary = FIsolated[static_cast<size_t>(entryPoint)];
    for (int i = 0; i < shape.inputCount; ++i) {
        const InputArgument& input = shape.inputs[static_cast<size_t>(i)];
        trace.inputs.push_back({input.name, std::string(InputBytes(input, arguments))});
    }
    if (shape.paramIdIndex >= 0) trace.paramId = static_cast<int32_t>(arguments[shape.paramIdIndex]);

    const std::vector<uint32_t> given(arguments, arguments + shape.argumentCount);
    const ObservedCall call = CallObserved(FEntries[static_cast<size_t>(entryPoint)], shape, given);
    trace.probe = call.probe;
    if (!call.probe.completed) return 1;
    for (size_t i = 0; i < call.lent.size(); ++i) {
        call.lent[i].CopyAsZeroed(SlotPointer<char>(given[static_cast<size_t>(shape.outputs[i].pointer)]));
        trace.outputs.push_back({shape.outputs[i].name, call.outputs[i]});
    }
    if (shape.codeIndex >= 0)
        trace.explainCode = *SlotPointer<const uint16_t>(given[static_cast<size_t>(shape.codeIndex)]);
    return call.probe.result;
}
