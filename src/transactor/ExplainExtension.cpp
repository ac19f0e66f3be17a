#include "transactor/ExplainExtension.h"

#include "transactor/ExtensionBuffers.h"
#include "host/HostParam.h"

std::optional<ExplainExtensionResult> TryExplainExtension(const ExtensionSlot& library, IParam& param,
                                                          std::string_view valueText, std::string_view field) {
    const FARPROC entry = library.EntryPoint();
    if (!entry) return std::nullopt;
    const LONG paramId = ReadParam(param, &IParam::GetParamId);

    const ExtensionInput value(valueText), reserved({}), fieldBytes(field);
    ExtensionOutput valueOut, displayOut;
    uint16_t code = 0;
    const ExtensionCallOutcome outcome =
        CallExtension(entry, {value.Pointer(), value.Length(), reserved.Pointer(), reserved.Length(),
                              fieldBytes.Pointer(), fieldBytes.Length(), static_cast<uint32_t>(paramId),
                              PointerArgument(&code), valueOut.Pointer(), displayOut.Pointer(),
                              PointerArgument(&param)});
    if (!outcome.Succeeded()) return std::nullopt;
    return ExplainExtensionResult{valueOut.Text(), displayOut.Text(), code};
}
