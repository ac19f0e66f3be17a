// Test extension that loads but exports none of the entry points.
#include <cstdint>

extern "C" int32_t __stdcall SomethingElse() { return 0; }
