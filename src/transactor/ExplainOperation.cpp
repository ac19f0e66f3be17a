#include "transactor/Operations.h"

#include "server/OleErrors.h"

void RunExplain(const ExtensionSlot&, IParam*, const VARIANT&, LONG, LONG*) { throw EOleSysError("Not implemented yet", E_NOTIMPL); }
