#pragma once
// The three operations of IParamTransactor, each run inside the method guard.

#include "contracts/Vantrel_TLB.h"
#include "transactor/ExtensionSlot.h"

void RunExplain(const ExtensionSlot& library, IParam* param, const VARIANT& data, LONG dataLength, LONG* status);
void RunObscure(const ExtensionSlot& library, IParam* param, VARIANT* data, LONG* count, LONG* status);
void RunEdit(const ExtensionSlot& library, IParam* param, BSTR* value, LONG* status);
