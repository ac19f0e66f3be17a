// Edit: a new value for a parameter, from the operator through the
// value-entry dialog or from the edit extension, returned to the host with
// its display text set on the parameter.
#include "transactor/Operations.h"

#include "contracts/ExtensionEntryPoints.h"
#include "dialog/dgInputParam.h"
#include "server/OleErrors.h"
#include "transactor/ExtensionCall.h"
#include "transactor/HostParam.h"

#include <array>
#include <cstring>
#include <string>

namespace {

struct EditedValue {
    bool obtained = false;
    std::string valueText;
    std::string displayText;
};

// An extension's out-buffer, zeroed, with one more zero byte behind it, so
// that a text filling all of it still ends.
using ExtensionOutBuffer = std::array<char, ExtensionBufferSize + 1>;

std::string TextIn(const ExtensionOutBuffer& buffer) { return {buffer.data(), strnlen(buffer.data(), ExtensionBufferSize)}; }

EditedValue EditThroughDialog(IParam& param) {
    EditedValue edited;
    edited.obtained = InputParamValue(&param, edited.valueText, edited.displayText);
    return edited;
}

// A missing library or entry point, a nonzero result and a fault inside the
// extension all mean that no value was obtained.
EditedValue EditThroughExtension(FARPROC editParam, IParam& param) {
    if (!editParam) return {};
    ExtensionOutBuffer value{};
    ExtensionOutBuffer display{};
    const ExtensionCallOutcome outcome =
        CallExtension(editParam, {PointerArgument(&param), PointerArgument(value.data()), PointerArgument(display.data())});
    if (!outcome.Succeeded()) return {};
    return {true, TextIn(value), TextIn(display)};
}

}  // namespace

void RunEdit(const ExtensionSlot& library, IParam* param, BSTR* value, LONG* status) {
    if (!param || !value || !status) throw EOleSysError("", E_POINTER);
    const EditedValue edited =
        library.IsConfigured() ? EditThroughExtension(library.EntryPoint(), *param) : EditThroughDialog(*param);
    if (!edited.obtained) {
        *status = 1;
        return;
    }
    *status = 0;
    *value = BstrFromAnsi(edited.valueText).Release();
    WriteParamText(*param, &IParam::SetDisplayText, edited.displayText);
}
