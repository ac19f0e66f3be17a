#include "transactor/DigitArray.h"

#include "errors/HostResult.h"
#include "util/Exception.h"
#include "util/SafeArrayLockGuard.h"
#include "util/UniqueSafeArray.h"

#include <new>
#include <string>

namespace {

BYTE DigitValue(char digit) {
    if (digit < '0' || digit > '9') throw Exception("'" + std::string(1, digit) + "' is not a valid integer value");
    return static_cast<BYTE>(digit - '0');
}

}  // namespace

void StoreDigitArray(VARIANT& data, std::string_view digits) {
    UniqueSafeArray array(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(digits.size())));
    if (!array.Get()) throw std::bad_alloc();
    CheckPlatformResult(VariantClear(&data));
    V_VT(&data) = VT_ARRAY | VT_UI1;
    V_ARRAY(&data) = array.Release();

    // Each element is written as soon as its digit is read, so that the
    // elements before a bad digit hold their values when it raises.
    SAFEARRAY& stored = *V_ARRAY(&data);
    const SafeArrayLockGuard lock(stored);
    CheckPlatformResult(lock.Result());
    BYTE* elements = static_cast<BYTE*>(stored.pvData);
    for (size_t i = 0; i < digits.size(); ++i) elements[i] = DigitValue(digits[i]);
}
