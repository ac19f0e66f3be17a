#pragma once
// Sole owner of a VARIANT's content (a BSTR, an array, an interface):
// VariantClear on destruction.

#include <windows.h>
#include <oleauto.h>

class UniqueVariant {
public:
    UniqueVariant() noexcept { VariantInit(&FValue); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&FValue); }

    VARIANT& Get() noexcept { return FValue; }
    const VARIANT& Get() const noexcept { return FValue; }

private:
    VARIANT FValue;
};
