#include "errors/OleErrors.h"

#include "guard/FaultGuard.h"
#include "errors/TrimTrailingPunctuation.h"

#include <cstdio>

namespace {

// The system's text for `errorCode`, without trailing blanks and periods;
// empty when the system has none. Some system texts have inserts ("%1 is not
// a valid Win32 application") that FormatMessageA fills from the argument
// array, here none: it may fault reading them, so it runs under the fault
// guard and a fault counts as no text.
std::string SystemMessage(HRESULT errorCode) {
    char buffer[256];
    const GuardedCallOutcome formatted = CallUnderFaultGuard(
        GuardedEntry(&FormatMessageA),
        {FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, 0, static_cast<uint32_t>(errorCode), 0,
         static_cast<uint32_t>(reinterpret_cast<uintptr_t>(buffer)), sizeof buffer, 0});
    const DWORD length = formatted.completed ? static_cast<DWORD>(formatted.result) : 0;
    return TrimTrailingPunctuation({buffer, length});
}

// "OLE error 8000FFFF": the code in eight upper-case hexadecimal digits.
std::string OleErrorMessage(HRESULT errorCode) {
    char text[32];
    std::snprintf(text, sizeof text, "OLE error %.8lX", static_cast<unsigned long>(errorCode));
    return text;
}

}  // namespace

EOleSysError::EOleSysError(std::string message, HRESULT errorCode, int32_t helpContext)
    : EOleError(std::move(message), helpContext), FErrorCode(errorCode) {
    if (Message().empty()) SetMessage(SystemMessage(errorCode));
    if (Message().empty()) SetMessage(OleErrorMessage(errorCode));
}

EOleException::EOleException(std::string message, HRESULT errorCode, std::string source, std::string helpFile,
                             int32_t helpContext)
    : EOleSysError(TrimTrailingPunctuation(message), errorCode, helpContext),
      FSource(std::move(source)),
      FHelpFile(std::move(helpFile)) {}
