#include "transactor/DigitArray.h"

#include "errors/HostResult.h"
#include "guard/HostCallGuard.h"
#include "util/Exception.h"
#include "util/UniqueSafeArray.h"

#include <new>
#include <string>

namespace {

BYTE DigitValue(char digit) {
    if (digit < '0' || digit > '9') throw Exception("'" + std::string(1, digit) + "' is not a valid integer value");
    return static_cast<BYTE>(digit - '0');
}

template <typename Char>
void StoreDigits(VARIANT& data, std::basic_string_view<Char> digits) {
    UniqueSafeArray array(SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(digits.size())));
    if (!array.Get()) throw std::bad_alloc();
    // What the host's VARIANT held is the host's: released under the host-call guard.
    CheckPlatformResult(CallHost([&data] { return VariantClear(&data); }));
    V_VT(&data) = VT_ARRAY | VT_UI1;
    V_ARRAY(&data) = array.Release();

    // Each element is written as soon as its digit is read, so that the
    // elements before a bad digit hold their values when it raises. The
    // array is the one just made, and nothing else runs while it is filled:
    // its elements are written in place without locking it.
    BYTE* elements = static_cast<BYTE*>(V_ARRAY(&data)->pvData);
    for (size_t i = 0; i < digits.size(); ++i) elements[i] = DigitValue(static_cast<char>(digits[i]));
}

}  // namespace

void StoreDigitArray(VARIANT& data, std::string_view digits) { StoreDigits(data, digits); }

void StoreDigitArray(VARIANT& data, std::wstring_view asciiDigits) { StoreDigits(data, asciiDigits); }
