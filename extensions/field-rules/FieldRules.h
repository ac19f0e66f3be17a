#pragma once
// FieldRules: an extension library of OvixParamTransactor that explains and
// obscures parameters by the rules of a text file instead of code. The
// library reads the file with its own base name and the extension .ini from
// its own folder (FieldRules.dll reads FieldRules.ini), once per load.

#include <windows.h>

#include <stdint.h>

#include "Vantrel_TLB_h.h"  // IParam, generated from the host's type library

#ifdef __cplusplus
extern "C" {
#endif

// The number in the field by the rule of section [paramId]; declines (1) for
// a parameter without a rule, with a broken rule, or a field the rule cannot
// read.
int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               IParam* param);

// The digits of the raw number for the value text (a number or a name);
// declines (1) when the text cannot be converted.
int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param);

#ifdef __cplusplus
}
#endif
