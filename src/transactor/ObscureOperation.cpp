// Obscure: produces the bytes the host sends for a parameter, one element
// per digit of a digit text that comes from the obscure extension or, when
// that gives none, from the host.
#include "transactor/Operations.h"

#include "transactor/DigitArray.h"
#include "host/HostParam.h"
#include "transactor/ObscureExtension.h"
#include "errors/RequiredArgument.h"

namespace {

// The digit text that the obscure extension makes of the value text, empty
// when there is none. The value text is read in any case, and converted only
// for an extension.
std::string ExtensionDigits(const ExtensionSlot& library, IParam& param) {
    const UniqueBstr valueText = ReadParamBstr(param, &IParam::GetValueText);
    if (!library.IsConfigured()) return {};
    return TryObscureExtension(library, param, AnsiFromBstr(valueText.Get())).value_or("");
}

// The digits' count, the array and status 0, in this order.
template <typename Char>
void Deliver(std::basic_string_view<Char> digits, VARIANT& data, LONG& count, LONG& status) {
    count = static_cast<LONG>(digits.size());
    StoreDigitArray(data, digits);
    status = 0;
}

}  // namespace

void RunObscure(const ExtensionSlot& library, IParam* param, VARIANT* data, LONG* count, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");
    VARIANT& dataOut = RequireArgument(data, "data");
    LONG& countOut = RequireArgument(count, "count");
    LONG& statusOut = RequireArgument(status, "status");

    const std::string extensionDigits = ExtensionDigits(library, host);
    if (!extensionDigits.empty()) return Deliver<char>(extensionDigits, dataOut, countOut, statusOut);
    // The host's text is converted only when it is not ASCII.
    const UniqueBstr hostDigits = ReadParamBstr(host, &IParam::GetObscureText);
    if (IsAscii(hostDigits.View())) return Deliver(hostDigits.View(), dataOut, countOut, statusOut);
    Deliver<char>(AnsiFromBstr(hostDigits.Get()), dataOut, countOut, statusOut);
}
