// Edit: a new value for a parameter, from the operator through the
// value-entry dialog or from the edit extension, returned to the host with
// its display text set on the parameter.
#include "transactor/Operations.h"

#include "dialog/dgInputParam.h"
#include "transactor/ExtensionBuffers.h"
#include "host/HostParam.h"
#include "errors/RequiredArgument.h"

#include <string>

namespace {

struct EditedValue {
    bool obtained = false;
    std::string valueText;
    std::string displayText;
};

EditedValue EditThroughDialog(IParam& param) {
    EditedValue edited;
    edited.obtained = InputParamValue(&param, edited.valueText, edited.displayText);
    return edited;
}

// A missing library or entry point, a nonzero result and a fault inside the
// extension all mean that no value was obtained. Both out-buffers start
// zeroed, the display buffer too, so that neither holds stale bytes.
EditedValue EditThroughExtension(const ExtensionSlot& library, IParam& param) {
    const FARPROC editParam = library.EntryPoint();
    if (!editParam) return {};
    ExtensionOutput value, display;
    const ExtensionCallOutcome outcome =
        CallExtension(editParam, {PointerArgument(&param), value.Pointer(), display.Pointer()});
    if (!outcome.Succeeded()) return {};
    return {true, value.Text(), display.Text()};
}

}  // namespace

void RunEdit(const ExtensionSlot& library, IParam* param, BSTR* value, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");
    // The status is written on every path and the value on OK: both must be
    // there before the operator types a value or an extension makes one.
    LONG& statusOut = RequireArgument(status, "status");
    BSTR& valueOut = RequireArgument(value, "value");

    const EditedValue edited = library.IsConfigured() ? EditThroughExtension(library, host) : EditThroughDialog(host);
    if (!edited.obtained) {
        statusOut = 1;
        return;
    }
    statusOut = 0;
    valueOut = BstrFromAnsi(edited.valueText).Release();
    WriteParamText(host, &IParam::SetDisplayText, edited.displayText);
}
