#include "run/ExtensionLibraries.h"

#include "common/ErrorDescription.h"
#include "common/HostFailure.h"

#include "util/Trim.h"
#include "util/UniqueBstr.h"
#include "util/UniqueModule.h"

#include <optional>

namespace {

struct Slot {
    const wchar_t* option;
    const char* entryPoint;
    const char* decoratedEntryPoint;  // what a stdcall export is called without a .def file
    const wchar_t* withoutEntryPoint;  // what the operation then does
    HRESULT (STDMETHODCALLTYPE IParamTransactor::*put)(BSTR);
};

const Slot ExplainSlot{L"--explain-lib", "ExplainParam", "ExplainParam@44", L"Explain uses its built-in path",
                       &IParamTransactor::put_ExplainLibrary};
const Slot ObscureSlot{L"--obscure-lib", "ObscureParam", "ObscureParam@44", L"Obscure uses GetObscureText",
                       &IParamTransactor::put_ObscureLibrary};
const Slot EditSlot{L"--edit-lib", "EditParam", "EditParam@12", L"Edit answers status 1",
                    &IParamTransactor::put_EditLibrary};

std::wstring Wide(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

bool Exports(HMODULE module, const std::string& name) {
    return GetProcAddress(module, name.c_str()) || GetProcAddress(module, ("_" + name).c_str());
}

std::optional<std::wstring> CheckLibrary(const Slot& slot, const std::wstring& path) {
    UniqueModule module(LoadLibraryW(std::wstring(TrimControl<wchar_t>(path)).c_str()));
    if (!module)
        throw BadInput(std::wstring(slot.option) + L": cannot load '" + path + L"': " +
                       SystemMessage(HRESULT_FROM_WIN32(GetLastError())));
    if (GetProcAddress(module.Get(), slot.entryPoint)) return std::nullopt;
    std::wstring warning = L"warning: " + path + L" does not export " + Wide(slot.entryPoint) +
                           L"; " + slot.withoutEntryPoint;
    if (Exports(module.Get(), slot.decoratedEntryPoint))
        warning += L" (it exports the decorated name " + Wide(slot.decoratedEntryPoint) +
                   L": list the entry point in a .def file)";
    return warning;
}

void PutLibrary(IParamTransactor& transactor, const Slot& slot, const std::optional<std::wstring>& path,
                std::vector<std::wstring>& warnings) {
    if (!path) return;
    if (!TrimControl<wchar_t>(*path).empty())
        if (auto warning = CheckLibrary(slot, *path)) warnings.push_back(std::move(*warning));
    UniqueBstr value = UniqueBstr::Copy(*path);
    const HRESULT result = (transactor.*slot.put)(value.Get());
    if (FAILED(result))
        throw HostUnavailable(std::wstring(slot.option) + L": the component refused the path: " +
                              ErrorDescription(&transactor, __uuidof(IParamTransactor), result));
}

}  // namespace

std::vector<std::wstring> PutLibraries(IParamTransactor& transactor, const LibraryPaths& paths) {
    std::vector<std::wstring> warnings;
    PutLibrary(transactor, ExplainSlot, paths.explain, warnings);
    PutLibrary(transactor, ObscureSlot, paths.obscure, warnings);
    PutLibrary(transactor, EditSlot, paths.edit, warnings);
    return warnings;
}
