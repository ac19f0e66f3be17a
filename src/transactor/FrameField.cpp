#include "transactor/FrameField.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "guard/HostCallGuard.h"
#include "transactor/FrameElement.h"
#include "util/SafeArrayLockGuard.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

[[noreturn]] void RaiseNotAnArray(const char* reason) {
    throw EOleSysError(std::string("The frame data ") + reason, DISP_E_TYPEMISMATCH);
}

// The one-dimensional array that `data` holds. The descriptor's own fields,
// as SafeArrayGetDim and SafeArrayGetElemsize answer them, are read directly:
// Explain reads them on every call.
SAFEARRAY& HeldArray(const VARIANT& data) {
    SAFEARRAY* array = FrameArrayOf(data);
    if (!array) RaiseNotAnArray("holds no array");
    if (array->cDims != 1) RaiseNotAnArray("is not a one-dimensional array");
    if (array->rgsabound[0].cElements != 0 && !array->pvData) RaiseNotAnArray("array has bounds but no data");
    return *array;
}

// The size of an element of the integer types a frame may be made of; 0 for other types.
ULONG IntegerSize(VARTYPE type) {
    switch (type) {
        case VT_I1: case VT_UI1: return 1;
        case VT_I2: case VT_UI2: return 2;
        case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: return 4;
        case VT_I8: case VT_UI8: return 8;
        default: return 0;
    }
}

// The frame array held locked while its elements are read in place.
class FrameArray {
public:
    explicit FrameArray(const VARIANT& data)
        : FArray(HeldArray(data)), FElementType(V_VT(&data) & VT_TYPEMASK), FLock(FArray) {
        CheckPlatformResult(FLock.Result());
        if (!HoldsElementsOfItsType()) RaiseNotAnArray("is not an array of integers or variants");
    }

    // The number of elements.
    ULONG ElementCount() const noexcept { return FArray.rgsabound[0].cElements; }

    // The low 8 bits of the element with the array's own index `index`. The
    // elements are the host's memory: they are read under the host-call guard.
    uint8_t LowByteAt(int64_t index) const {
        const void* element = ElementAt(index);
        if (FElementType == VT_VARIANT) return LowByteOf(*static_cast<const VARIANT*>(element), index);
        // Integers are little-endian: the first byte of an element is its low 8 bits.
        return CallHost([element] { return *static_cast<const volatile uint8_t*>(element); });
    }

private:
    // Elements are only read as what the array really holds: integers of the
    // stated size, or VARIANTs in an array that manages them as such.
    bool HoldsElementsOfItsType() const {
        const bool holdsVariants = (FArray.fFeatures & FADF_VARIANT) != 0;
        if (FElementType == VT_VARIANT) return holdsVariants && FArray.cbElements == sizeof(VARIANT);
        const ULONG size = IntegerSize(FElementType);
        return size != 0 && !holdsVariants && FArray.cbElements == size;
    }

    void* ElementAt(int64_t index) const {
        LONG arrayIndex = static_cast<LONG>(index);
        void* element = nullptr;
        if (arrayIndex != index || FAILED(SafeArrayPtrOfIndex(&FArray, &arrayIndex, &element)))
            throw EOleSysError("Frame index " + std::to_string(index) + " is outside the data array",
                               DISP_E_BADINDEX);
        return element;
    }

    static uint8_t LowByteOf(const VARIANT& element, int64_t index) {
        int64_t value = 0;
        const HRESULT result = IntegerOfElement(element, value);
        if (FAILED(result))
            throw EOleSysError("Frame element " + std::to_string(index) + " holds no integer value", result);
        return static_cast<uint8_t>(value);
    }

    SAFEARRAY& FArray;
    VARTYPE FElementType;
    SafeArrayLockGuard FLock;
};

}  // namespace

// The buffer is never longer than the array: an element index that the
// array does not have raises before a byte of it would be stored.
FrameField::FrameField(const VARIANT& data, LONG start, LONG count) {
    if (count <= 0) return;
    const int64_t firstIndex = int64_t{start} - 1;
    if (const char* bytes = ContiguousFrameBytes(data, firstIndex, count)) {
        FBytes.Resize(static_cast<size_t>(count));
        // The host's memory: copied under the host-call guard.
        CopyFromHost(bytes, static_cast<size_t>(count), FBytes.Data());
        return;
    }
    const FrameArray frame(data);
    FBytes.Resize(std::min<ULONG>(static_cast<ULONG>(count), frame.ElementCount()));
    for (int64_t i = 0; i < count; ++i) {
        const uint8_t byte = frame.LowByteAt(firstIndex + i);
        FBytes.Data()[i] = static_cast<char>(byte);
    }
}
