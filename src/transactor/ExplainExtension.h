#pragma once
// An attempt to explain a field through the explain extension.

#include "contracts/Vantrel_TLB.h"
#include "transactor/ExtensionSlot.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ExplainExtensionResult {
    std::string value;    // the value text
    std::string display;  // the display text, possibly empty
    uint16_t code;        // the explain code
};

// Hands the extension the value text as Explain prepared it and the field's
// raw bytes. Empty when the slot has no entry point (no host call then) or
// the extension fails; a failing GetParamId, read before the call, raises.
std::optional<ExplainExtensionResult> TryExplainExtension(const ExtensionSlot& library, IParam& param,
                                                          std::string_view valueText, std::string_view field);
