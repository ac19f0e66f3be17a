#pragma once
// Cuts a parameter's field out of the frame that the host passes to Explain.

#include "util/StackBuffer.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string_view>

// The bytes of the elements with the array's own indexes `first` to
// `first + count - 1` when `data` holds a one-dimensional array of single
// bytes that has all of them, else null: where they can be read in place,
// without a lock.
const char* ContiguousFrameBytes(const VARIANT& data, int64_t first, int64_t count) noexcept;

// The low 8 bits of the elements with the array's own indexes start - 1 to
// start - 1 + count - 1, as a byte string. The array is read in place and
// left as it was; `data` holds a one-dimensional array of integers or
// VARIANTs, by value or by reference. A count of 0 or less gives an empty
// field without looking at `data`. Data that is no such array, or an array
// with bounds but no data, raises EOleSysError (DISP_E_TYPEMISMATCH) before
// any element is read; an element that cannot be read raises it
// (DISP_E_BADINDEX, DISP_E_TYPEMISMATCH) there, so a count larger than the
// array fails at the first index past its end. A fault inside the host's
// memory or objects raises EProcessorFault with the array unlocked again.
class FrameField {
public:
    FrameField(const VARIANT& data, LONG start, LONG count);
    FrameField(const FrameField&) = delete;
    FrameField& operator=(const FrameField&) = delete;

    std::string_view Bytes() const noexcept { return FBytes.View(); }

private:
    StackBuffer<char> FBytes;
};
