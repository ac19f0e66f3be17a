#pragma once
// Puts extension library paths into a transactor for a test.

#include "support/ScriptedExtension.h"
#include "util/UniqueBstr.h"

#include <stdexcept>

using LibraryPathPut = HRESULT (STDMETHODCALLTYPE IParamTransactor::*)(BSTR);

inline void PutLibraryPath(IParamTransactor& transactor, LibraryPathPut put, const wchar_t* path) {
    UniqueBstr value = UniqueBstr::Copy(path);
    if (FAILED((transactor.*put)(value.Get()))) throw std::runtime_error("putting a library path failed");
}

// Loads ExtScripted.dll through the property `put` and answers its cleared state.
inline ScriptedState& UseScriptedLibrary(IParamTransactor& transactor, LibraryPathPut put) {
    PutLibraryPath(transactor, put, L"ExtScripted.dll");
    ScriptedState* state = ClearedScriptedState();
    if (!state) throw std::runtime_error("ExtScripted.dll is not loaded");
    return *state;
}
