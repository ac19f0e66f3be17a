#pragma once
// Cuts a parameter's field out of the frame that the host passes to Explain.

#include "util/StackBuffer.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string_view>

// The array that `data` holds, by value or by reference; null for none.
inline SAFEARRAY* FrameArrayOf(const VARIANT& data) noexcept {
    if ((V_VT(&data) & VT_ARRAY) == 0) return nullptr;
    if ((V_VT(&data) & VT_BYREF) == 0) return V_ARRAY(&data);
    return V_ARRAYREF(&data) ? *V_ARRAYREF(&data) : nullptr;
}

// The bytes of the elements with the array's own indexes `first` to
// `first + count - 1` when `data` holds a one-dimensional array of single
// bytes that has all of them, else null: where they can be read in place.
// Such an array's elements lie one after the other behind the one bounds
// check, and looking each one up costs far more than copying it. Nothing
// else runs between this look and the copy, so the array is not locked for
// it; any other array is read element by element, locked. Inline: Explain
// asks on every call.
inline const char* ContiguousFrameBytes(const VARIANT& data, int64_t first, int64_t count) noexcept {
    const VARTYPE type = V_VT(&data) & VT_TYPEMASK;
    const SAFEARRAY* array = FrameArrayOf(data);
    if ((type != VT_UI1 && type != VT_I1) || !array || array->cDims != 1 || array->cbElements != 1 ||
        (array->fFeatures & FADF_VARIANT) != 0 || !array->pvData)
        return nullptr;
    const SAFEARRAYBOUND& bound = array->rgsabound[0];
    const int64_t offset = first - bound.lLbound;
    if (offset < 0 || offset + count > int64_t{bound.cElements}) return nullptr;
    return static_cast<const char*>(array->pvData) + offset;
}

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
