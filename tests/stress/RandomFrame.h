#pragma once
// A frame for Explain as a host with bugs of its own might pass it: byte or
// other integer arrays with any bounds and length, VARIANT arrays whose
// elements hold numbers, texts, nothing, or objects that answer a number,
// fail, fault or answer themselves without end; arrays held by reference,
// of two dimensions, of the wrong element type, with bounds but no data, and
// data that is no array at all.

#include "Random.h"
#include "fakes/FakeDispatch.h"
#include "util/UniqueVariant.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class RandomFrame {
public:
    RandomFrame(Random& random, std::string& description);
    ~RandomFrame();
    RandomFrame(const RandomFrame&) = delete;
    RandomFrame& operator=(const RandomFrame&) = delete;

    const VARIANT& Data() const { return FByReference ? FReference : FData.Get(); }
    // The elements, for choosing a field that mostly lies inside them.
    LONG Length() const { return FLength; }
    // Whether an element's object faulted, or answered itself until the stack ran short.
    bool Faulted() const;
    // What the call left behind: a lock on the array, a reference on an element's object.
    std::string LeftBehind() const;

private:
    void FillIntegers(Random& random, VARTYPE type, LONG lowerBound, std::string& description);
    void FillVariants(Random& random, LONG lowerBound, std::string& description);
    void RandomElement(Random& random, VARIANT& element, std::string& description);
    void UseArray(SAFEARRAY* array, VARTYPE type);

    // The objects outlive the frame, whose destruction releases its references on them.
    std::vector<std::unique_ptr<FakeDispatch>> FObjects;
    std::vector<LONG> FBaselines;
    std::deque<VARIANT> FReferredVariants;  // what VT_BYREF | VT_VARIANT elements point at
    UniqueVariant FData;
    SAFEARRAY* FArray = nullptr;  // the array in FData, or a descriptor without data (owned here)
    SAFEARRAY* FArrayForReference = nullptr;
    VARIANT FReference{};
    bool FByReference = false;
    bool FWithoutData = false;
    LONG FLength = 0;
};
