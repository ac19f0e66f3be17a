#pragma once
// The module's server object: the live-object and class-object counts that
// DllCanUnloadNow answers from, the module's own type library, and the facts
// about the module that registration and error reporting need.

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <atomic>
#include <string>

enum class TCountChange { Up, Down };

// Where self-registration writes the class entries and the type library:
// for every user of the machine (HKEY_CLASSES_ROOT, DllRegisterServer) or for
// the current user only (HKEY_CURRENT_USER\Software\Classes, DllInstall "user").
enum class TRegistryScope { Machine, User };

class TComServerObject {
public:
    virtual ~TComServerObject() = default;

    // Both return the new count.
    virtual LONG ChangeObjectCount(TCountChange change) = 0;
    virtual LONG ChangeClassObjectCount(TCountChange change) = 0;
    virtual std::string HelpFilePath() const = 0;
    // UTF-16, of any length.
    virtual std::wstring ModulePath() const = 0;
    virtual std::string InprocKeyName() const = 0;
    virtual std::string LibraryName() = 0;
    virtual bool StartsSuspended() const = 0;
    // Loaded on first use; the caller receives its own reference.
    virtual Microsoft::WRL::ComPtr<ITypeLib> TypeLibrary() = 0;
    virtual void SetHelpFilePath(std::string path) = 0;
    // True when the module is a library (an in-process server).
    virtual bool IsInprocServer() const = 0;
};

class TComServer final : public TComServerObject {
public:
    explicit TComServer(HMODULE module);
    // Destroys every factory of this server, then releases the type library.
    ~TComServer() override;
    TComServer(const TComServer&) = delete;
    TComServer& operator=(const TComServer&) = delete;

    LONG ChangeObjectCount(TCountChange change) override;
    LONG ChangeClassObjectCount(TCountChange change) override;
    std::string HelpFilePath() const override { return FHelpFilePath; }
    std::wstring ModulePath() const override;
    std::string InprocKeyName() const override { return "InprocServer32"; }
    std::string LibraryName() override;
    bool StartsSuspended() const override { return false; }
    Microsoft::WRL::ComPtr<ITypeLib> TypeLibrary() override;
    void SetHelpFilePath(std::string path) override { FHelpFilePath = std::move(path); }

    bool IsInprocServer() const override { return FIsInprocServer; }

    LONG ObjectCount() const noexcept { return FObjectCount.load(); }
    LONG ClassObjectCount() const noexcept { return FClassObjectCount.load(); }

    // Registers (or unregisters) the type library and every factory's class
    // entries in `scope`; registering raises on the first failing step,
    // unregistering removes what it can and then raises the first failure
    // (ServerRegistration.cpp).
    void UpdateRegistry(bool registering, TRegistryScope scope);

private:
    // The type library held so far, without loading it (null before first use).
    Microsoft::WRL::ComPtr<ITypeLib> HeldTypeLibrary() const;

    HMODULE FModule;
    std::atomic<LONG> FObjectCount{0};
    std::atomic<LONG> FClassObjectCount{0};
    std::atomic<ITypeLib*> FTypeLib{nullptr};  // owns one reference once set
    std::string FHelpFilePath;
    bool FIsInprocServer = true;
    bool FIsRegistering = false;
};

// The module's one server object: null before start-up and after shut-down.
TComServer* ComServer() noexcept;
