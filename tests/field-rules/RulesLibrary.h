#pragma once
// FieldRules.dll as users deploy it: a copy under a name of its own in a
// folder of its own, with the rules file it reads next to it, written in the
// encoding under test. And the host's side: a transactor whose ExplainLibrary
// and ObscureLibrary name that copy, explaining frames and obscuring values
// through the COM vtable.

#include "fakes/FakeParam.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <optional>
#include <string>
#include <string_view>

enum class RulesEncoding { Gbk, Utf8, Utf8Bom, Utf16Bom };

// A UTF-8 text of the test sources as UTF-16.
std::wstring Wide(std::string_view utf8);

// The rules text (UTF-8 in the test sources) as the bytes of a file in `encoding`.
std::string EncodeRules(std::string_view utf8, RulesEncoding encoding);

class RulesLibrary {
public:
    // Copies FieldRules.dll to <folder>\<baseName>.dll; writes `rulesFile`
    // to <baseName>.ini unless it is empty.
    RulesLibrary(const std::wstring& baseName, const std::string& rulesFile);
    RulesLibrary(const RulesLibrary&) = delete;
    RulesLibrary& operator=(const RulesLibrary&) = delete;
    ~RulesLibrary();  // the library must be freed by then

    const std::wstring& Path() const { return FLibrary; }

private:
    std::wstring FFolder, FLibrary, FRules;
};

struct Explained {
    bool declined = true;  // the component took its built-in path
    std::wstring value, display;
    USHORT code = 0;
};

// A transactor using one rules library for Explain and Obscure.
class RulesHost {
public:
    explicit RulesHost(const std::wstring& library);

    // Explains a field at the start of a frame (raw bytes, or hex digit
    // characters when `hexEncoded`); in single-bit mode (`bitMode` 1) the
    // component selects bit `bitIndex` of its first byte.
    Explained Explain(LONG paramId, std::string_view field, bool hexEncoded = false, LONG bitMode = 0,
                      LONG bitIndex = 0);

    // Explains the `count` bytes (or hex characters) from `start` (1 for the
    // first) of a whole frame, as a host does with a received answer.
    Explained ExplainAt(LONG paramId, std::string_view frame, LONG start, LONG count, bool hexEncoded = false);

    // The digits the host sends for `valueText` (UTF-8), as characters;
    // nothing when the extension declined. `hostWidth` is GetObscureIntA.
    std::optional<std::string> Obscure(LONG paramId, std::string_view valueText, LONG hostWidth = 0);

private:
    Explained ExplainFrame(LONG paramId, std::string_view frame, LONG start, LONG count, bool hexEncoded,
                           LONG bitMode, LONG bitIndex);

    Microsoft::WRL::ComPtr<IParamTransactor> FTransactor = NewTransactor();
};

// A section of a rules file: "[paramId]" and the keys' lines.
std::string RulesSection(size_t paramId, std::string_view keys);

// "07 5B CD 15" as the four bytes.
std::string Bytes(std::string_view hex);
