// Hostile test extension: throws a C++ exception the way a library built
// with Microsoft's compiler does (exception code 0xE06D7363, "msc", with the
// magic number, the thrown object and its throw information as parameters).
#include "Hostile.h"

#include <windows.h>

void Misbehave(void) {
    static int thrownObject = 42;
    const ULONG_PTR parameters[] = {0x19930520, (ULONG_PTR)&thrownObject, 0};
    RaiseException(0xE06D7363, EXCEPTION_NONCONTINUABLE, 3, parameters);
}
