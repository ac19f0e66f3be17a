#include "transactor/FrameElement.h"

#include "guard/HostCallGuard.h"
#include "guard/HostOwners.h"
#include "util/UniqueVariant.h"

namespace {

// The stack left free below an object whose value is asked: room for the
// object's own call and for unwinding everything above it.
constexpr size_t StackRoomForAnObject = 64 * 1024;

// The object `value` holds, directly, by reference, or in the variant it
// refers to (one level, as far as the platform's conversion follows it).
IDispatch* HeldObject(const VARIANT& value) noexcept {
    const VARIANT* held = &value;
    if (V_VT(held) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(held)) held = V_VARIANTREF(held);
    if (V_VT(held) == VT_DISPATCH) return V_DISPATCH(held);
    if (V_VT(held) == (VT_DISPATCH | VT_BYREF) && V_DISPATCHREF(held)) return *V_DISPATCHREF(held);
    return nullptr;
}

HRESULT IntegerOfObject(IDispatch& object, int64_t& integer) {
    RequireStackRoom(StackRoomForAnObject);
    HostVariant value;
    DISPPARAMS noArguments{};
    const HRESULT asked = CallHost([&] {
        return object.Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArguments,
                             &value.Get(), nullptr, nullptr);
    });
    if (FAILED(asked)) return DISP_E_TYPEMISMATCH;
    const HRESULT converted = IntegerOfElement(value.Get(), integer);
    value.Clear();
    return converted;
}

}  // namespace

HRESULT IntegerOfElement(const VARIANT& element, int64_t& integer) {
    if (IDispatch* object = CallHost([&element] { return HeldObject(element); }))
        return IntegerOfObject(*object, integer);
    // The platform only reads its source, whatever its declaration says.
    UniqueVariant converted;
    VARIANT& source = const_cast<VARIANT&>(element);
    const HRESULT result = CallHost([&] { return VariantChangeType(&converted.Get(), &source, 0, VT_I8); });
    if (SUCCEEDED(result)) integer = V_I8(&converted.Get());
    return result;
}
