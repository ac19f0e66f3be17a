#pragma once
// The registry writes and deletions of self-registration, under
// HKEY_CLASSES_ROOT or the current user's Software\Classes, and the texts
// they are made of. Keys are named relative to that root ("CLSID\{...}").

#include "frame/ComServer.h"

#include <windows.h>

#include <string>
#include <vector>

// Creates or opens `key` of `scope` and sets its value `valueName` (empty:
// the default value) to `value` as REG_SZ; raises EOleRegistrationError on
// failure. The value is UTF-16 (a path of any folder) or 8-bit text in the
// system code page.
void CreateRegKey(TRegistryScope scope, const std::string& key, const std::string& valueName,
                  const std::wstring& value);
void CreateRegKey(TRegistryScope scope, const std::string& key, const std::string& valueName,
                  const std::string& value);

// What deleting an entry did.
enum class TRegistryDeletion {
    Removed,
    Missing,  // nothing was there
    Kept,     // it still has subkeys of others, which are left alone, and so is it
};

// Deletes `key` of `scope`. Raises EOleSysError with the platform's code when
// the key is there (or cannot be told) and could not be removed.
TRegistryDeletion DeleteRegKey(TRegistryScope scope, const std::string& key);

// Deletes each of `keys` in turn, also after one could not be removed, and
// then raises the first failure.
void DeleteRegKeys(TRegistryScope scope, const std::vector<std::string>& keys);

// The braced upper-case form of a GUID; raises when the platform cannot make it.
std::string GuidText(const GUID& guid);
