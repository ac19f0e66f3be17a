#include "transactor/Operations.h"

#include "server/OleErrors.h"

void RunEdit(const ExtensionSlot&, IParam*, BSTR*, LONG*) { throw EOleSysError("Not implemented yet", E_NOTIMPL); }
