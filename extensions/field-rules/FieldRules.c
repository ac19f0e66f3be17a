// FieldRules.dll: an extension library of OvixParamTransactor that explains
// and obscures parameters by the rules of a text file instead of code. It
// reads the file with its own base name and the extension .ini from its own
// folder (FieldRules.dll reads FieldRules.ini) at the first call after each
// load, and gives the rules back at the unload. Written in plain C like the
// sample extension, so that an unload leaves nothing behind (see README.md,
// "Unloading").
#define COBJMACROS
#include <windows.h>

#include "Vantrel_TLB_h.h"  // IParam with its C calls, generated from the host's type library
#include "ParamExtension.h"

#include "FieldExplain.h"
#include "FieldObscure.h"
#include "HexField.h"
#include "RuleParser.h"

#include <stdlib.h>
#include <string.h>

static HMODULE OwnModule;
static INIT_ONCE RulesRead = INIT_ONCE_STATIC_INIT;
static RuleBook Rules;

// The path of this library with the extension .ini in place of its own;
// NULL when it cannot be had. The caller frees it.
static wchar_t* OwnRulesPath(void) {
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        wchar_t* path = malloc((size + 4) * sizeof(wchar_t));
        const DWORD length = path ? GetModuleFileNameW(OwnModule, path, size) : 0;
        if (length > 0 && length < size) {
            wchar_t* dot = wcsrchr(path, L'.');
            if (!dot || wcschr(dot, L'\\')) dot = path + length;
            wcscpy(dot, L".ini");
            return path;
        }
        free(path);
        if (length == 0) return NULL;
    }
    return NULL;
}

static BOOL CALLBACK ReadOwnRules(PINIT_ONCE once, PVOID parameter, PVOID* context) {
    (void)once, (void)parameter, (void)context;
    wchar_t* path = OwnRulesPath();
    if (path) LoadRuleBook(path, &Rules);  // without a file the book stays empty and every call declines
    free(path);
    return TRUE;
}

static const FieldRule* UsableRule(int32_t paramId) {
    InitOnceExecuteOnce(&RulesRead, ReadOwnRules, NULL, NULL);
    const FieldRule* rule = FindFieldRule(&Rules, paramId);
    return rule && !rule->broken ? rule : NULL;
}

// The bytes the rule reads: the field's own, or for a hex-encoded parameter
// the bytes its hex text stands for, in frame order.
static bool SourceBytes(IParam* param, const char* field, int32_t length, uint8_t bytes[FieldMaxBytes],
                        size_t* count) {
    VARIANT_BOOL hexEncoded = VARIANT_FALSE;
    if (param && FAILED(IParam_GetHexEncoded(param, &hexEncoded))) return false;
    if (length < 0) return false;
    if (hexEncoded) return DecodeHexField(field, (size_t)length, bytes, FieldMaxBytes, count);
    *count = length < FieldMaxBytes ? (size_t)length : FieldMaxBytes;
    memcpy(bytes, field, *count);
    return true;
}

// In single-bit mode the component passes the selected bit ("0" or "1") as
// the value text, and the field's bytes are not the value. Only a value text
// of one character can be a bit, so other calls skip asking the host.
static bool SingleBitMode(IParam* param, int32_t valueLength) {
    LONG bitMode = 0;
    return valueLength == 1 && param && SUCCEEDED(IParam_GetBitMode(param, &bitMode)) && bitMode == 1;
}

static bool ReadValue(const FieldRule* rule, IParam* param, const char* valueText, int32_t valueLength,
                      const char* fieldBytes, int32_t fieldLength, FieldValue* value) {
    if (SingleBitMode(param, valueLength))
        return valueText && (*valueText == '0' || *valueText == '1') &&
               BitFieldValue(rule, *valueText == '1', value);
    uint8_t bytes[FieldMaxBytes];
    size_t count = 0;
    return SourceBytes(param, fieldBytes, fieldLength, bytes, &count) && DecodeField(rule, bytes, count, value);
}

// The value in the field (or the selected bit) by the rule of section
// [paramId]; declines (1) for a parameter without a rule, with a broken
// rule, or a field the rule cannot read.
int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength,
                               int32_t paramId, uint16_t* explainCode, char* valueOut, char* displayOut,
                               IParam* param) {
    (void)reserved, (void)reservedLength;
    const FieldRule* rule = UsableRule(paramId);
    FieldValue value;
    if (!rule || !ReadValue(rule, param, valueText, valueLength, fieldBytes, fieldLength, &value)) return 1;
    return ExplainField(rule, &value, valueOut, displayOut, ExtensionOutBufferSize, explainCode) ? 0 : 1;
}

// The digits of the raw number for the value text (a number or a name);
// declines (1) when the text cannot be converted.
int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    (void)reserved, (void)reservedLength, (void)obscureIntB, (void)obscureByteA, (void)obscureByteB, (void)param;
    const FieldRule* rule = UsableRule(paramId);
    if (!rule || valueLength < 0) return 1;
    return ObscureField(rule, valueText, (size_t)valueLength, obscureIntA, digitsOut, ExtensionOutBufferSize) ? 0 : 1;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        OwnModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    // At process exit (reserved set) the memory goes with the process.
    if (reason == DLL_PROCESS_DETACH && !reserved) FreeRuleBook(&Rules);
    return TRUE;
}
