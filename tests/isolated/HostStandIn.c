/* A host that the test ends while its call is in progress: it loads an
 * isolated copy and calls it directly, with no host object.
 *
 *     isolation_host_stand_in COPY.dll explain|edit
 *
 * "explain" asks parameter 13, which the looping extension never answers;
 * "edit" opens the dialog extension's EditParam, which waits for the
 * operator. Neither returns before the test ends this process. */
#include <windows.h>

#include "ParamExtension.h"

#include <wchar.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    HMODULE copy = LoadLibraryW(argv[1]);
    if (!copy) return 3;
    char value[ExtensionOutBufferSize] = "", display[ExtensionOutBufferSize] = "";
    if (wcscmp(argv[2], L"explain") == 0) {
        ExplainParamProc explain = (ExplainParamProc)(void*)GetProcAddress(copy, "ExplainParam");
        uint16_t code = 0;
        return explain ? explain("AB", 2, "", 0, "AB", 2, 13, &code, value, display, NULL) : 4;
    }
    EditParamProc edit = (EditParamProc)(void*)GetProcAddress(copy, "EditParam");
    return edit ? edit(NULL, value, display) : 4;
}
