#include "transactor/ParamTransactorUnt.h"

#include "contracts/ExtensionEntryPoints.h"
#include "contracts/OvixParamTransactor_TLB.h"
#include "capture/CaptureSwitch.h"
#include "errors/MethodGuard.h"
#include "transactor/OperationCapture.h"
#include "transactor/Operations.h"

namespace {

// The method guard for this class's methods: IParamTransactor of ParamTransactor.
template <typename Body>
HRESULT MethodGuard(Body&& body) noexcept {
    return ::MethodGuard(__uuidof(IParamTransactor), ParamTransactorProgIdW, body);
}

}  // namespace

TParamTransactor::TParamTransactor()
    : FExplainLibrary(ExplainParamName), FObscureLibrary(ObscureParamName), FEditLibrary(EditParamName) {}

TParamTransactor::~TParamTransactor() {
    // The libraries are freed in slot order: explain, obscure, edit.
    FExplainLibrary.Unload();
    FObscureLibrary.Unload();
    FEditLibrary.Unload();
}

// With capture on, each operation runs on a recording parameter object and
// is recorded afterwards (transactor/OperationCapture.h); with it off, the
// cached switch is all it costs.
HRESULT TParamTransactor::Explain(IParam* param, VARIANT data, LONG dataLength, LONG* status) {
    if (CaptureWanted()) [[unlikely]]
        return CapturedExplain(param, data, dataLength, status);
    return MethodGuard([&] { RunExplain(FExplainLibrary, param, data, dataLength, status); });
}

HRESULT TParamTransactor::Obscure(IParam* param, VARIANT* data, LONG* count, LONG* status) {
    if (CaptureWanted()) [[unlikely]]
        return CapturedObscure(param, data, count, status);
    return MethodGuard([&] { RunObscure(FObscureLibrary, param, data, count, status); });
}

HRESULT TParamTransactor::Edit(IParam* param, BSTR* value, LONG* status) {
    if (CaptureWanted()) [[unlikely]]
        return CapturedEdit(param, value, status);
    return MethodGuard([&] { RunEdit(FEditLibrary, param, value, status); });
}

HRESULT TParamTransactor::CapturedExplain(IParam* param, const VARIANT& data, LONG dataLength, LONG* status) noexcept {
    OperationCapture capture(CaptureOperation::Explain, param, FCaptureScratch);
    const HRESULT result =
        MethodGuard([&] { RunExplain(FExplainLibrary, capture.Param(), data, dataLength, status); });
    capture.FinishExplain(FExplainLibrary, data, dataLength, result, status);
    return result;
}

HRESULT TParamTransactor::CapturedObscure(IParam* param, VARIANT* data, LONG* count, LONG* status) noexcept {
    OperationCapture capture(CaptureOperation::Obscure, param, FCaptureScratch);
    const HRESULT result = MethodGuard([&] { RunObscure(FObscureLibrary, capture.Param(), data, count, status); });
    capture.FinishObscure(FObscureLibrary, data, result, status);
    return result;
}

HRESULT TParamTransactor::CapturedEdit(IParam* param, BSTR* value, LONG* status) noexcept {
    OperationCapture capture(CaptureOperation::Edit, param, FCaptureScratch);
    const HRESULT result = MethodGuard([&] { RunEdit(FEditLibrary, capture.Param(), value, status); });
    capture.FinishEdit(FEditLibrary, value, result, status);
    return result;
}

HRESULT TParamTransactor::GetPath(const ExtensionSlot& slot, BSTR* path) noexcept {
    if (!path) return E_POINTER;
    *path = nullptr;
    return MethodGuard([&] { *path = slot.CopyPath().Release(); });
}

HRESULT TParamTransactor::PutPath(ExtensionSlot& slot, BSTR path) noexcept {
    return MethodGuard([&] { slot.PutPath(path); });
}

HRESULT TParamTransactor::get_ExplainLibrary(BSTR* path) { return GetPath(FExplainLibrary, path); }
HRESULT TParamTransactor::put_ExplainLibrary(BSTR path) { return PutPath(FExplainLibrary, path); }
HRESULT TParamTransactor::get_ObscureLibrary(BSTR* path) { return GetPath(FObscureLibrary, path); }
HRESULT TParamTransactor::put_ObscureLibrary(BSTR path) { return PutPath(FObscureLibrary, path); }
HRESULT TParamTransactor::get_EditLibrary(BSTR* path) { return GetPath(FEditLibrary, path); }
HRESULT TParamTransactor::put_EditLibrary(BSTR path) { return PutPath(FEditLibrary, path); }
