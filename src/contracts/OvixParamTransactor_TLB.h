#pragma once
// The component's own identifiers: its type library, its one class and the
// names under which that class is registered.

#include <windows.h>

// {BA3E56B4-1936-466D-BF12-1B9F42F2E5F4}, version 1.0
inline constexpr GUID LIBID_OvixParamTransactor = {0xBA3E56B4, 0x1936, 0x466D, {0xBF, 0x12, 0x1B, 0x9F, 0x42, 0xF2, 0xE5, 0xF4}};
inline constexpr WORD OvixParamTransactorMajorVersion = 1;
inline constexpr WORD OvixParamTransactorMinorVersion = 0;

// {05EA5679-AF5C-4E18-8322-4C47A266B1F1}
inline constexpr CLSID CLSID_ParamTransactor = {0x05EA5679, 0xAF5C, 0x4E18, {0x83, 0x22, 0x4C, 0x47, 0xA2, 0x66, 0xB1, 0xF1}};

inline constexpr char OvixParamTransactorLibraryName[] = "OvixParamTransactor";
inline constexpr char ParamTransactorClassName[] = "ParamTransactor";
inline constexpr char ParamTransactorProgId[] = "OvixParamTransactor.ParamTransactor";
inline constexpr wchar_t ParamTransactorProgIdW[] = L"OvixParamTransactor.ParamTransactor";
