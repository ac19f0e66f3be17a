#include "server/HostResult.h"

#include "server/OleErrors.h"

void CheckHostResult(HRESULT result) {
    if (FAILED(result)) throw EOleException("", result, "", "", 0);
}

void CheckPlatformResult(HRESULT result) {
    if (FAILED(result)) throw EOleSysError("", result);
}

void InstallHostResultHook() {}

void RemoveHostResultHook() {}
