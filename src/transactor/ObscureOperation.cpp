// Obscure: produces the bytes the host sends for a parameter, one element
// per digit of a digit text that comes from the obscure extension or, when
// that gives none, from the host.
#include "transactor/Operations.h"

#include "transactor/DigitArray.h"
#include "host/HostParam.h"
#include "transactor/ObscureExtension.h"
#include "errors/RequiredArgument.h"

void RunObscure(const ExtensionSlot& library, IParam* param, VARIANT* data, LONG* count, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");
    VARIANT& dataOut = RequireArgument(data, "data");
    LONG& countOut = RequireArgument(count, "count");
    LONG& statusOut = RequireArgument(status, "status");

    const std::string valueText = ReadParamText(host, &IParam::GetValueText);
    std::string digits;
    if (library.IsConfigured()) digits = TryObscureExtension(library, host, valueText).value_or("");
    if (digits.empty()) digits = ReadParamText(host, &IParam::GetObscureText);

    countOut = static_cast<LONG>(digits.size());
    StoreDigitArray(dataOut, digits);
    statusOut = 0;
}
