#pragma once
// Runs the requests of the channel on the real extension, loaded into the
// helper: the inputs as the host's call had them, the output buffers as the
// component lends them (zeroed, 4096 bytes), the results back into the
// channel.
#include "GuardedBuffers.h"
#include "HelperChannel.h"
#include "outofprocess/StarterWatch.h"
#include "util/UniqueModule.h"

#include "ParamExtension.h"

class ExtensionRunner {
public:
    ExtensionRunner(HelperChannel& channel, StarterWatch& watch) : FChannel(channel), FWatch(watch) {}

    // The request in the channel; fills in its outcome and result.
    void Run();
    // Zeroes the output buffers for the next call: done after the result is
    // posted, while the host takes it, so that it costs the call nothing.
    void ClearBuffers() noexcept { FBuffers.Clear(); }

private:
    void Load();
    void Explain(IParam* param);
    void Obscure(IParam* param);
    void Edit(IParam* param);
    // The outcome of a call that returned `result` with the texts of the first `texts` buffers.
    void Finish(int32_t result, int texts);

    HelperChannel& FChannel;
    StarterWatch& FWatch;
    UniqueModule FLibrary;
    ExplainParamProc FExplain = nullptr;
    ObscureParamProc FObscure = nullptr;
    EditParamProc FEdit = nullptr;
    GuardedBuffers FBuffers;
    uint32_t FCalls = 0;
};
