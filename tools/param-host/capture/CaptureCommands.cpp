#include "capture/CaptureCommands.h"

#include "capture/CaptureShow.h"
#include "capture/ReplayFormat.h"
#include "capture/ReplayRun.h"
#include "capture/RulesLibrary.h"
#include "common/HostFailure.h"
#include "util/FileHash.h"

#include <windows.h>

#include <optional>

namespace {

constexpr wchar_t CaptureFolderVariable[] = L"OVIX_PARAM_CAPTURE_FOLDER";

struct CaptureOptions {
    std::vector<std::wstring> captures;
    ReplayLibraries libraries;
    std::optional<std::wstring> rules;
    ParamIdList paramIds;
    bool json = false;
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// `replay` takes every option, `capture-show` --param-ids and --json.
CaptureOptions ParseOptions(const std::vector<std::wstring>& arguments, bool replay) {
    CaptureOptions options;
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& argument = arguments[i];
        const auto value = [&]() -> const std::wstring& {
            if (i + 1 >= arguments.size()) throw BadInput(argument + L" needs a value");
            return arguments[++i];
        };
        if (argument == L"--json") {
            options.json = true;
        } else if (argument == L"--param-ids") {
            const std::wstring& text = value();
            const auto ids = ParamIdList::Parse(Narrow(text));
            if (!ids) throw BadInput(L"--param-ids " + text + L": give ids and ranges like 1-16,5000");
            options.paramIds = *ids;
        } else if (replay && argument == L"--explain-lib") {
            options.libraries.explain = value();
        } else if (replay && argument == L"--obscure-lib") {
            options.libraries.obscure = value();
        } else if (replay && argument == L"--rules") {
            options.rules = value();
        } else if (argument.starts_with(L"--")) {
            throw BadInput(L"unknown option " + argument + L" of " + arguments[0] + L" (try --help)");
        } else {
            options.captures.push_back(argument);
        }
    }
    return options;
}

CaptureCommandRun Replay(const CaptureOptions& options,
                         const std::function<Microsoft::WRL::ComPtr<IParamTransactor>()>& component) {
    CaptureSet captures = ReadCaptureSources(options.captures);
    ReplayLibraries libraries = options.libraries;
    std::optional<RulesLibrary> rules;
    if (options.rules) {
        rules.emplace(*options.rules);
        captures.notes.insert(captures.notes.end(), rules->Problems().begin(), rules->Problems().end());
        libraries.rules = rules->Path();
        libraries.rulesHash = FileHash(rules->Path());
    }
    const auto transactor = component();
    const ReplayReport report = ReplayCalls(*transactor.Get(), captures.calls, libraries, options.paramIds);
    const std::string output = options.json ? ReplayJson(report, captures) : ReplayText(report, captures);
    return {output, report.total.changed ? 1 : 0};
}

}  // namespace

bool IsCaptureCommand(const std::vector<std::wstring>& arguments) {
    return !arguments.empty() && (arguments[0] == L"replay" || arguments[0] == L"capture-show");
}

CaptureCommandRun RunCaptureCommand(const std::vector<std::wstring>& arguments,
                                    const std::function<Microsoft::WRL::ComPtr<IParamTransactor>()>& component) {
    const bool replay = arguments[0] == L"replay";
    const CaptureOptions options = ParseOptions(arguments, replay);
    if (replay) {
        // The replayed calls are not captured again, whatever the user's key says.
        SetEnvironmentVariableW(CaptureFolderVariable, L"");
        return Replay(options, component);
    }
    const CaptureSet captures = ReadCaptureSources(options.captures);
    return {options.json ? CaptureShowJson(captures, options.paramIds) : CaptureShowText(captures, options.paramIds), 0};
}

std::vector<std::wstring> TakeCaptureOption(std::vector<std::wstring> arguments) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != L"--capture") continue;
        if (i + 1 >= arguments.size()) throw BadInput(L"--capture needs a folder");
        wchar_t full[MAX_PATH];
        const DWORD length = GetFullPathNameW(arguments[i + 1].c_str(), MAX_PATH, full, nullptr);
        if (length >= MAX_PATH)
            throw BadInput(L"--capture " + arguments[i + 1] + L": the folder's full path is longer than " +
                           std::to_wstring(MAX_PATH - 1) + L" characters, which capture cannot use: choose a shorter one");
        if (length == 0 || GetFileAttributesW(full) == INVALID_FILE_ATTRIBUTES)
            throw BadInput(L"--capture " + arguments[i + 1] + L": no such folder");
        SetEnvironmentVariableW(CaptureFolderVariable, full);
        arguments.erase(arguments.begin() + static_cast<ptrdiff_t>(i), arguments.begin() + static_cast<ptrdiff_t>(i) + 2);
        return arguments;
    }
    return arguments;
}
