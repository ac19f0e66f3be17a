#pragma once
// Sole owner of a VARIANT's content: initialised empty, cleared on destruction.

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
