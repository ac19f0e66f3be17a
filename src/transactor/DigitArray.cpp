#include "transactor/DigitArray.h"

#include "server/HostResult.h"
#include "util/Exception.h"
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

    for (LONG i = 0; i < static_cast<LONG>(digits.size()); ++i) {
        BYTE value = DigitValue(digits[static_cast<size_t>(i)]);
        CheckPlatformResult(SafeArrayPutElement(V_ARRAY(&data), &i, &value));
    }
}
