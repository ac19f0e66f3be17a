#pragma once
// The entry points an extension library of OvixParamTransactor exports.
// Plain C, so that the library can be written in C (as this sample is); a
// C++ source may include it too.
//
// - Each is a 32-bit stdcall function returning 0 for success and anything
//   else for "no result"; list each in the library's .def file so that it is
//   exported undecorated (ExplainParam, not ExplainParam@44).
// - In-buffers hold n bytes, with n passed next to them, and no terminator.
// - Out-buffers are 4096 bytes; on success write a text and a zero byte, at
//   most 4095 characters. Texts are 8-bit in the system ANSI code page (GBK,
//   code page 936, on the operators' machines).
// - The IParam pointer and the buffers are lent for the call only.
// - Written in C++, no exception may leave an entry point: catch everything
//   and return 1.
// - The component loads and frees the library many times in one process
//   (whenever a library path changes or a transactor is released), so an
//   unload must give back everything the load took: with MinGW, write the
//   library in C, or keep a C++ one loaded (see README.md, "Unloading").

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct IParam IParam;  // the host's parameter object; this sample does not call it

enum { ExtensionOutBufferSize = 4096 };

// Explain: valueText is the field as Explain prepared it (for a hex-encoded
// field the hex text, most significant byte first), fieldBytes the field's raw
// bytes; writes a value text, a display text and a 16-bit code.
int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               IParam* param);

// Obscure: valueText is the host's value text; writes the digits to send,
// one decimal digit per byte.
int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param);

// Edit (not part of this sample): int32_t __stdcall EditParam(IParam* param,
// char* valueOut, char* displayOut);

#ifdef __cplusplus
}
#endif
