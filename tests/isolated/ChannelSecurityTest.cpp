// The channel's objects cannot be opened or made beforehand by another
// process: they have no name, and their security, read back, admits the
// host's user alone. (Under Wine every process runs as one user, so the
// security is read rather than tried.)
#include "ChannelObjects.h"

#include <windows.h>
#include <aclapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<BYTE> CurrentUserSid() {
    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    std::vector<BYTE> buffer(sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE);
    DWORD length = 0;
    GetTokenInformation(token, TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &length);
    CloseHandle(token);
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
    const BYTE* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + GetLengthSid(sid));
}

// The object's name as the system keeps it (empty: none).
std::wstring ObjectName(HANDLE object) {
    using QueryObject = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
    alignas(8) BYTE buffer[2048] = {};
    ULONG length = 0;
    if (query(object, static_cast<OBJECT_INFORMATION_CLASS>(1), buffer, sizeof buffer, &length) != 0)
        return L"(unreadable)";
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer);
    return std::wstring(name->Buffer ? name->Buffer : L"", name->Length / sizeof(wchar_t));
}

TEST(ChannelObjects, HaveNoNameAndAdmitTheHostsUserAlone) {
    ChannelObjects objects;
    ASSERT_TRUE(CreateChannelObjects(&objects, 1 << 20));
    const std::vector<BYTE> user = CurrentUserSid();
    const HANDLE shared[3] = {objects.mapping, objects.helperEvent, objects.hostEvent};
    for (HANDLE object : shared) {
        EXPECT_EQ(L"", ObjectName(object));
        DWORD flags = 0;
        ASSERT_TRUE(GetHandleInformation(object, &flags));
        EXPECT_EQ(0u, flags & HANDLE_FLAG_INHERIT) << "inheritable only for the moment of the helper's start";
        PACL dacl = nullptr;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_EQ(static_cast<DWORD>(ERROR_SUCCESS),
                  GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                  nullptr, &descriptor));
        ASSERT_NE(nullptr, dacl) << "a null DACL admits everyone";
        ASSERT_EQ(1u, dacl->AceCount);
        void* entry = nullptr;
        ASSERT_TRUE(GetAce(dacl, 0, &entry));
        const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, allowed->Header.AceType);
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        EXPECT_TRUE(EqualSid(sid, const_cast<BYTE*>(user.data())));
        LocalFree(descriptor);
    }
    CloseChannelObjects(&objects);
}

}  // namespace
