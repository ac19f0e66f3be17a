#pragma once
// The byte array that Obscure hands to the host: one element per digit.

#include <windows.h>
#include <oleauto.h>

#include <string_view>

// Releases what `data` held and stores in it a byte array with bounds 0 to
// n - 1 for the n bytes of `digits`; then sets element i to the value of
// digit i, in order. A byte that is not a decimal digit raises "'%s' is not a
// valid integer value"; the array stays in `data` with the elements before
// that byte set. A text of ASCII characters may be passed as it came from
// the host: its characters are its bytes.
void StoreDigitArray(VARIANT& data, std::string_view digits);
void StoreDigitArray(VARIANT& data, std::wstring_view asciiDigits);
