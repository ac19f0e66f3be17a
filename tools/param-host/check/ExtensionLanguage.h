#pragma once
// The language an extension library was written in, as far as its file
// tells: a C++ runtime (libstdc++, Microsoft's) leaves its names in the
// image, a C library has none of them. Fix texts are worded for it.

#include <string>

enum class ExtensionLanguage { C, Cpp, Unknown };

ExtensionLanguage LanguageOf(const std::wstring& library);

// The C text, the C++ text, or both for a library of unknown language.
std::wstring ForLanguage(ExtensionLanguage language, const std::wstring& inC, const std::wstring& inCpp);
