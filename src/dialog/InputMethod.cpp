#include "dialog/InputMethod.h"

#include <windows.h>
#include <imm.h>

#include <string_view>
#include <vector>

namespace {

HKL DefaultKeyboardLayout() noexcept {
    HKL layout = nullptr;
    SystemParametersInfoW(SPI_GETDEFAULTINPUTLANG, 0, &layout, 0);
    return layout;
}

HKL InstalledInputMethod(std::wstring_view name) {
    std::vector<HKL> layouts(static_cast<size_t>(GetKeyboardLayoutList(0, nullptr)));
    layouts.resize(static_cast<size_t>(GetKeyboardLayoutList(static_cast<int>(layouts.size()), layouts.data())));
    for (HKL layout : layouts) {
        wchar_t description[256] = {};
        if (ImmIsIME(layout) && ImmGetDescriptionW(layout, description, 256) > 0 && name == description) return layout;
    }
    return nullptr;
}

void Activate(HKL layout) noexcept {
    if (layout) ActivateKeyboardLayout(layout, 0);
}

}  // namespace

void ActivateInputMethod(const wchar_t* name) noexcept {
    try {
        const HKL inputMethod = InstalledInputMethod(name);
        Activate(inputMethod ? inputMethod : DefaultKeyboardLayout());
    } catch (...) {
        Activate(DefaultKeyboardLayout());
    }
}

void ActivateDefaultInputMethod() noexcept { Activate(DefaultKeyboardLayout()); }
