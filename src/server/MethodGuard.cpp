#include "server/MethodGuard.h"

#include "contracts/OvixParamTransactor_TLB.h"
#include "contracts/Vantrel_TLB.h"
#include "util/AnsiText.h"
#include "server/OleErrors.h"

#include <wrl/client.h>

#include <new>

using Microsoft::WRL::ComPtr;

namespace {

void SetThreadErrorInfo(const std::string& description) noexcept {
    ComPtr<ICreateErrorInfo> created;
    if (FAILED(CreateErrorInfo(&created))) return;
    created->SetGUID(__uuidof(IParamTransactor));
    created->SetSource(const_cast<LPOLESTR>(ParamTransactorProgIdW));
    try {
        std::wstring wide = WideFromAnsi(description);
        created->SetDescription(wide.data());
    } catch (...) {
    }
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(created.As(&info))) SetErrorInfo(0, info.Get());
}

}  // namespace

HRESULT HResultFromCurrentException() noexcept {
    try {
        throw;
    } catch (const EOleSysError& error) {
        SetThreadErrorInfo(error.Message());
        if (FAILED(error.ErrorCode())) return error.ErrorCode();
    } catch (const Exception& error) {
        SetThreadErrorInfo(error.Message());
    } catch (const std::bad_alloc&) {
        SetThreadErrorInfo("Out of memory");
    } catch (const std::exception& error) {
        SetThreadErrorInfo(error.what());
    } catch (...) {
    }
    return E_UNEXPECTED;
}
