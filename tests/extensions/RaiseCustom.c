// Hostile test extension: raises a structured exception with its own code.
#include "Hostile.h"

#include <windows.h>

void Misbehave(void) { RaiseException(0xE0C0FFEE, EXCEPTION_NONCONTINUABLE, 0, NULL); }
