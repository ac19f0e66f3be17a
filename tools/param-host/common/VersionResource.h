#pragma once
// Reading a file's version resource: its numbers and its strings.

#include <string>

// "major.minor.patch", with ".tweak" when the fourth number is not 0; empty
// when the file has no version resource.
std::wstring VersionResourceNumber(const std::wstring& path);

// A string of the file's version resource (for example "OriginalFilename",
// which a renamed copy keeps), in the first language its translation table
// names; empty when there is none.
std::wstring VersionResourceString(const std::wstring& path, const wchar_t* name);
