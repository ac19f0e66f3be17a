#include "check/CheckCommand.h"

#include "check/CheckFormat.h"
#include "check/ExtensionCheck.h"

#include "CommandLine.h"
#include "IsolatedLibrary.h"
#include "HostFailure.h"

namespace {

constexpr char CheckHelp[] = R"(param_host check: tells an extension's author what will go wrong in the host.

Usage:
  param_host check EXTENSION.dll [--json] [--cycles N] [--param-ids N]

It loads the library into its own process and reports, each problem with its
reason and its fix:
  - which of ExplainParam, ObscureParam, EditParam it exports under the exact
    names the component looks up, and decorated or misspelt names;
  - the calling convention: the bytes of arguments each entry point removes
    from the stack (__stdcall: 44, 44 and 12);
  - its behaviour under the inputs the host sends (empty, 1 to 10,000 bytes,
    zero bytes and 0xFF, GBK text) with parameter ids 0 to N: faults, texts
    without their terminating zero, writes past the 4096 bytes of a buffer,
    digit texts with other characters or empty, texts written in UTF-8,
    clobbered registers, declining everything;
  - the IParam methods it calls, and calls made after an entry point returned;
  - what every unload leaves behind (thread-local storage slots, handles,
    heap) over N load and free cycles, and how many loads the host survives;
  - its speed on a typical field, next to the component's built-in path;
  - for FieldRules.dll, the rules file it reads, as check-rules reports it.

Options:
  --json          print one JSON object instead of text
  --cycles N      load and free cycles (default 200; 0 skips them)
  --param-ids N   try parameter ids 0 to N (default 15)

Exit status: 0 no problem found; 1 problems found; 2 bad input (no library,
a library that cannot be loaded, an unknown option); 3 the component is not
available.

Example:
  param_host check MyExtension.dll
)";

struct CheckCommandLine {
    bool help = false;
    bool json = false;
    CheckOptions options;
};

int NonNegative(const std::wstring& option, const std::wstring& text) {
    const LONG value = ParseNumberOption(option, text);
    if (value < 0) throw BadInput(option + L": '" + text + L"' is negative");
    return static_cast<int>(value);
}

CheckCommandLine ParseCheckCommandLine(const std::vector<std::wstring>& arguments) {
    CheckCommandLine commandLine;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const auto value = [&]() -> const std::wstring& {
            if (i + 1 >= arguments.size()) throw BadInput(argument + L" needs a value (see check --help)");
            return arguments[++i];
        };
        if (argument == L"--help" || argument == L"-h")
            commandLine.help = true;
        else if (argument == L"--json")
            commandLine.json = true;
        else if (argument == L"--cycles")
            commandLine.options.cycles = NonNegative(argument, value());
        else if (argument == L"--param-ids")
            commandLine.options.highestParamId = NonNegative(argument, value());
        else if (argument.starts_with(L"-"))
            throw BadInput(L"unknown option '" + argument + L"' for check (see check --help)");
        else if (!commandLine.options.library.empty())
            throw BadInput(L"check takes one library, not also '" + argument + L"'");
        else
            commandLine.options.library = argument;
    }
    if (!commandLine.help && commandLine.options.library.empty())
        throw BadInput(L"check needs an extension library: param_host check EXTENSION.dll (see check --help)");
    return commandLine;
}

}  // namespace

bool IsCheckCommand(const std::vector<std::wstring>& arguments) {
    return !arguments.empty() && arguments[0] == L"check";
}

CheckRun RunCheckCommand(const std::vector<std::wstring>& arguments,
                         const std::function<Microsoft::WRL::ComPtr<IParamTransactor>()>& component) {
    const CheckCommandLine commandLine = ParseCheckCommandLine(arguments);
    if (commandLine.help) return {CheckHelp, ExitSucceeded};
    const Microsoft::WRL::ComPtr<IParamTransactor> transactor = component();
    CheckOptions options = commandLine.options;
    options.library = LibraryBehindIsolation(options.library);  // an isolated copy: the real library
    const CheckReport report = CheckExtension(options, transactor.Get());
    return {commandLine.json ? FormatCheckJson(report) : FormatCheckText(report),
            report.findings.empty() ? ExitSucceeded : ExitOperationFailed};
}
