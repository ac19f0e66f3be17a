#pragma once
// The parameter objects lent to an extension under check: this program's own
// recording IParam (CommandLineParam), one per call, all kept alive until the
// check ends, so that an extension that keeps the pointer and calls it later
// calls a live object, and is seen doing so.

#include "CommandLineParam.h"

#include "check/EntryPoints.h"

#include <wrl/client.h>

#include <string>
#include <vector>

class LentParams {
public:
    // A new parameter object answering `paramId`, for a call of `entryPoint`.
    CommandLineParam& Lend(EntryPoint entryPoint, int32_t paramId);
    // The call it was lent for has returned.
    void Returned(const CommandLineParam& param);

    // The methods the entry point called on its objects during its calls, by
    // name, each once, in the order first called.
    std::vector<std::wstring> MethodsCalled(EntryPoint entryPoint) const;
    // The first call on an object after its call had returned or from another
    // thread (e.g. L"GetParamId after the call had returned"); empty for none.
    std::wstring FirstLateCall(EntryPoint entryPoint) const;

private:
    struct Lent {
        Microsoft::WRL::ComPtr<CommandLineParam> param;
        EntryPoint entryPoint;
        size_t callsAtReturn;
    };
    std::vector<Lent> FLent;
};
