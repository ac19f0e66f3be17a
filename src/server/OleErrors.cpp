#include "server/OleErrors.h"

#include "server/TrimTrailingPunctuation.h"

#include <cstdio>

namespace {

// The system's text for `errorCode`, without trailing blanks and periods;
// empty when the system has none.
std::string SystemMessage(HRESULT errorCode) {
    char buffer[256];
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ARGUMENT_ARRAY, nullptr,
                                        static_cast<DWORD>(errorCode), 0, buffer, sizeof buffer, nullptr);
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
