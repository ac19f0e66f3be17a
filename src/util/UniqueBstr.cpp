#include "util/UniqueBstr.h"

#include <climits>
#include <new>

UniqueBstr UniqueBstr::Copy(std::wstring_view text) {
    if (text.empty()) return UniqueBstr();
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!copy) throw std::bad_alloc();
    return UniqueBstr(copy);
}

UniqueBstr UniqueBstr::Allocate(size_t length) {
    if (length == 0) return UniqueBstr();
    if (length > UINT_MAX / sizeof(wchar_t)) throw std::bad_alloc();
    BSTR text = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!text) throw std::bad_alloc();
    return UniqueBstr(text);
}
