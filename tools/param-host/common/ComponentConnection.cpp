#include "common/ComponentConnection.h"

#include "common/ErrorDescription.h"
#include "common/HostFailure.h"
#include "common/OutputFormat.h"
#include "common/ProgramFolder.h"

#include "contracts/OvixParamTransactor_TLB.h"
#include "util/UniqueModule.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr wchar_t ComponentFileName[] = L"OvixParamTransactor.dll";

std::wstring WideHresult(HRESULT result) {
    const std::string text = HresultText(result);
    return std::wstring(text.begin(), text.end());
}

HRESULT TryCreate(ComPtr<IParamTransactor>& transactor) {
    CLSID clsid{};
    const HRESULT found = CLSIDFromProgID(ParamTransactorProgIdW, &clsid);
    if (FAILED(found)) return found;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&transactor));
}

bool IsNotRegistered(HRESULT result) { return result == REGDB_E_CLASSNOTREG || result == CO_E_CLASSSTRING; }

void RegisterComponent(const std::wstring& path) {
    UniqueModule module(LoadLibraryW(path.c_str()));
    if (!module)
        throw HostUnavailable(L"cannot load " + path + L": " + SystemMessage(HRESULT_FROM_WIN32(GetLastError())));
    using RegisterProc = HRESULT(STDAPICALLTYPE*)();
    const auto registerServer =
        reinterpret_cast<RegisterProc>(reinterpret_cast<void*>(GetProcAddress(module.Get(), "DllRegisterServer")));
    if (!registerServer) throw HostUnavailable(path + L" exports no DllRegisterServer");
    const HRESULT result = registerServer();
    if (FAILED(result))
        throw HostUnavailable(L"registering " + path + L" failed with " + WideHresult(result) + L": " +
                              SystemMessage(result));
}

HostFailure CannotCreate(HRESULT result) {
    return HostUnavailable(std::wstring(L"cannot create ") + ParamTransactorProgIdW + L": " + WideHresult(result) +
                           L" " + SystemMessage(result));
}

}  // namespace

ComPtr<IParamTransactor> CreateTransactor(const std::function<void(const std::wstring&)>& notice) {
    ComPtr<IParamTransactor> transactor;
    HRESULT result = TryCreate(transactor);
    if (IsNotRegistered(result)) {
        const std::wstring path = FileBesideProgram(ComponentFileName);
        RegisterComponent(path);
        notice(std::wstring(L"registered ") + ParamTransactorProgIdW + L" from " + path);
        result = TryCreate(transactor);
    }
    if (FAILED(result)) throw CannotCreate(result);
    return transactor;
}
