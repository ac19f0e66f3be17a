#include "run/RulesDecline.h"

#include "rules/LoadedRuleBook.h"

#include "check/FieldRulesFile.h"

#include "FieldDecline.h"
#include "FieldDecode.h"
#include "HexField.h"

#include "util/ModuleFileName.h"
#include "util/Trim.h"

#include <windows.h>

#include <algorithm>
#include <array>

namespace {

std::string_view InputNamed(const ExtensionCallTrace& call, std::wstring_view name) {
    for (const TracedInput& input : call.inputs)
        if (name == input.name) return input.bytes;
    return {};
}

// The reason for a rule the book has: in single-bit mode the bit, else the
// bytes of the field (those a hex-encoded field's text stands for).
std::wstring ReasonOfRule(const FieldRule& rule, const ExtensionCallTrace& call, const ParamSettings& param) {
    const std::string_view valueText = InputNamed(call, L"value text");
    if (valueText.size() == 1 && param.bitMode == 1)
        return IsNumberType(rule.type) ? L"the selected bit is neither 0 nor 1"
                                       : std::wstring(FieldTypeInfoOf(rule.type)->name) + L" has no single bit";
    const std::string_view field = InputNamed(call, L"field bytes");
    std::array<uint8_t, FieldMaxBytes> bytes{};
    size_t count = std::min(field.size(), bytes.size());
    if (param.hexEncoded && !DecodeHexField(field.data(), field.size(), bytes.data(), bytes.size(), &count))
        return L"the hex-encoded field is not pairs of hex digits";
    if (!param.hexEncoded) std::copy_n(field.begin(), count, bytes.begin());
    std::array<wchar_t, RuleReasonSize> reason{};
    if (WhyFieldDeclines(&rule, bytes.data(), count, reason.data())) return reason.data();
    return L"the rule explains this field: the library may have read an older rules file";
}

std::wstring DeclineReason(const std::wstring& library, const ExtensionCallTrace& call, const ParamSettings& param) {
    const std::wstring file = RulesFileOf(library);
    LoadedRuleBook rules;
    if (rules.Load(file) != RuleFileRead) return L"no rules file " + file + L": every parameter declines";
    const std::wstring section = L"section [" + std::to_wstring(*call.paramId) + L"]";
    const FieldRule* rule = FindFieldRule(&rules.Book(), *call.paramId);
    if (!rule) return L"no " + section + L" in " + file;
    if (rule->broken)
        return section + L" of " + file + L" has a problem (param_host check-rules " + file + L" names it)";
    return ReasonOfRule(*rule, call, param);
}

// The file the library was loaded from (--trace keeps it loaded), so that a
// name found on the search path reads the rules file next to it.
std::wstring LoadedPath(const std::wstring& library) {
    const HMODULE module = GetModuleHandleW(library.c_str());
    return module ? ModuleFileName(module) : library;
}

}  // namespace

void AddDeclineReasons(const HostRequest& request, std::vector<ExtensionCallTrace>& calls) {
    if (!request.libraries.explain) return;
    const std::wstring loaded = LoadedPath(std::wstring(TrimControl<wchar_t>(*request.libraries.explain)));
    for (ExtensionCallTrace& call : calls) {
        if (call.entryPoint != EntryPoint::Explain || !call.probe.completed || call.probe.result == 0 || !call.paramId)
            continue;
        // Through a copy of IsolatedExtension.dll, the real library its helper runs.
        const std::wstring& library = call.isolatedLibrary.empty() ? loaded : call.isolatedLibrary;
        if (IsRulesExtension(library)) call.declineReason = DeclineReason(library, call, request.param);
    }
}
