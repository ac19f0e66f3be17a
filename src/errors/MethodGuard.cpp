#include "server/MethodGuard.h"

#include "contracts/OvixParamTransactor_TLB.h"
#include "contracts/Vantrel_TLB.h"
#include "server/HResultFromException.h"

namespace {

// The server has no help file.
constexpr wchar_t HelpFilePath[] = L"";

}  // namespace

HRESULT HResultFromCurrentException() noexcept {
    return HResultFromException(std::current_exception(), __uuidof(IParamTransactor), ParamTransactorProgIdW,
                                HelpFilePath);
}
