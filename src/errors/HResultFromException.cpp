#include "errors/HResultFromException.h"

#include "errors/ExceptionMessage.h"
#include "errors/OleErrors.h"
#include "util/AnsiText.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace {

void SetDescription(ICreateErrorInfo& created, std::string_view message, DWORD helpContext) noexcept {
    try {
        std::wstring description = WideFromAnsi(message);
        created.SetDescription(description.data());
    } catch (...) {
        // Out of memory for the wide text: the error information goes without it.
    }
    created.SetHelpContext(helpContext);
}

HRESULT ErrorCodeOf(const Exception& error) noexcept {
    const auto* systemError = dynamic_cast<const EOleSysError*>(&error);
    return systemError && FAILED(systemError->ErrorCode()) ? systemError->ErrorCode() : E_UNEXPECTED;
}

// Fills in what the exception tells and returns the HRESULT for it. Standard
// library exceptions (out of memory above all) are described like ours.
HRESULT Describe(ICreateErrorInfo& created, std::exception_ptr error) noexcept {
    try {
        std::rethrow_exception(error);
    } catch (const Exception& exception) {
        SetDescription(created, exception.Message(), static_cast<DWORD>(exception.HelpContext()));
        return ErrorCodeOf(exception);
    } catch (const std::exception&) {
        SetDescription(created, CurrentExceptionMessage(), 0);
    } catch (...) {
    }
    return E_UNEXPECTED;
}

}  // namespace

HRESULT HResultFromException(std::exception_ptr error, REFGUID interfaceId, const wchar_t* progId,
                             const wchar_t* helpFile) noexcept {
    ComPtr<ICreateErrorInfo> created;
    if (FAILED(CreateErrorInfo(&created))) return E_UNEXPECTED;
    created->SetGUID(interfaceId);
    if (progId && *progId) created->SetSource(const_cast<LPOLESTR>(progId));
    if (helpFile && *helpFile) created->SetHelpFile(const_cast<LPOLESTR>(helpFile));
    const HRESULT result = Describe(*created.Get(), error);
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(created.As(&info))) SetErrorInfo(0, info.Get());
    return result;
}
