#include "transactor/FrameField.h"

#include "errors/HostResult.h"
#include "errors/OleErrors.h"
#include "util/SafeArrayLockGuard.h"
#include "util/UniqueVariant.h"

#include <cstdint>

namespace {

[[noreturn]] void RaiseNotAnArray(const char* reason) {
    throw EOleSysError(std::string("The frame data ") + reason, DISP_E_TYPEMISMATCH);
}

// The array that `data` holds, by value or by reference.
SAFEARRAY& HeldArray(const VARIANT& data) {
    if ((V_VT(&data) & VT_ARRAY) == 0) RaiseNotAnArray("holds no array");
    SAFEARRAY* array = nullptr;
    if ((V_VT(&data) & VT_BYREF) == 0)
        array = V_ARRAY(&data);
    else if (V_ARRAYREF(&data))
        array = *V_ARRAYREF(&data);
    if (!array) RaiseNotAnArray("holds no array");
    if (SafeArrayGetDim(array) != 1) RaiseNotAnArray("is not a one-dimensional array");
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

    // The low 8 bits of the element with the array's own index `index`.
    uint8_t LowByteAt(int64_t index) const {
        void* element = ElementAt(index);
        if (FElementType == VT_VARIANT) return LowByteOf(*static_cast<VARIANT*>(element), index);
        // Integers are little-endian: the first byte of an element is its low 8 bits.
        return *static_cast<const uint8_t*>(element);
    }

private:
    // Elements are only read as what the array really holds: integers of the
    // stated size, or VARIANTs in an array that manages them as such.
    bool HoldsElementsOfItsType() const {
        const bool holdsVariants = (FArray.fFeatures & FADF_VARIANT) != 0;
        if (FElementType == VT_VARIANT) return holdsVariants && SafeArrayGetElemsize(&FArray) == sizeof(VARIANT);
        const ULONG size = IntegerSize(FElementType);
        return size != 0 && !holdsVariants && SafeArrayGetElemsize(&FArray) == size;
    }

    void* ElementAt(int64_t index) const {
        LONG arrayIndex = static_cast<LONG>(index);
        void* element = nullptr;
        if (arrayIndex != index || FAILED(SafeArrayPtrOfIndex(&FArray, &arrayIndex, &element)))
            throw EOleSysError("Frame index " + std::to_string(index) + " is outside the data array",
                               DISP_E_BADINDEX);
        return element;
    }

    // `element` is only read: VariantChangeType leaves its source as it was.
    static uint8_t LowByteOf(VARIANT& element, int64_t index) {
        UniqueVariant integer;
        const HRESULT result = VariantChangeType(&integer.Get(), &element, 0, VT_I8);
        if (FAILED(result))
            throw EOleSysError("Frame element " + std::to_string(index) + " holds no integer value", result);
        return static_cast<uint8_t>(V_I8(&integer.Get()));
    }

    SAFEARRAY& FArray;
    VARTYPE FElementType;
    SafeArrayLockGuard FLock;
};

}  // namespace

std::string ReadFrameField(const VARIANT& data, LONG start, LONG count) {
    std::string field;
    if (count <= 0) return field;
    const FrameArray frame(data);
    const int64_t firstIndex = int64_t{start} - 1;
    for (int64_t i = 0; i < count; ++i) field.push_back(static_cast<char>(frame.LowByteAt(firstIndex + i)));
    return field;
}
