#include "server/OleErrors.h"

#include <cstdio>

EOleSysError::EOleSysError(std::string message, HRESULT errorCode, int32_t helpContext)
    : EOleError(std::move(message), helpContext), FErrorCode(errorCode) {
    if (Message().empty()) {
        char text[32];
        std::snprintf(text, sizeof text, "OLE error %.8lX", static_cast<unsigned long>(errorCode));
        SetMessage(text);
    }
}

EOleException::EOleException(std::string message, HRESULT errorCode, std::string source, std::string helpFile,
                             int32_t helpContext)
    : EOleSysError(std::move(message), errorCode, helpContext),
      FSource(std::move(source)),
      FHelpFile(std::move(helpFile)) {}
