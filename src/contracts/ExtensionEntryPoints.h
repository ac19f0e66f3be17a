#pragma once
// Entry points of user extension libraries, as the component calls them: the
// pointer types of the public header extension authors build with
// (extension-kit/ParamExtension.h, which states the calling convention and the
// buffer contract), and the names the component looks up.
//
// In-buffers: 4096 bytes or more; the first n bytes hold the input (zero bytes
// allowed) and n is the next argument; no terminator follows.
// Out-buffers: 4096 bytes; the caller reads up to the first zero byte, at
// most 4096 bytes.
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

// Only the pointer types: test libraries define the entry points with other
// signatures on purpose.
#define PARAM_EXTENSION_NO_PROTOTYPES
#include "ParamExtension.h"

inline constexpr unsigned ExtensionBufferSize = ExtensionOutBufferSize;

inline constexpr char ExplainParamName[] = "ExplainParam";
inline constexpr char ObscureParamName[] = "ObscureParam";
inline constexpr char EditParamName[] = "EditParam";
