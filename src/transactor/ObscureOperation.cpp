#include "transactor/Operations.h"

#include "server/OleErrors.h"

void RunObscure(const ExtensionSlot&, IParam*, VARIANT*, LONG*, LONG*) { throw EOleSysError("Not implemented yet", E_NOTIMPL); }
