#include "util/UniqueBstr.h"

#include <new>

UniqueBstr UniqueBstr::Copy(std::wstring_view text) {
    if (text.empty()) return UniqueBstr();
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!copy) throw std::bad_alloc();
    return UniqueBstr(copy);
}
