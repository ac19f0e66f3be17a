/* The channel's objects: unnamed, for the host's user alone, inherited. */
#include "ChannelObjects.h"

#include "childprocess/ChildStart.h"

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

int StartWithChannelObjects(const ChannelObjects* objects, const wchar_t* program, PROCESS_INFORMATION* started) {
    wchar_t commandLine[4096 + 100];
    swprintf(commandLine, sizeof commandLine / sizeof *commandLine, L"\"%ls\" %lu %lu %lu %lu", program,
             (unsigned long)(uintptr_t)objects->mapping, (unsigned long)(uintptr_t)objects->helperEvent,
             (unsigned long)(uintptr_t)objects->hostEvent, (unsigned long)(uintptr_t)objects->host);
    const HANDLE handles[4] = {objects->mapping, objects->helperEvent, objects->hostEvent, objects->host};
    return StartInheriting(program, commandLine, handles, 4, NULL, started);
}
