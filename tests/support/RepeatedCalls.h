#pragma once
// Explain and Obscure for tests that repeat them many times on a fake
// parameter object: the out-arguments are the call's own, and the fake's call
// log is cleared afterwards, so that nothing of the test grows from call to
// call.

#include "fakes/FakeParam.h"
#include "util/UniqueVariant.h"

inline HRESULT ExplainOnce(IParamTransactor& transactor, FakeParam& host, const VARIANT& data, LONG dataLength) {
    LONG status = 0;
    const HRESULT result = transactor.Explain(&host, data, dataLength, &status);
    host.Calls.clear();
    return result;
}

inline HRESULT ObscureOnce(IParamTransactor& transactor, FakeParam& host) {
    UniqueVariant data;
    LONG count = 0, status = 0;
    const HRESULT result = transactor.Obscure(&host, &data.Get(), &count, &status);
    host.Calls.clear();
    return result;
}
