#include "ChildStart.h"

#include <stdlib.h>

static void SetInheritable(const HANDLE* handles, size_t count, int inheritable) {
    for (size_t i = 0; i < count; ++i)
        SetHandleInformation(handles[i], HANDLE_FLAG_INHERIT, inheritable ? HANDLE_FLAG_INHERIT : 0);
}

/* The list of the handles the child inherits, where the system takes one;
 * NULL where it does not. */
static LPPROC_THREAD_ATTRIBUTE_LIST InheritedOnly(const HANDLE* handles, size_t count) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(NULL, 1, 0, &size);
    LPPROC_THREAD_ATTRIBUTE_LIST list = size ? malloc(size) : NULL;
    if (!list) return NULL;
    if (InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, (PVOID)handles,
                                      count * sizeof(HANDLE), NULL, NULL))
            return list;
        DeleteProcThreadAttributeList(list);
    }
    free(list);
    return NULL;
}

int StartInheriting(const wchar_t* program, wchar_t* commandLine, const HANDLE* handles, size_t count,
                    const HANDLE standard[3], PROCESS_INFORMATION* started) {
    STARTUPINFOEXW startup = {.StartupInfo = {.cb = sizeof startup}};
    if (standard) {
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
        startup.StartupInfo.hStdInput = standard[0];
        startup.StartupInfo.hStdOutput = standard[1];
        startup.StartupInfo.hStdError = standard[2];
    }
    startup.lpAttributeList = count ? InheritedOnly(handles, count) : NULL;
    SetInheritable(handles, count, 1);
    const BOOL created = CreateProcessW(program, commandLine, NULL, NULL, count > 0,
                                        CREATE_NO_WINDOW | CREATE_DEFAULT_ERROR_MODE |
                                            (startup.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0),
                                        NULL, NULL, &startup.StartupInfo, started);
    const DWORD error = GetLastError();
    SetInheritable(handles, count, 0);
    if (startup.lpAttributeList) {
        DeleteProcThreadAttributeList(startup.lpAttributeList);
        free(startup.lpAttributeList);
    }
    SetLastError(error);
    return created;
}
