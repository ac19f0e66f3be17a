// Obscure: produces the bytes the host sends for a parameter, one element
// per digit of a digit text that comes from the obscure extension or, when
// that gives none, from the host.
#include "transactor/Operations.h"

#include "transactor/DigitArray.h"
#include "transactor/HostParam.h"
#include "transactor/ObscureExtension.h"
#include "transactor/RequiredArgument.h"

namespace {

// The digit text that the obscure extension makes of the value text, empty
// when there is none. The value text is read in any case, and converted only
// for an extension.
std::string ExtensionDigits(const ExtensionSlot& library, IParam& param) {
    const UniqueBstr valueText = ReadParamBstr(param, &IParam::GetValueText);
    if (!library.IsConfigured()) return {};
    return TryObscureExtension(library, param, AnsiFromBstr(valueText.Get())).value_or("");
}

}  // namespace

void RunObscure(const ExtensionSlot& library, IParam* param, VARIANT* data, LONG* count, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");
    VARIANT& dataOut = RequireArgument(data, "data");
    LONG& countOut = RequireArgument(count, "count");
    LONG& statusOut = RequireArgument(status, "status");

    std::string digits = ExtensionDigits(library, host);
    if (digits.empty()) digits = ReadParamText(host, &IParam::GetObscureText);

    countOut = static_cast<LONG>(digits.size());
    StoreDigitArray(dataOut, digits);
    statusOut = 0;
}
