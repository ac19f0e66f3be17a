#include "common/CommandLine.h"

#include "common/HostFailure.h"

#include "util/UniqueFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <cwctype>
#include <limits>

namespace {

constexpr unsigned ForExplain = 1u << static_cast<unsigned>(Operation::Explain);
constexpr unsigned ForObscure = 1u << static_cast<unsigned>(Operation::Obscure);
constexpr unsigned ForEdit = 1u << static_cast<unsigned>(Operation::Edit);
constexpr unsigned ForAll = ForExplain | ForObscure | ForEdit;

struct OptionSpec {
    const wchar_t* name;
    unsigned operations;
    bool takesValue;
    void (*apply)(HostRequest& request, const std::wstring& value);
};

HostFailure OptionFailure(const std::wstring& option, const std::wstring& problem) {
    return BadInput(option + L": " + problem);
}

LONG ParseWholeNumber(const std::wstring& option, const std::wstring& text) {
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(text.c_str(), &end, hex ? 16 : 10);
    const bool whole = !text.empty() && !std::iswspace(text[0]) && end == text.c_str() + text.size();
    if (!whole || errno == ERANGE || value < std::numeric_limits<LONG>::min() ||
        value > std::numeric_limits<LONG>::max())
        throw OptionFailure(option, L"'" + text + L"' is not a 32-bit whole number");
    return static_cast<LONG>(value);
}

BYTE ParseByte(const std::wstring& option, const std::wstring& text) {
    const LONG value = ParseWholeNumber(option, text);
    if (value < 0 || value > 255) throw OptionFailure(option, L"'" + text + L"' is not a byte value (0 to 255)");
    return static_cast<BYTE>(value);
}

std::vector<uint8_t> ReadFrameFile(const std::wstring& path) {
    const UniqueFile file(_wfopen(path.c_str(), L"rb"));
    if (!file) throw OptionFailure(L"--frame-file", L"cannot open '" + path + L"' (missing or unreadable)");
    std::vector<uint8_t> bytes;
    for (int c = std::fgetc(file.Get()); c != EOF; c = std::fgetc(file.Get())) bytes.push_back(static_cast<uint8_t>(c));
    return bytes;
}

const OptionSpec Options[] = {
    {L"--json", ForAll, false, [](HostRequest& r, const std::wstring&) { r.json = true; }},
    {L"--trace", ForAll, false, [](HostRequest& r, const std::wstring&) { r.trace = true; }},
    {L"--param-id", ForAll, true,
     [](HostRequest& r, const std::wstring& v) { r.param.paramId = ParseWholeNumber(L"--param-id", v); }},
    {L"--explain-lib", ForAll, true, [](HostRequest& r, const std::wstring& v) { r.libraries.explain = v; }},
    {L"--obscure-lib", ForAll, true, [](HostRequest& r, const std::wstring& v) { r.libraries.obscure = v; }},
    {L"--edit-lib", ForAll, true, [](HostRequest& r, const std::wstring& v) { r.libraries.edit = v; }},
    {L"--value", ForExplain | ForObscure, true, [](HostRequest& r, const std::wstring& v) { r.param.valueText = v; }},

    {L"--frame", ForExplain, true,
     [](HostRequest& r, const std::wstring& v) {
         try {
             r.frame = ParseHexBytes(v);
         } catch (const HostFailure& failure) {
             throw OptionFailure(L"--frame", failure.message);
         }
     }},
    {L"--frame-file", ForExplain, true, [](HostRequest& r, const std::wstring& v) { r.frame = ReadFrameFile(v); }},
    {L"--data-length", ForExplain, true,
     [](HostRequest& r, const std::wstring& v) { r.dataLength = ParseWholeNumber(L"--data-length", v); }},
    {L"--start", ForExplain, true,
     [](HostRequest& r, const std::wstring& v) { r.param.startByte = ParseWholeNumber(L"--start", v); }},
    {L"--count", ForExplain, true,
     [](HostRequest& r, const std::wstring& v) { r.param.byteCount = ParseWholeNumber(L"--count", v); }},
    {L"--hex", ForExplain, false, [](HostRequest& r, const std::wstring&) { r.param.hexEncoded = true; }},
    {L"--bit-mode", ForExplain, true,
     [](HostRequest& r, const std::wstring& v) { r.param.bitMode = ParseWholeNumber(L"--bit-mode", v); }},
    {L"--bit-index", ForExplain, true,
     [](HostRequest& r, const std::wstring& v) { r.param.bitIndex = ParseWholeNumber(L"--bit-index", v); }},
    {L"--bit-text", ForExplain, true, [](HostRequest& r, const std::wstring& v) { r.param.bitText = v; }},
    {L"--suffix", ForExplain, true, [](HostRequest& r, const std::wstring& v) { r.param.displaySuffix = v; }},

    {L"--obscure-text", ForObscure, true, [](HostRequest& r, const std::wstring& v) { r.param.obscureText = v; }},
    {L"--int-a", ForObscure, true,
     [](HostRequest& r, const std::wstring& v) { r.param.obscureIntA = ParseWholeNumber(L"--int-a", v); }},
    {L"--int-b", ForObscure, true,
     [](HostRequest& r, const std::wstring& v) { r.param.obscureIntB = ParseWholeNumber(L"--int-b", v); }},
    {L"--byte-a", ForObscure, true,
     [](HostRequest& r, const std::wstring& v) { r.param.obscureByteA = ParseByte(L"--byte-a", v); }},
    {L"--byte-b", ForObscure, true,
     [](HostRequest& r, const std::wstring& v) { r.param.obscureByteB = ParseByte(L"--byte-b", v); }},

    {L"--name", ForEdit, true, [](HostRequest& r, const std::wstring& v) { r.param.paramName = v; }},
    {L"--input-kind", ForEdit, true,
     [](HostRequest& r, const std::wstring& v) { r.param.inputKind = ParseWholeNumber(L"--input-kind", v); }},
    {L"--min", ForEdit, true, [](HostRequest& r, const std::wstring& v) { r.param.minValueText = v; }},
    {L"--max", ForEdit, true, [](HostRequest& r, const std::wstring& v) { r.param.maxValueText = v; }},
    {L"--option", ForEdit, true, [](HostRequest& r, const std::wstring& v) { r.param.options.push_back(v); }},
    {L"--data-type", ForEdit, true,
     [](HostRequest& r, const std::wstring& v) { r.param.dataType = ParseWholeNumber(L"--data-type", v); }},
    {L"--accept", ForEdit, true,
     [](HostRequest& r, const std::wstring& v) {
         const auto rule = ValueRule::Parse(v);
         if (!rule) throw OptionFailure(L"--accept", L"'" + v + L"' is not a rule: use any or MIN..MAX");
         r.param.acceptRule = *rule;
     }},
};

bool IsHelp(const std::wstring& argument) {
    return argument == L"--help" || argument == L"-h" || argument == L"help";
}

Operation ParseOperation(const std::wstring& name) {
    if (name == L"explain") return Operation::Explain;
    if (name == L"obscure") return Operation::Obscure;
    if (name == L"edit") return Operation::Edit;
    throw BadInput(L"unknown operation '" + name + L"': use explain, obscure or edit (see --help)");
}

const OptionSpec& FindOption(const std::wstring& name, Operation operation) {
    for (const OptionSpec& option : Options) {
        if (name != option.name) continue;
        if (!(option.operations & (1u << static_cast<unsigned>(operation))))
            throw BadInput(name + L" does not apply to " + OperationName(operation) + L" (see --help)");
        return option;
    }
    throw BadInput(L"unknown option '" + name + L"' (see --help)");
}

// Defaults that depend on other arguments: the field runs to the end of the
// frame, and the host states the frame's own length.
void CompleteExplainRequest(HostRequest& request, bool countGiven, bool dataLengthGiven) {
    if (request.frame.empty()) throw BadInput(L"explain needs a frame: --frame HEX or --frame-file PATH");
    const LONG frameLength = static_cast<LONG>(request.frame.size());
    if (!countGiven) request.param.byteCount = std::max<LONG>(0, frameLength - (request.param.startByte - 1));
    if (!dataLengthGiven) request.dataLength = frameLength;
}

}  // namespace

LONG ParseNumberOption(const std::wstring& option, const std::wstring& text) { return ParseWholeNumber(option, text); }

std::vector<uint8_t> ParseHexBytes(std::wstring_view text) {
    std::wstring digits;
    for (wchar_t c : text) {
        if (c == L' ' || c == L'\t') continue;
        if (!std::iswxdigit(c)) throw BadInput(L"'" + std::wstring(1, c) + L"' is not a hex digit");
        digits += c;
    }
    if (digits.size() % 2 != 0)
        throw BadInput(L"odd number of hex digits (" + std::to_wstring(digits.size()) + L"): two per byte");
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::wcstoul(digits.substr(i, 2).c_str(), nullptr, 16)));
    return bytes;
}

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
    CommandLine result;
    if (arguments.empty()) throw BadInput(L"no operation given: use explain, obscure or edit (see --help)");
    for (const std::wstring& argument : arguments)
        if (IsHelp(argument)) {
            result.help = true;
            return result;
        }
    if (std::ranges::find(arguments, L"--version") != arguments.end()) {
        result.version = true;
        result.request.json = std::ranges::find(arguments, L"--json") != arguments.end();
        return result;
    }

    HostRequest& request = result.request;
    request.operation = ParseOperation(arguments[0]);
    bool countGiven = false, dataLengthGiven = false;
    for (size_t i = 1; i < arguments.size(); ++i) {
        std::wstring name = arguments[i];
        std::optional<std::wstring> value;
        if (const size_t equals = name.find(L'='); name.starts_with(L"--") && equals != std::wstring::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionSpec& option = FindOption(name, request.operation);
        if (option.takesValue && !value) {
            if (i + 1 >= arguments.size()) throw BadInput(name + L" needs a value (see --help)");
            value = arguments[++i];
        }
        if (!option.takesValue && value) throw BadInput(name + L" takes no value");
        option.apply(request, value.value_or(L""));
        countGiven |= name == L"--count";
        dataLengthGiven |= name == L"--data-length";
    }
    if (request.operation == Operation::Explain) CompleteExplainRequest(request, countGiven, dataLengthGiven);
    return result;
}
