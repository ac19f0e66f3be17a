#pragma once
// The exception classes the frame raises, all derived from Exception.

#include "util/Exception.h"

#include <windows.h>

// Type information errors at start-up.
class EOleError : public Exception {
public:
    using Exception::Exception;
};

// A failing platform call: carries its HRESULT. An empty message is replaced
// by the system's text for the code (less its trailing blanks and periods),
// or, when the system has none, by "OLE error XXXXXXXX" (eight upper-case
// hexadecimal digits).
class EOleSysError : public EOleError {
public:
    EOleSysError(std::string message, HRESULT errorCode, int32_t helpContext = 0);
    HRESULT ErrorCode() const noexcept { return FErrorCode; }

private:
    HRESULT FErrorCode;
};

// A failing host call, with the host's error information folded in. The
// message loses its trailing blanks and periods first; what is left empty is
// replaced as for EOleSysError.
class EOleException : public EOleSysError {
public:
    EOleException(std::string message, HRESULT errorCode, std::string source, std::string helpFile,
                  int32_t helpContext);
    const std::string& Source() const noexcept { return FSource; }
    const std::string& HelpFile() const noexcept { return FHelpFile; }

private:
    std::string FSource;
    std::string FHelpFile;
};

// A failing registry write during self-registration.
class EOleRegistrationError : public EOleError {
public:
    using EOleError::EOleError;
};

// A failing host call while no host-result hook is installed.
class ESafecallException : public Exception {
public:
    ESafecallException() : Exception("Exception in safecall method") {}
};
