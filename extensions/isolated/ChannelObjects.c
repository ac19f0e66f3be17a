/* The channel's objects: unnamed, for the host's user alone, inherited. */
#include "ChannelObjects.h"

#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>

/* A security descriptor whose one entry allows the token user everything. */
typedef struct OwnUserOnly {
    SECURITY_DESCRIPTOR descriptor;
    BYTE acl[256];
    BYTE user[SECURITY_MAX_SID_SIZE];
} OwnUserOnly;

static int CurrentUser(PSID user, DWORD capacity) {
    HANDLE token = NULL;
    if (!OpenThreadToken(GetCurrentThread(), TOKEN_QUERY, TRUE, &token) &&
        !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD length = 0;
    const BOOL read = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &length);
    CloseHandle(token);
    return read && CopySid(capacity, user, ((TOKEN_USER*)buffer)->User.Sid);
}

static int MakeOwnUserOnly(OwnUserOnly* security) {
    PACL acl = (PACL)security->acl;
    return CurrentUser(security->user, sizeof security->user) &&
           InitializeAcl(acl, sizeof security->acl, ACL_REVISION) &&
           AddAccessAllowedAce(acl, ACL_REVISION, GENERIC_ALL, security->user) &&
           InitializeSecurityDescriptor(&security->descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&security->descriptor, TRUE, acl, FALSE) &&
           SetSecurityDescriptorOwner(&security->descriptor, security->user, FALSE);
}

int CreateChannelObjects(ChannelObjects* objects, size_t mappingBytes) {
    *objects = (ChannelObjects){NULL, NULL, NULL, NULL};
    OwnUserOnly security;
    if (!MakeOwnUserOnly(&security)) return 0;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &security.descriptor, FALSE};
    objects->mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0, (DWORD)mappingBytes, NULL);
    objects->helperEvent = CreateEventW(&attributes, FALSE, FALSE, NULL);
    objects->hostEvent = CreateEventW(&attributes, FALSE, FALSE, NULL);
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &objects->host, SYNCHRONIZE,
                    FALSE, 0);
    return objects->mapping && objects->helperEvent && objects->hostEvent && objects->host;
}

void CloseChannelObjects(ChannelObjects* objects) {
    HANDLE* handles[4] = {&objects->mapping, &objects->helperEvent, &objects->hostEvent, &objects->host};
    for (int i = 0; i < 4; ++i) {
        if (*handles[i]) CloseHandle(*handles[i]);
        *handles[i] = NULL;
    }
}

static void SetInheritable(const ChannelObjects* objects, int inheritable) {
    const HANDLE handles[4] = {objects->mapping, objects->helperEvent, objects->hostEvent, objects->host};
    for (int i = 0; i < 4; ++i) SetHandleInformation(handles[i], HANDLE_FLAG_INHERIT, inheritable ? HANDLE_FLAG_INHERIT : 0);
}

/* The list of the handles the child inherits, where the system takes one;
 * NULL where it does not (then every inheritable handle is inherited, and
 * ours are inheritable only for the moment of the start). */
static LPPROC_THREAD_ATTRIBUTE_LIST InheritedOnly(HANDLE* handles) {
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(NULL, 1, 0, &size);
    LPPROC_THREAD_ATTRIBUTE_LIST list = size ? malloc(size) : NULL;
    if (!list) return NULL;
    if (InitializeProcThreadAttributeList(list, 1, 0, &size)) {
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, 4 * sizeof(HANDLE), NULL,
                                      NULL))
            return list;
        DeleteProcThreadAttributeList(list);
    }
    free(list);
    return NULL;
}

int StartWithChannelObjects(const ChannelObjects* objects, const wchar_t* program, PROCESS_INFORMATION* started) {
    wchar_t commandLine[4096 + 100];
    swprintf(commandLine, sizeof commandLine / sizeof *commandLine, L"\"%ls\" %lu %lu %lu %lu", program,
             (unsigned long)(uintptr_t)objects->mapping, (unsigned long)(uintptr_t)objects->helperEvent,
             (unsigned long)(uintptr_t)objects->hostEvent, (unsigned long)(uintptr_t)objects->host);
    HANDLE handles[4] = {objects->mapping, objects->helperEvent, objects->hostEvent, objects->host};
    STARTUPINFOEXW startup = {.StartupInfo = {.cb = sizeof startup}};
    startup.lpAttributeList = InheritedOnly(handles);
    SetInheritable(objects, 1);
    const BOOL created = CreateProcessW(program, commandLine, NULL, NULL, TRUE,
                                        CREATE_NO_WINDOW | CREATE_DEFAULT_ERROR_MODE |
                                            (startup.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0),
                                        NULL, NULL, &startup.StartupInfo, started);
    const DWORD error = GetLastError();
    SetInheritable(objects, 0);
    if (startup.lpAttributeList) {
        DeleteProcThreadAttributeList(startup.lpAttributeList);
        free(startup.lpAttributeList);
    }
    SetLastError(error);
    return created;
}
