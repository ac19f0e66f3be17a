#include "check/CheckCommand.h"

#include "check/CheckFormat.h"
#include "check/ExtensionCheck.h"

#include "CommandLine.h"
#include "IsolatedLibrary.h"
#include "HostFailure.h"

#include <algorithm>

namespace {

constexpr char CheckHelp[] = R"(param_host check: tells an extension's author what will go wrong in the host.

Usage:
  param_host check EXTENSION.dll [--json] [--param-ids LIST] [--cycles N]
                                 [--edit] [--late-ms N] [--budget SECONDS]

The library runs in a child process of the checker, never in the checker
itself: a crash, a damaged heap, a call that never returns, exit() or abort()
is reported like any other problem, and the check goes on in a new child.
It reports, each problem with its reason and its fix:
  - which of ExplainParam, ObscureParam, EditParam it exports under the exact
    names the component looks up, or decorated or in other case; other
    exports are listed as not used and never called;
  - the calling convention: the bytes of arguments each entry point removes
    from the stack (__stdcall: 44, 44 and 12);
  - its behaviour under the inputs the host sends (empty, 1 to 10,000 bytes,
    zero bytes and 0xFF, GBK text) with each parameter id tried: faults,
    calls that end the process or damage its heap, texts without their
    terminating zero, writes past the 4096 bytes of a buffer, digit texts
    with other characters or empty, texts that are not GBK or were written
    in UTF-8, and the processor state it leaves changed (EBX, ESI, EDI, EBP,
    direction flag, x87 stack and control word, MXCSR);
  - the IParam methods it calls, and calls on a kept IParam after the call
    returned, watched for a while after the last call;
  - what every call and every unload leaves behind (heap, address space,
    handles, TLS slots, threads), and when the host would fail;
  - its speed on a typical field, next to the component's built-in path (more
    than 1 ms per call is a problem);
  - for the rules extension (under any file name), the rules file it reads,
    as check-rules reports it.

Options:
  --json              print one JSON object instead of text
  --param-ids LIST    parameter ids to try: numbers and ranges, 1-16,5000
                      (default 0-15; at most 1024 ids)
  --cycles N          load and free cycles (default 200; 0 skips them)
  --edit              also call EditParam, 3 times (it may open a window)
  --late-ms N         how long to watch for late IParam calls (default 2000)
  --budget SECONDS    time for the whole check (default 60); a progress line
                      every 5 s on a terminal

Exit status: 0 no problem found; 1 problems found; 2 bad input (no library,
a library that cannot be loaded, an unknown option).

Example:
  param_host check MyExtension.dll --param-ids 1-16,5000
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

int Positive(const std::wstring& option, const std::wstring& text) {
    const int value = NonNegative(option, text);
    if (value == 0) throw BadInput(option + L": '" + text + L"' must be at least 1");
    return value;
}

// Each id travels on the command line of the child that hosts the library.
constexpr size_t MostParamIds = 1024;

// "1-16,5000": numbers and ranges, separated by commas.
std::vector<int32_t> ParseParamIds(const std::wstring& option, const std::wstring& text) {
    std::vector<int32_t> ids;
    const auto bad = [&](const std::wstring& why) {
        return BadInput(option + L": '" + text + L"' " + why + L" (numbers and ranges, as in 1-16,5000)");
    };
    for (size_t start = 0; start <= text.size();) {
        const size_t comma = std::min(text.find(L',', start), text.size());
        const std::wstring item = text.substr(start, comma - start);
        const size_t dash = item.find(L'-', 1);
        const LONG first = ParseNumberOption(option, item.substr(0, dash));
        const LONG last = dash == std::wstring::npos ? first : ParseNumberOption(option, item.substr(dash + 1));
        if (last < first) throw bad(L"has a range that ends before it starts");
        if (static_cast<size_t>(last - first) + ids.size() >= MostParamIds)
            throw bad(L"names more than " + std::to_wstring(MostParamIds) + L" ids");
        for (LONG id = first; id <= last; ++id) ids.push_back(static_cast<int32_t>(id));
        start = comma + 1;
    }
    return ids;
}

bool IsTerminal(DWORD stream) { return GetFileType(GetStdHandle(stream)) == FILE_TYPE_CHAR; }

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
            commandLine.options.paramIds = ParseParamIds(argument, value());
        else if (argument == L"--edit")
            commandLine.options.edit = true;
        else if (argument == L"--late-ms")
            commandLine.options.lateMs = NonNegative(argument, value());
        else if (argument == L"--budget")
            commandLine.options.budgetSeconds = Positive(argument, value());
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
                         const std::function<Microsoft::WRL::ComPtr<IParamTransactor>()>& component,
                         const std::function<void(const std::wstring&)>& progress) {
    const CheckCommandLine commandLine = ParseCheckCommandLine(arguments);
    if (commandLine.help) return {CheckHelp, ExitSucceeded};
    CheckOptions options = commandLine.options;
    options.library = LibraryBehindIsolation(options.library);  // an isolated copy: the real library
    if (IsTerminal(STD_ERROR_HANDLE)) options.progress = progress;
    // The component is only needed to time its built-in path next to the extension.
    Microsoft::WRL::ComPtr<IParamTransactor> transactor;
    try {
        transactor = component();
    } catch (const HostFailure&) {
    }
    const CheckReport report = CheckExtension(options, transactor.Get());
    return {commandLine.json ? FormatCheckJson(report) : FormatCheckText(report),
            report.findings.empty() ? ExitSucceeded : ExitOperationFailed};
}
