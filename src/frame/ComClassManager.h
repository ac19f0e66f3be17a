#pragma once
// The registry of the module's class factories: a singly linked list, newest
// first, guarded by a multi-reader/single-writer lock (shared for lookups,
// exclusive for changes and for whole visits).

#include "frame/MultiReadExclusiveWriteSynchronizer.h"

#include <windows.h>

#include <functional>

class TComObjectFactory;
class TComServerObject;

class TComClassManager {
public:
    void AddObjectFactory(TComObjectFactory& factory);
    // A factory that is not in the list is ignored.
    void RemoveObjectFactory(TComObjectFactory& factory);
    // The factory serving `classId`, or null.
    TComObjectFactory* GetFactoryFromClassID(REFCLSID classId);
    // Visits the factories of `server`, newest first, under the exclusive
    // lock; a visit may destroy the factory it is given.
    void ForEachFactory(const TComServerObject* server, const std::function<void(TComObjectFactory&)>& visit);

private:
    TComObjectFactory* FFactoryList = nullptr;
    TMultiReadExclusiveWriteSynchronizer FLock;
};

// The module's class manager, created on first use.
TComClassManager& ComClassManager();
// Frees it at module shut-down.
void FreeComClassManager() noexcept;
