#include "RandomFrame.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

struct IntegerType {
    VARTYPE type;
    ULONG size;
    const char* name;
};

const IntegerType IntegerTypes[] = {{VT_UI1, 1, "UI1"}, {VT_I1, 1, "I1"},   {VT_I2, 2, "I2"},
                                    {VT_UI2, 2, "UI2"}, {VT_I4, 4, "I4"},   {VT_UI4, 4, "UI4"},
                                    {VT_INT, 4, "INT"}, {VT_UINT, 4, "UINT"}, {VT_I8, 8, "I8"},
                                    {VT_UI8, 8, "UI8"}};

}  // namespace

RandomFrame::RandomFrame(Random& random, std::string& description) {
    const LONG lowerBound = random.Percent(80) ? 0 : random.Between(-3, 3);
    FLength = random.Percent(95) ? random.Between(0, 40) : random.Between(0, 2000);
    const uint32_t kind = random.Below(100);
    description += "frame: ";
    if (kind < 45) {
        FillIntegers(random, VT_UI1, lowerBound, description);
    } else if (kind < 60) {
        const IntegerType& type = IntegerTypes[random.Below(std::size(IntegerTypes))];
        FillIntegers(random, type.type, lowerBound, description);
    } else if (kind < 82) {
        FLength = std::min<LONG>(FLength, 40);
        FillVariants(random, lowerBound, description);
    } else if (kind < 86) {
        description += "no array (I4)";
        V_VT(&FData.Get()) = VT_I4;
        V_I4(&FData.Get()) = 0x41;
    } else if (kind < 88) {
        description += "null array";
        V_VT(&FData.Get()) = VT_ARRAY | VT_UI1;
    } else if (kind < 91) {
        SAFEARRAYBOUND bounds[2] = {{2, 0}, {static_cast<ULONG>(FLength), 0}};
        description += "two dimensions";
        UseArray(SafeArrayCreate(VT_UI1, 2, bounds), VT_UI1);
    } else if (kind < 94) {
        description += "texts";
        UseArray(SafeArrayCreateVector(VT_BSTR, lowerBound, static_cast<ULONG>(FLength)), VT_BSTR);
    } else {
        description += "bounds without data, " + std::to_string(FLength) + " elements";
        SafeArrayAllocDescriptorEx(VT_UI1, 1, &FArray);
        FArray->cbElements = 1;
        FArray->rgsabound[0] = {static_cast<ULONG>(FLength), lowerBound};
        FWithoutData = true;
        V_VT(&FData.Get()) = VT_ARRAY | VT_UI1;
        V_ARRAY(&FData.Get()) = FArray;
    }
    if (FArray && random.Percent(10)) {
        description += ", by reference";
        FByReference = true;
        FArrayForReference = FArray;
        V_VT(&FReference) = VT_BYREF | V_VT(&FData.Get());
        V_ARRAYREF(&FReference) = &FArrayForReference;
    }
    for (const auto& object : FObjects) FBaselines.push_back(object->OutstandingReferences());
}

RandomFrame::~RandomFrame() {
    if (!FWithoutData) return;  // FData destroys the array and the elements' references
    V_VT(&FData.Get()) = VT_EMPTY;
    SafeArrayDestroyDescriptor(FArray);
}

void RandomFrame::UseArray(SAFEARRAY* array, VARTYPE type) {
    FArray = array;
    V_VT(&FData.Get()) = VT_ARRAY | type;
    V_ARRAY(&FData.Get()) = array;
}

void RandomFrame::FillIntegers(Random& random, VARTYPE type, LONG lowerBound, std::string& description) {
    UseArray(SafeArrayCreateVector(type, lowerBound, static_cast<ULONG>(FLength)), type);
    description += "integers of type " + std::to_string(type) + ", lower bound " + std::to_string(lowerBound) +
                   ", " + std::to_string(FLength) + " elements";
    const bool hexDigits = random.Percent(50);
    auto* bytes = static_cast<unsigned char*>(FArray->pvData);
    for (ULONG i = 0; i < FLength * FArray->cbElements; ++i)
        bytes[i] = hexDigits ? static_cast<unsigned char>("0123456789ABCDEFabcdefXZ"[random.Below(24)])
                             : static_cast<unsigned char>(random.Below(256));
}

void RandomFrame::FillVariants(Random& random, LONG lowerBound, std::string& description) {
    UseArray(SafeArrayCreateVector(VT_VARIANT, lowerBound, static_cast<ULONG>(FLength)), VT_VARIANT);
    description += "variants, lower bound " + std::to_string(lowerBound) + ":";
    for (LONG i = 0; i < FLength; ++i) {
        UniqueVariant element;
        RandomElement(random, element.Get(), description);
        LONG index = lowerBound + i;
        SafeArrayPutElement(FArray, &index, &element.Get());
    }
}

void RandomFrame::RandomElement(Random& random, VARIANT& element, std::string& description) {
    const uint32_t kind = random.Below(100);
    auto object = [&](FakeDispatch::Answer answer, const char* name) {
        FObjects.push_back(std::make_unique<FakeDispatch>(answer, random.Between(-300, 300)));
        V_VT(&element) = VT_DISPATCH;
        V_DISPATCH(&element) = FObjects.back().get();
        V_DISPATCH(&element)->AddRef();  // the element's own reference, released with it
        description += name;
    };
    if (kind < 40) {
        V_VT(&element) = VT_I4;
        V_I4(&element) = random.Between(-100000, 100000);
        description += " I4";
    } else if (kind < 50) {
        V_VT(&element) = VT_BSTR;
        V_BSTR(&element) = SysAllocString(random.Pick<const wchar_t*>({L"65", L"-1", L"abc", L"", L"1e3", L"0x41"}));
        description += " text";
    } else if (kind < 56) {
        V_VT(&element) = random.Pick<VARTYPE>({VT_EMPTY, VT_NULL, VT_ERROR});
        description += " nothing";
    } else if (kind < 62) {
        V_VT(&element) = VT_R8;
        V_R8(&element) = random.Between(-1000, 1000) / 7.0;
        description += " R8";
    } else if (kind < 75) {
        object(FakeDispatch::Answer::Number, " object(number)");
    } else if (kind < 82) {
        object(FakeDispatch::Answer::Failure, " object(failure)");
    } else if (kind < 90) {
        object(FakeDispatch::Answer::Fault, " object(fault)");
    } else if (kind < 91) {
        object(FakeDispatch::Answer::Itself, " object(itself)");
    } else if (kind < 93) {
        // An object whose value is another object, whose Release faults.
        FakeDispatch& value =
            *FObjects.emplace_back(std::make_unique<FakeDispatch>(FakeDispatch::Answer::Number, random.Between(0, 9)));
        value.FaultOnRelease = true;
        FObjects.push_back(std::make_unique<FakeDispatch>(value));
        V_VT(&element) = VT_DISPATCH;
        V_DISPATCH(&element) = FObjects.back().get();
        V_DISPATCH(&element)->AddRef();  // the element's own reference, released with it
        description += " object(value whose release faults)";
    } else if (kind < 95) {
        VARIANT& referred = FReferredVariants.emplace_back();
        V_VT(&referred) = VT_I2;
        V_I2(&referred) = static_cast<SHORT>(random.Between(-500, 500));
        V_VT(&element) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(&element) = &referred;
        description += " variant by reference";
    } else {
        V_VT(&element) = VT_DISPATCH;
        V_DISPATCH(&element) = nullptr;
        description += " null object";
    }
}

bool RandomFrame::Faulted() const {
    for (const auto& object : FObjects)
        if (object->Requests() > 0 && (object->Kind() == FakeDispatch::Answer::Fault ||
                                       object->Kind() == FakeDispatch::Answer::Itself ||
                                       object->Kind() == FakeDispatch::Answer::Other))
            return true;
    return false;
}

std::string RandomFrame::LeftBehind() const {
    std::string left;
    if (FArray && FArray->cLocks != 0) left += "the frame array locked " + std::to_string(FArray->cLocks) + " times; ";
    for (size_t i = 0; i < FObjects.size(); ++i) {
        const LONG extra = FObjects[i]->OutstandingReferences() - FBaselines[i];
        if (extra != 0) left += "object " + std::to_string(i) + " with " + std::to_string(extra) + " references more; ";
    }
    return left;
}
