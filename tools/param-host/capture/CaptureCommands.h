#pragma once
// The capture family of param_host's commands: `replay` and `capture-show`,
// and the `--capture FOLDER` option of the others.

#include "contracts/Vantrel_TLB.h"

#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

struct CaptureCommandRun {
    std::string output;  // UTF-8, for standard output
    int exitCode;
};

bool IsCaptureCommand(const std::vector<std::wstring>& arguments);

// `arguments` are the program's, the command first. `component` creates the
// component (replay only). Raises a HostFailure for bad input.
CaptureCommandRun RunCaptureCommand(const std::vector<std::wstring>& arguments,
                                    const std::function<Microsoft::WRL::ComPtr<IParamTransactor>()>& component);

// Takes `--capture FOLDER` out of the arguments and switches capture on for
// this process alone: through the environment, which the component reads
// before the user's registry key, never through the key itself.
std::vector<std::wstring> TakeCaptureOption(std::vector<std::wstring> arguments);
