#include "check/ExtensionLanguage.h"

#include "util/UniqueFile.h"

#include <cstdio>
#include <string_view>
#include <vector>

namespace {

// Names only a C++ runtime brings: the personality routine of GCC's
// exceptions, its exception classes, Microsoft's C++ runtime DLLs and its
// type descriptors.
constexpr std::string_view CppMarkers[] = {"__gxx_personality", "St9exception", "libstdc++", "MSVCP",
                                           "msvcp",             "VCRUNTIME",    ".?AV"};

std::string FileBytes(const std::wstring& path) {
    const UniqueFile file(_wfopen(path.c_str(), L"rb"));
    if (!file) return {};
    std::string bytes;
    char chunk[65536];
    for (size_t read; (read = std::fread(chunk, 1, sizeof chunk, file.Get())) > 0;) bytes.append(chunk, read);
    return bytes;
}

}  // namespace

ExtensionLanguage LanguageOf(const std::wstring& library) {
    const std::string bytes = FileBytes(library);
    if (bytes.empty()) return ExtensionLanguage::Unknown;
    for (const std::string_view marker : CppMarkers)
        if (bytes.find(marker) != std::string::npos) return ExtensionLanguage::Cpp;
    return ExtensionLanguage::C;
}

std::wstring ForLanguage(ExtensionLanguage language, const std::wstring& inC, const std::wstring& inCpp) {
    switch (language) {
        case ExtensionLanguage::C: return inC;
        case ExtensionLanguage::Cpp: return inCpp;
        case ExtensionLanguage::Unknown: break;
    }
    return L"in C: " + inC + L"; in C++: " + inCpp;
}
