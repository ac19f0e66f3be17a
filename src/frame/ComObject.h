#pragma once
// The base of the component's COM objects: interlocked reference counting,
// aggregation under an outer object (whose IUnknown every interface but the
// non-delegating one forwards to), interface lookup through the classes'
// interface tables, and ISupportErrorInfo. TTypedComObject adds
// IProvideClassInfo. Objects are made by their class factory, start with
// reference count 0 and count themselves in the server's live objects.

#include "frame/InterfaceTable.h"
#include "util/UniqueHandle.h"

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <atomic>

class TComObjectFactory;

class TComObject : public ISupportErrorInfo {
public:
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    // Ties a freshly allocated object to its factory and outer object and
    // counts it among the server's live objects; the reference count ends at 0.
    void Construct(TComObjectFactory& factory, IUnknown* outer);
    // Destroys an object that no reference keeps (a failed creation).
    void Destroy() noexcept { delete this; }

    // IUnknown, delegating to the outer object when aggregated
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // ISupportErrorInfo: S_OK for the interfaces the object answers, S_FALSE otherwise.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // Runs once after construction.
    virtual void Initialize() {}
    // The object's own IUnknown behaviour, also served by NonDelegatingUnknown().
    virtual ULONG ObjAddRef();
    virtual HRESULT ObjQueryInterface(REFIID iid, void** object);
    virtual ULONG ObjRelease();

    IUnknown* NonDelegatingUnknown() noexcept { return &FInnerUnknown; }
    IUnknown* Controller() const noexcept { return FController; }
    TComObjectFactory& Factory() const noexcept { return *FFactory; }
    LONG RefCount() const noexcept { return FRefCount.load(); }

    static const TInterfaceTable InterfaceTable;
    // The table of the object's most derived class.
    virtual const TInterfaceTable& Interfaces() const noexcept { return InterfaceTable; }

protected:
    TComObject() = default;
    // Lowers the live-object count (unless the module is shutting down).
    virtual ~TComObject();

private:
    class TInnerUnknown final : public IUnknown {
    public:
        explicit TInnerUnknown(TComObject& owner) : FOwner(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
            return FOwner.ObjQueryInterface(iid, object);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return FOwner.ObjAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return FOwner.ObjRelease(); }

    private:
        TComObject& FOwner;
    };

    IUnknown* FController = nullptr;  // the outer object: not referenced, it owns us
    TComObjectFactory* FFactory = nullptr;
    std::atomic<LONG> FRefCount{0};
    TInnerUnknown FInnerUnknown{*this};
};

// For owners that must destroy an object no reference keeps yet.
struct ComObjectTraits {
    static void Destroy(TComObject* object) noexcept { object->Destroy(); }
};
using UniqueComObject = UniqueHandle<TComObject*, ComObjectTraits>;

class TTypedComObject : public TComObject, public IProvideClassInfo {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        return TComObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TComObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TComObject::Release(); }

    // IProvideClassInfo: the factory's coclass type information.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

    static const TInterfaceTable InterfaceTable;
    const TInterfaceTable& Interfaces() const noexcept override { return InterfaceTable; }

protected:
    TTypedComObject() = default;
};
