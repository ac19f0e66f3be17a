#pragma once
// Cuts a parameter's field out of the frame that the host passes to Explain.

#include "util/StackBuffer.h"

#include <windows.h>
#include <oleauto.h>

#include <string_view>

// The low 8 bits of the elements with the array's own indexes start - 1 to
// start - 1 + count - 1, as a byte string. The array is read in place and
// left as it was; `data` holds a one-dimensional array of integers or
// VARIANTs, by value or by reference. A count of 0 or less gives an empty
// field without looking at `data`. Raises EOleSysError (DISP_E_BADINDEX,
// DISP_E_TYPEMISMATCH) at the first element that cannot be read, so a count
// larger than the array fails there.
class FrameField {
public:
    FrameField(const VARIANT& data, LONG start, LONG count);
    FrameField(const FrameField&) = delete;
    FrameField& operator=(const FrameField&) = delete;

    std::string_view Bytes() const noexcept { return FBytes.View(); }

private:
    StackBuffer<char> FBytes;
};
