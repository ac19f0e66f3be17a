#include "frame/ComClassManager.h"

#include "frame/ComObjectFactory.h"

#include <memory>

namespace {

std::unique_ptr<TComClassManager> TheClassManager;

}  // namespace

TComClassManager& ComClassManager() {
    // Created while the platform's loader lock serialises start-up, or by
    // the first DllGetClassObject after it.
    if (!TheClassManager) TheClassManager = std::make_unique<TComClassManager>();
    return *TheClassManager;
}

void FreeComClassManager() noexcept { TheClassManager.reset(); }

void TComClassManager::AddObjectFactory(TComObjectFactory& factory) {
    TWriteGuard exclusive(FLock);
    factory.FNext = FFactoryList;
    FFactoryList = &factory;
}

void TComClassManager::RemoveObjectFactory(TComObjectFactory& factory) {
    TWriteGuard exclusive(FLock);
    for (TComObjectFactory** link = &FFactoryList; *link; link = &(*link)->FNext) {
        if (*link == &factory) {
            *link = factory.FNext;
            factory.FNext = nullptr;
            return;
        }
    }
}

TComObjectFactory* TComClassManager::GetFactoryFromClassID(REFCLSID classId) {
    TReadGuard shared(FLock);
    for (TComObjectFactory* factory = FFactoryList; factory; factory = factory->FNext)
        if (IsEqualGUID(factory->ClassID(), classId)) return factory;
    return nullptr;
}

void TComClassManager::ForEachFactory(const TComServerObject* server,
                                      const std::function<void(TComObjectFactory&)>& visit) {
    TWriteGuard exclusive(FLock);
    TComObjectFactory* next = nullptr;
    for (TComObjectFactory* factory = FFactoryList; factory; factory = next) {
        next = factory->FNext;  // read first: the visit may destroy the factory
        if (&factory->ComServer() == server) visit(*factory);
    }
}
