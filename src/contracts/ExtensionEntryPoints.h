#pragma once
// Entry points of user extension libraries. Every entry point is a 32-bit
// stdcall function, exported undecorated, returning 0 for success.
//
// In-buffers: 4096 bytes or more; the first n bytes hold the input (zero bytes
// allowed) and n is the next argument; no terminator follows.
// Out-buffers: 4096 bytes; on success the extension writes a text and a zero
// byte, and the caller reads up to the first zero byte, at most 4096 bytes.
// Texts are 8-bit, in the system ANSI code page. The IParam pointer and the
// buffers are lent for the call only.
//
// Every call runs under a guard: an extension that faults (access violation,
// division by zero, ...), raises a structured exception or throws a C++
// exception with Microsoft's compiler simply fails the attempt. One thing no
// guard can catch: a C++ exception that a MinGW-built extension lets escape
// its entry point ends the whole host process (that library's own runtime
// terminates it). Extension authors using MinGW must catch everything inside
// their entry points and return a non-zero result instead.

#include <cstdint>

#include "contracts/Vantrel_TLB.h"

inline constexpr unsigned ExtensionBufferSize = 4096;

inline constexpr char ExplainParamName[] = "ExplainParam";
inline constexpr char ObscureParamName[] = "ObscureParam";
inline constexpr char EditParamName[] = "EditParam";

// Explains a field: the value text as Explain prepared it, an empty input,
// the field's raw bytes, the parameter id, a 16-bit code (0 on entry), and two
// out-buffers for the value text and the display text.
using ExplainParamProc = int32_t(__stdcall*)(const char* valueText, int32_t valueLength,
                                             const char* reserved, int32_t reservedLength,
                                             const char* fieldBytes, int32_t fieldLength,
                                             int32_t paramId, uint16_t* explainCode,
                                             char* valueOut, char* displayOut, IParam* param);

// Obscures a value: the value text, an empty input, the parameter id, an
// out-buffer for the digit text (one decimal digit per byte), the host's
// obscure numbers A and B and obscure bytes A and B.
using ObscureParamProc = int32_t(__stdcall*)(const char* valueText, int32_t valueLength,
                                             const char* reserved, int32_t reservedLength,
                                             int32_t paramId, char* digitsOut,
                                             int32_t obscureIntA, int32_t obscureIntB,
                                             uint8_t obscureByteA, uint8_t obscureByteB, IParam* param);

// Edits a value: the parameter, an out-buffer (all zero on entry) for the new
// value text and one for its display text.
using EditParamProc = int32_t(__stdcall*)(IParam* param, char* valueOut, char* displayOut);
