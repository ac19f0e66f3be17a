// Obscure: produces the bytes the host sends for a parameter, one element
// per digit of a digit text that comes from the obscure extension or, when
// that gives none, from the host.
#include "transactor/Operations.h"

#include "transactor/DigitArray.h"
#include "transactor/HostParam.h"
#include "transactor/ObscureExtension.h"
#include "transactor/RequiredArgument.h"

void RunObscure(const ExtensionSlot& library, IParam* param, VARIANT* data, LONG* count, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");

    const std::string valueText = ReadParamText(host, &IParam::GetValueText);
    std::string digits;
    if (library.IsConfigured()) digits = TryObscureExtension(library, host, valueText).value_or("");
    if (digits.empty()) digits = ReadParamText(host, &IParam::GetObscureText);

    // Each out-argument must be there when its turn to be written comes.
    RequireArgument(count, "count") = static_cast<LONG>(digits.size());
    StoreDigitArray(RequireArgument(data, "data"), digits);
    RequireArgument(status, "status") = 0;
}
