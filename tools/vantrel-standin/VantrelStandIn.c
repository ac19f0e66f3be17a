/* Stand-in for the host application's module Vantrel.dll: it carries only the
   host's type library (our own IDL of it) as resource TYPELIB 1, so that the
   library can be registered and resolved as the real host's would be. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
