#pragma once
// The inputs the host really sends an extension, and one call of an entry
// point prepared with them.

#include "check/EntryPoints.h"
#include "check/LentBuffers.h"

#include "contracts/Vantrel_TLB.h"

#include <string>
#include <vector>

struct CallCase {
    std::wstring name;       // how a report names the input
    std::string valueText;   // as the component prepares it
    std::string fieldBytes;  // Explain only: the field's raw bytes
};

// Explain: empty, 1, 2 and 4 bytes, a hex field, zeros and 0xFF, GBK text,
// 4096 and 10,000 bytes. Obscure: value texts of the same kinds. Edit: one
// call, it takes no input.
std::vector<CallCase> CasesFor(EntryPoint entryPoint);

// The case a typical field stands for when the extension accepts none.
size_t TypicalCaseIndex(EntryPoint entryPoint);

// The arguments of one call: its inputs lent as the component lends them,
// the explain code 0, the out-buffer slots 0 (CallObserved fills them).
class PreparedCall {
public:
    PreparedCall(const EntryPointShape& shape, const CallCase& input, int32_t paramId, IParam* param);
    PreparedCall(const PreparedCall&) = delete;
    PreparedCall& operator=(const PreparedCall&) = delete;

    const std::vector<uint32_t>& Arguments() const { return FArguments; }

private:
    std::vector<LentInput> FInputs;
    uint16_t FCode = 0;
    std::vector<uint32_t> FArguments;
};
