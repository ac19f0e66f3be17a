#pragma once
// A host's own error object: it answers a description, counts the references
// others hold, and faults on command when its description is read or when it
// is released (after giving the reference back).

#include "fakes/Fault.h"

#include <oaidl.h>

#include <string>

class FakeErrorInfo final : public IErrorInfo {
public:
    std::wstring Description = L"the host's own error";
    bool FaultOnDescription = false;
    bool FaultOnRelease = false;

    // References held by others (0 when everybody released what they took).
    LONG OutstandingReferences() const { return FReferences - 1; }
    // The faults made on command so far.
    int Faults() const { return FFaults; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = iid == __uuidof(IUnknown) || iid == __uuidof(IErrorInfo) ? this : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --FReferences;
        if (FaultOnRelease) {
            ++FFaults;
            WriteThroughNullPointer();
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
        *guid = GUID_NULL;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override { return Answer(L"Host", source); }
    HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
        if (FaultOnDescription) {
            ++FFaults;
            WriteThroughNullPointer();
        }
        return Answer(Description, description);
    }
    HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* helpFile) override { return Answer(L"", helpFile); }
    HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* context) override {
        *context = 0;
        return S_OK;
    }

private:
    static HRESULT Answer(const std::wstring& text, BSTR* out) {
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return S_OK;
    }

    LONG FReferences = 1;
    int FFaults = 0;
};
