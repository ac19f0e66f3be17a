// param_host: a stand-in for the host application on the command line. It
// reaches the component through COM, runs one operation with a parameter
// object of its own and prints what the host would see.

#include "capture/CaptureCommands.h"
#include "check/CheckCommand.h"
#include "check/SubjectChild.h"
#include "common/CommandLine.h"
#include "common/ComponentConnection.h"
#include "common/ConsoleOutput.h"
#include "common/HostFailure.h"
#include "common/OutputFormat.h"
#include "HelpText.h"
#include "rules/RulesCheck.h"
#include "run/ExtensionLibraries.h"
#include "run/HostOperations.h"
#include "run/OutcomeFormat.h"
#include "VersionReport.h"

#include <objbase.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

void Write(FILE* stream, const std::string& utf8) { WriteOutput(stream, utf8); }

void Tell(const std::wstring& line) { Write(stderr, "param_host: " + Utf8FromWide(line) + "\n"); }

// Keeps the thread in a single-threaded apartment, as the host's thread is.
class Apartment {
public:
    Apartment() {
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            throw HostUnavailable(L"COM could not be initialised");
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    ~Apartment() { CoUninitialize(); }
};

int Run(const std::vector<std::wstring>& programArguments) {
    if (IsSubjectChildCommand(programArguments)) return RunSubjectChild(programArguments);
    const std::vector<std::wstring> arguments = TakeCaptureOption(programArguments);
    if (IsCaptureCommand(arguments)) {
        Apartment apartment;
        const CaptureCommandRun run = RunCaptureCommand(arguments, [] { return CreateTransactor(Tell); });
        Write(stdout, run.output);
        return run.exitCode;
    }
    if (IsRulesCheck(arguments)) {
        const RulesCheckOutcome outcome = RunRulesCheck(arguments);
        Write(stdout, outcome.output);
        return outcome.exitCode;
    }
    if (IsCheckCommand(arguments)) {
        Apartment apartment;
        const CheckRun run = RunCheckCommand(arguments, [] { return CreateTransactor(Tell); }, Tell);
        Write(stdout, run.output);
        return run.exitCode;
    }
    const CommandLine commandLine = ParseCommandLine(arguments);
    if (commandLine.help) {
        Write(stdout, HelpText());
        return ExitSucceeded;
    }
    if (commandLine.version) {
        Write(stdout, VersionReport(commandLine.request.json));
        return ExitSucceeded;
    }
    const HostRequest& request = commandLine.request;
    Apartment apartment;
    Outcome outcome;
    {
        ExtensionTracer tracer;
        const auto transactor = CreateTransactor(Tell);
        const LibraryPaths libraries = request.trace ? tracer.Route(request.libraries) : request.libraries;
        for (const std::wstring& warning : PutLibraries(*transactor.Get(), libraries)) Tell(warning);
        outcome = RunOperation(*transactor.Get(), request, request.trace ? &tracer : nullptr);
    }
    Write(stdout, request.json ? FormatJson(outcome, request.trace) : FormatText(outcome, request.trace));
    return SUCCEEDED(outcome.result) ? ExitSucceeded : ExitOperationFailed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    try {
        return Run(std::vector<std::wstring>(argv + 1, argv + argc));
    } catch (const HostFailure& failure) {
        Tell(failure.message);
        return failure.exitCode;
    } catch (const std::exception& error) {
        const std::string what = error.what();
        Tell(L"unexpected failure: " + std::wstring(what.begin(), what.end()));
        return ExitHostUnavailable;
    }
}
