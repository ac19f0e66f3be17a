#include "check/ExportCheck.h"

#include "check/ByteText.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The name without stdcall decoration: no leading underscore, no @ and byte count.
std::string Undecorated(std::string name) {
    if (const size_t at = name.rfind('@'); at != std::string::npos && at > 0) name.resize(at);
    if (name.starts_with('_')) name.erase(0, 1);
    return name;
}

enum class Likeness { Unlike, Decorated, Misspelt };

Likeness Compare(const std::string& exported, const std::string& wanted) {
    const std::string bare = Undecorated(exported);
    if (bare == wanted) return Likeness::Decorated;
    if (Lower(bare) == Lower(wanted)) return Likeness::Misspelt;
    return Likeness::Unlike;
}

Finding ExportFinding(const EntryPointShape& shape, const std::string& exported, Likeness likeness) {
    const std::wstring name = WideAscii(shape.name), found = WideAscii(exported);
    const std::wstring defLine =
        L"list it in the .def file under EXPORTS as `" + name + L" = " + found + L"` and link with that file";
    if (likeness == Likeness::Decorated)
        return {FindingKind::DecoratedExport, shape.name,
                L"exported only under the decorated name " + found + L": the component looks up " + name +
                    L" and never calls it; " + shape.withoutResult,
                defLine};
    return {FindingKind::MisspeltExport, shape.name,
            L"not exported; " + found + L" differs from it only in upper and lower case, and the component never "
                L"calls it",
            L"rename the function to " + name + L", or " + defLine};
}

std::wstring NameList(const std::vector<std::string>& names) {
    std::wstring list;
    for (const std::string& name : names) list += (list.empty() ? L"" : L", ") + WideAscii(name);
    return list.empty() ? L"nothing" : list;
}

}  // namespace

std::vector<std::string> ExportedNames(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (directory.VirtualAddress == 0 || directory.Size == 0) return {};
    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> result;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        result.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    return result;
}

std::array<FoundEntryPoint, 3> FindEntryPoints(const std::vector<std::string>& exported, std::vector<Finding>& findings,
                                               std::vector<std::string>& unused) {
    std::array<FoundEntryPoint, 3> found;
    bool anyFound = false;
    for (const EntryPointShape& shape : EntryPointShapes()) {
        FoundEntryPoint& entry = found[static_cast<size_t>(shape.entryPoint)];
        if (std::ranges::find(exported, shape.name) != exported.end()) {
            entry.exportName = shape.name;
        } else {
            for (const std::string& name : exported) {
                const Likeness likeness = Compare(name, shape.name);
                if (likeness == Likeness::Unlike) continue;
                entry.exportName = name;
                findings.push_back(ExportFinding(shape, name, likeness));
                break;
            }
        }
        anyFound |= !entry.exportName.empty();
    }
    for (const std::string& name : exported)
        if (std::ranges::none_of(found, [&](const FoundEntryPoint& entry) { return entry.exportName == name; }))
            unused.push_back(name);
    if (!anyFound)
        findings.push_back({FindingKind::NoEntryPoint, "",
                            L"exports none of ExplainParam, ObscureParam, EditParam (it exports " + NameList(exported) +
                                L"): the component never calls it",
                            L"export the entry points under exactly these names through a .def file (EXPORTS, then "
                            L"ExplainParam on a line of its own) and link with it"});
    return found;
}
