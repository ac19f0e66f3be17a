#pragma once
// An attempt to obscure a value through the obscure extension.

#include "contracts/Vantrel_TLB.h"
#include "transactor/ExtensionSlot.h"

#include <optional>
#include <string>
#include <string_view>

// The digit text the extension makes of the value text. Empty when the slot
// has no entry point (no host call then), when reading the host's obscure
// numbers fails or faults, or when the extension fails; a failing GetParamId, read
// first, raises.
std::optional<std::string> TryObscureExtension(const ExtensionSlot& library, IParam& param,
                                               std::string_view valueText);
