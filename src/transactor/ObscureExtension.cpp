#include "transactor/ObscureExtension.h"

#include "guard/FaultGuard.h"
#include "transactor/ExtensionBuffers.h"
#include "host/HostParam.h"

namespace {

struct ObscureNumbers {
    BYTE byteB;
    BYTE byteA;
    LONG intB;
    LONG intA;
};

// The host's obscure numbers, read in this order under the fault guard, as
// the extension call is: any failure, a host that faults included, makes the
// extension attempt fail without a report.
std::optional<ObscureNumbers> ReadObscureNumbers(IParam& param) noexcept {
    ObscureNumbers numbers{};
    auto read = [&]() noexcept -> int32_t {
        try {
            numbers = {.byteB = ReadParam(param, &IParam::GetObscureByteB),
                       .byteA = ReadParam(param, &IParam::GetObscureByteA),
                       .intB = ReadParam(param, &IParam::GetObscureIntB),
                       .intA = ReadParam(param, &IParam::GetObscureIntA)};
            return 0;
        } catch (...) {
            return 1;
        }
    };
    const GuardedCallOutcome outcome = RunUnderFaultGuard(read);
    if (!outcome.completed || outcome.result != 0) return std::nullopt;
    return numbers;
}

}  // namespace

std::optional<std::string> TryObscureExtension(const ExtensionSlot& library, IParam& param,
                                               std::string_view valueText) {
    const FARPROC entry = library.EntryPoint();
    if (!entry) return std::nullopt;
    const ExtensionInput value(valueText), reserved({});
    const LONG paramId = ReadParam(param, &IParam::GetParamId);

    const std::optional<ObscureNumbers> numbers = ReadObscureNumbers(param);
    if (!numbers) return std::nullopt;
    ExtensionOutput digitsOut;
    const ExtensionCallOutcome outcome =
        CallExtension(entry, {value.Pointer(), value.Length(), reserved.Pointer(), reserved.Length(),
                              static_cast<uint32_t>(paramId), digitsOut.Pointer(), static_cast<uint32_t>(numbers->intA),
                              static_cast<uint32_t>(numbers->intB), numbers->byteA, numbers->byteB,
                              PointerArgument(&param)});
    if (!outcome.Succeeded()) return std::nullopt;
    return digitsOut.Text();
}
