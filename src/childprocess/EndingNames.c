#include "EndingNames.h"

#include <stddef.h>

typedef struct KnownException {
    DWORD code;
    const char* name;
} KnownException;

static const KnownException Known[] = {
    {EXCEPTION_ACCESS_VIOLATION, "access violation"},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, "integer division by zero"},
    {EXCEPTION_INT_OVERFLOW, "integer overflow"},
    {EXCEPTION_STACK_OVERFLOW, "stack overflow"},
    {EXCEPTION_ILLEGAL_INSTRUCTION, "illegal instruction"},
    {EXCEPTION_PRIV_INSTRUCTION, "privileged instruction"},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, "floating-point division by zero"},
    {EXCEPTION_FLT_INVALID_OPERATION, "invalid floating-point operation"},
    {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "array bounds exceeded"},
    {EXCEPTION_IN_PAGE_ERROR, "in-page error"},
    {0xC0000374, "heap corruption"},
    {0xC0000409, "fast fail or stack buffer overrun"},
    {0xE06D7363, "a C++ exception thrown by a library built with Microsoft's compiler"},
    {0x20474343, "a C++ exception thrown by a library built with GCC"},
};

const char* ExceptionName(DWORD code) {
    for (size_t i = 0; i < sizeof Known / sizeof *Known; ++i)
        if (Known[i].code == code) return Known[i].name;
    return NULL;
}
