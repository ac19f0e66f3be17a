#include "errors/MethodGuard.h"

#include "errors/HResultFromException.h"

namespace {

// The server has no help file.
constexpr wchar_t HelpFilePath[] = L"";

}  // namespace

HRESULT HResultFromCurrentException(REFIID interfaceId, const wchar_t* progId) noexcept {
    return HResultFromException(std::current_exception(), interfaceId, progId, HelpFilePath);
}
