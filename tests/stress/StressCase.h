#pragma once
// One case of the stress program: a random call of Explain, Obscure or a
// library property on the transactor under test, and the checks that follow
// it: the answer fits what happened (a fault gives E_UNEXPECTED with the
// thread's error information untouched, any other failure our own error
// information), and nothing was left behind (no lock on the frame, no
// reference on the parameter object, the error objects or the frame's
// objects).

#include "contracts/Vantrel_TLB.h"

#include <cstdint>
#include <string>
#include <vector>

enum class CaseKind { Explain, Obscure, Property };

struct CaseOutcome {
    CaseKind kind = CaseKind::Property;
    HRESULT result = S_OK;
    bool faulted = false;  // a fault happened inside the call
    std::string finding;   // what went wrong, each item followed by "; "; empty when nothing did
};

// The library paths the cases put, for preparing what well-formed calls must
// give with each pair of them.
std::vector<std::wstring> LibraryPathsTried();

// Runs the case that `caseSeed` describes; `description` receives what it did.
CaseOutcome RunCase(IParamTransactor& transactor, uint64_t caseSeed, std::string& description);
