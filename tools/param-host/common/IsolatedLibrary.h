#pragma once
// A copy of IsolatedExtension.dll runs another extension in a helper
// process; param_host checks and traces that other extension, the real one
// named in the copy's .ini.

#include <optional>
#include <string>

// The real library behind `library` when that is a copy of
// IsolatedExtension.dll (known by its version resource's original file name,
// which a renamed copy keeps); nothing for any other library.
std::optional<std::wstring> IsolatedRealLibrary(const std::wstring& library);

// The library to check or trace for `library`: the real one behind an
// isolated copy, else `library` itself.
std::wstring LibraryBehindIsolation(const std::wstring& library);
