#include "check/ObservedCall.h"

ObservedCall CallObserved(FARPROC entry, const EntryPointShape& shape, std::vector<uint32_t> arguments,
                          void (*returned)() noexcept) {
    ObservedCall call;
    for (int i = 0; i < shape.outputCount; ++i) {
        const OutputArgument& output = shape.outputs[static_cast<size_t>(i)];
        arguments[static_cast<size_t>(output.pointer)] = call.lent.emplace_back(output.zeroedByContract).Slot();
    }
    call.probe = CallProbed(entry, arguments);
    if (returned) returned();
    for (const LentOutput& lent : call.lent) call.outputs.push_back(lent.Read());
    return call;
}
