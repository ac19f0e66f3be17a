#pragma once
// The registry writes and deletions of self-registration, all under
// HKEY_CLASSES_ROOT, and the texts they are made of.

#include <windows.h>

#include <string>

// Creates or opens `key` and sets its value `valueName` (empty: the default
// value) to `value` as REG_SZ; raises EOleRegistrationError on failure.
void CreateRegKey(const std::string& key, const std::string& valueName, const std::string& value);

// Deletes `key`; a missing key, or one that still has subkeys, is no error.
void DeleteRegKey(const std::string& key) noexcept;

// The braced upper-case form of a GUID; raises when the platform cannot make it.
std::string GuidText(const GUID& guid);
