#pragma once
// A failure that ends the program before or around the operation, with the
// message the user reads and the exit code the program returns.

#include <string>

enum ExitCode : int {
    ExitSucceeded = 0,
    ExitOperationFailed = 1,   // the component answered with a failing HRESULT
    ExitBadInput = 2,          // the command line or a file it names is wrong
    ExitHostUnavailable = 3,   // no component, no registration or no display
};

struct HostFailure {
    std::wstring message;
    ExitCode exitCode;
};

inline HostFailure BadInput(std::wstring message) { return {std::move(message), ExitBadInput}; }
inline HostFailure HostUnavailable(std::wstring message) { return {std::move(message), ExitHostUnavailable}; }
