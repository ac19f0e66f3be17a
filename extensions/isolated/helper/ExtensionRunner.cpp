#include "ExtensionRunner.h"

#include "OwnedDialogs.h"
#include "ParamProxy.h"
#include "outofprocess/WatchedLoad.h"

#include <cstring>
#include <utility>

namespace {

template <typename Proc>
Proc EntryPoint(HMODULE library, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

void ExtensionRunner::Run() {
    IsolationChannel& shared = FChannel.Shared();
    if (shared.request == RequestStart) {
        Load();
        return;
    }
    IParam* param = ParamProxy::LendFor(FChannel, ++FCalls == 0 ? ++FCalls : FCalls);
    switch (shared.request) {
    case RequestExplain: Explain(param); break;
    case RequestObscure: Obscure(param); break;
    case RequestEdit: Edit(param); break;
    default: shared.outcome = OutcomeNoEntryPoint;
    }
    ParamProxy::EndCall();
}

void ExtensionRunner::Load() {
    IsolationChannel& shared = FChannel.Shared();
    InterlockedExchange(&shared.loadBegun, 1);
    FWatch.LoadBegins(shared.loadTimeoutMs);
    LibraryLoad load = LoadLibraryWatched(shared.library, [this](HMODULE) { FWatch.LoadEnded(); });
    FLibrary = std::move(load.module);
    shared.lastError = load.error;
    shared.loadException = FLibrary ? 0 : load.raised;
    shared.outcome = FLibrary && FBuffers.Ready() ? OutcomeDone : OutcomeNotLoaded;
    if (!FLibrary) return;
    FExplain = EntryPoint<ExplainParamProc>(FLibrary.Get(), "ExplainParam");
    FObscure = EntryPoint<ObscureParamProc>(FLibrary.Get(), "ObscureParam");
    FEdit = EntryPoint<EditParamProc>(FLibrary.Get(), "EditParam");
    shared.entryMask = (FExplain ? HasExplain : 0) | (FObscure ? HasObscure : 0) | (FEdit ? HasEdit : 0);
}

void ExtensionRunner::Finish(int32_t result, int texts) {
    IsolationChannel& shared = FChannel.Shared();
    shared.result = result;
    shared.outcome = OutcomeDone;
    if (result != 0) return;
    for (int index = 0; index < texts; ++index) {
        if (!FBuffers.Terminated(index)) {
            shared.outcome = OutcomeUnterminated;
            return;
        }
        const char* text = FBuffers.Buffer(index);
        std::memcpy(shared.out[index], text, std::strlen(text) + 1);
    }
}

void ExtensionRunner::Explain(IParam* param) {
    IsolationChannel& shared = FChannel.Shared();
    if (!FExplain) {
        shared.outcome = OutcomeNoEntryPoint;
        return;
    }
    const char* value = shared.input;
    const char* reserved = value + (shared.valueLength > 0 ? shared.valueLength : 0);
    const char* field = reserved + (shared.reservedLength > 0 ? shared.reservedLength : 0);
    uint16_t code = shared.explainCode;
    const int32_t result = FExplain(value, shared.valueLength, reserved, shared.reservedLength, field,
                                    shared.fieldLength, shared.paramId, &code, FBuffers.Buffer(0),
                                    FBuffers.Buffer(1), param);
    shared.explainCode = code;
    Finish(result, 2);
}

void ExtensionRunner::Obscure(IParam* param) {
    IsolationChannel& shared = FChannel.Shared();
    if (!FObscure) {
        shared.outcome = OutcomeNoEntryPoint;
        return;
    }
    const char* value = shared.input;
    const char* reserved = value + (shared.valueLength > 0 ? shared.valueLength : 0);
    const int32_t result =
        FObscure(value, shared.valueLength, reserved, shared.reservedLength, shared.paramId, FBuffers.Buffer(0),
                 shared.obscureIntA, shared.obscureIntB, shared.obscureByteA, shared.obscureByteB, param);
    Finish(result, 1);
}

void ExtensionRunner::Edit(IParam* param) {
    IsolationChannel& shared = FChannel.Shared();
    if (!FEdit) {
        shared.outcome = OutcomeNoEntryPoint;
        return;
    }
    int32_t result = 1;
    {
        const OwnedDialogs owned(reinterpret_cast<HWND>(static_cast<uintptr_t>(shared.ownerWindow)));
        result = FEdit(param, FBuffers.Buffer(0), FBuffers.Buffer(1));
    }
    Finish(result, 2);
}
