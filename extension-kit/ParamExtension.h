#pragma once
/* ParamExtension.h: the entry points of an extension library of
 * OvixParamTransactor, for extension authors (the component calls them
 * through the same declarations). Plain C, so that a library can be written
 * in C; a C++ source may include it too.
 *
 * An extension is a 32-bit DLL exporting any of ExplainParam, ObscureParam
 * and EditParam; the component loads it when the host puts its path into
 * ExplainLibrary, ObscureLibrary or EditLibrary, and calls it instead of its
 * built-in work.
 *
 * Calling convention: 32-bit __stdcall (the callee removes the arguments).
 * Export the names undecorated through a .def file (see ParamExtension.def):
 * without it MinGW exports ExplainParam@44 and the component finds nothing.
 *
 * Result: 0 for a result, anything else for none. Explain then does its
 * built-in work, Obscure takes the host's GetObscureText, Edit answers status 1.
 *
 * Buffers:
 * - An input is n bytes with n passed next to it, not terminated; it may
 *   contain zero bytes.
 * - Each output buffer is ExtensionOutBufferSize (4096) bytes. On success
 *   write a text followed by a zero byte (at most 4095 characters); the
 *   component reads up to the first zero byte. EditParam's value buffer is
 *   all zeros on entry.
 * - Texts are 8-bit in the system ANSI code page: GBK (code page 936) on the
 *   operators' machines.
 * - The buffers and the IParam pointer are lent for the one call only.
 *
 * Faults: a call that faults (access violation, division by zero, ...) or
 * raises a structured exception fails that attempt only. A C++ exception that
 * a MinGW-built library lets escape an entry point ends the whole host
 * process: in C++, catch everything inside each entry point and return 1.
 *
 * Unloading: the component loads and frees the library whenever a library
 * path changes or a transactor is released, thousands of times in one host
 * process, so an unload must give back everything the load took. With MinGW,
 * write the library in C (it then needs only the system's msvcrt.dll), or
 * keep a C++ library loaded until the process ends (GetModuleHandleExW with
 * GET_MODULE_HANDLE_EX_FLAG_PIN in DllMain).
 */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The host's parameter object (its type library's IParam interface); an
 * extension may call it during the call. */
typedef struct IParam IParam;

enum { ExtensionOutBufferSize = 4096 };

/* Explain: valueText is the field as the component prepared it (for a
 * hex-encoded field the hex text, most significant byte first), reserved an
 * empty input, fieldBytes the field's raw bytes; explainCode is 0 on entry.
 * Writes a value text, a display text and a 16-bit code. */
typedef int32_t(__stdcall* ExplainParamProc)(const char* valueText, int32_t valueLength, const char* reserved,
                                             int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                                             int32_t paramId, uint16_t* explainCode, char* valueOut,
                                             char* displayOut, IParam* param);

/* Obscure: valueText is the host's value text, reserved an empty input; the
 * host's obscure numbers A and B and obscure bytes A and B follow. Writes the
 * digits to send, one decimal digit per byte ("0917"). */
typedef int32_t(__stdcall* ObscureParamProc)(const char* valueText, int32_t valueLength, const char* reserved,
                                             int32_t reservedLength, int32_t paramId, char* digitsOut,
                                             int32_t obscureIntA, int32_t obscureIntB, uint8_t obscureByteA,
                                             uint8_t obscureByteB, IParam* param);

/* Edit: writes the new value text and its display text. */
typedef int32_t(__stdcall* EditParamProc)(IParam* param, char* valueOut, char* displayOut);

/* The entry points themselves, as a library defines them. A program that
 * only calls them through the pointer types above (as the component does)
 * may define PARAM_EXTENSION_NO_PROTOTYPES before including this header. */
#ifndef PARAM_EXTENSION_NO_PROTOTYPES
int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param);
int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param);
int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut);
#endif

#ifdef __cplusplus
}
#endif
