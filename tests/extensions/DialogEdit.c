// Test extension whose EditParam asks the operator in a message box of its
// own, created without an owner as a careless extension does: value "5"
// shown as "Five" when the operator answers OK.
#include <windows.h>

#include "TestExtension.h"

#include <string.h>

int32_t __stdcall EditParam(IParam* param, char* valueOut, char* displayOut) {
    if (MessageBoxA(NULL, "New value: 5?", "DialogEdit", MB_OKCANCEL) != IDOK) return 1;
    strcpy(valueOut, "5");
    strcpy(displayOut, "Five");
    return 0;
}
