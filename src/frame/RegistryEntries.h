#pragma once
// The registry writes and deletions of self-registration, under
// HKEY_CLASSES_ROOT or the current user's Software\Classes, and the texts
// they are made of. Keys are named relative to that root ("CLSID\{...}").

#include "frame/ComServer.h"

#include <windows.h>

#include <string>

// Creates or opens `key` of `scope` and sets its value `valueName` (empty:
// the default value) to `value` as REG_SZ; raises EOleRegistrationError on failure.
void CreateRegKey(TRegistryScope scope, const std::string& key, const std::string& valueName,
                  const std::string& value);

// Deletes `key` of `scope`; a missing key, or one that still has subkeys, is no error.
void DeleteRegKey(TRegistryScope scope, const std::string& key) noexcept;

// The braced upper-case form of a GUID; raises when the platform cannot make it.
std::string GuidText(const GUID& guid);
