#pragma once
// The class object: creates objects of one class (IClassFactory), keeps the
// server locked on request, and writes or removes the class's registry
// entries. Factories add themselves to the class manager when built and live
// until module shut-down; references to them never end their life.

#include "frame/ComServer.h"
#include "frame/InterfaceTable.h"

#include <windows.h>
#include <unknwn.h>

#include <string>

class TComObject;

enum class TClassInstancing : BYTE { Internal = 0, SingleInstance = 1, MultiInstance = 2 };
enum class TThreadingModel : BYTE { Single = 0, Apartment = 1, Free = 2, Both = 3, Neutral = 4 };

class TComObjectFactory : public IClassFactory {
public:
    TComObjectFactory(TComServerObject& server, const TComObjectClass& objectClass, REFCLSID classId,
                      std::string className, std::string description, TClassInstancing instancing,
                      TThreadingModel threadingModel);
    virtual ~TComObjectFactory();
    TComObjectFactory(const TComObjectFactory&) = delete;
    TComObjectFactory& operator=(const TComObjectFactory&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IClassFactory
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // "<library name>.<class name>", empty without a class name.
    virtual std::string ProgID();
    // A new object of the class, aggregated under `outer` when given;
    // raises when construction fails.
    virtual TComObject* CreateComObject(IUnknown* outer);
    // Writes (registering) or removes the class's registry entries in `scope`
    // (FactoryRegistration.cpp); a missing entry is no failure, one that
    // could not be removed is, after the others were removed.
    virtual void UpdateRegistry(bool registering, TRegistryScope scope);

    TComServerObject& ComServer() const noexcept { return FComServer; }
    const TComObjectClass& ComClass() const noexcept { return FComClass; }
    const CLSID& ClassID() const noexcept { return FClassID; }
    const std::string& ClassName() const noexcept { return FClassName; }
    const std::string& Description() const noexcept { return FDescription; }
    const IID& ErrorIID() const noexcept { return FErrorIID; }
    TClassInstancing Instancing() const noexcept { return FInstancing; }
    TThreadingModel ThreadingModel() const noexcept { return FThreadingModel; }
    bool ShowErrors() const noexcept { return FShowErrors; }

protected:
    void SetErrorIID(const IID& iid) noexcept { FErrorIID = iid; }

private:
    friend class TComClassManager;

    TComObjectFactory* FNext = nullptr;
    TComServerObject& FComServer;
    const TComObjectClass& FComClass;
    CLSID FClassID;
    std::string FClassName;
    std::string FDescription;
    IID FErrorIID = IID_IUnknown;
    TClassInstancing FInstancing;
    LONG FRegister = -1;  // class-object registration with the platform: never made by a library
    bool FShowErrors = true;
    TThreadingModel FThreadingModel;
};
