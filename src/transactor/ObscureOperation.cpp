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

// The digits' count, the array and status 0, in this order. Each
// out-argument must be there when its turn to be written comes.
template <typename Char>
void Deliver(std::basic_string_view<Char> digits, VARIANT* data, LONG* count, LONG* status) {
    RequireArgument(count, "count") = static_cast<LONG>(digits.size());
    StoreDigitArray(RequireArgument(data, "data"), digits);
    RequireArgument(status, "status") = 0;
}

}  // namespace

void RunObscure(const ExtensionSlot& library, IParam* param, VARIANT* data, LONG* count, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");

    const std::string extensionDigits = ExtensionDigits(library, host);
    if (!extensionDigits.empty()) return Deliver<char>(extensionDigits, data, count, status);
    // The host's text is converted only when it is not ASCII.
    const UniqueBstr hostDigits = ReadParamBstr(host, &IParam::GetObscureText);
    if (IsAscii(hostDigits.View())) return Deliver(hostDigits.View(), data, count, status);
    Deliver<char>(AnsiFromBstr(hostDigits.Get()), data, count, status);
}
