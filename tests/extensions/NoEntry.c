// Test extension that loads but exports none of the entry points.
#include <stdint.h>

int32_t __stdcall SomethingElse(void) { return 0; }
