#pragma once
// An object held in a frame element: asked for its value (its default
// property), it answers a number, fails, faults, answers itself, so that
// converting it never ends, or answers another object. It counts the
// references others hold, and its Release faults on command (after giving
// the reference back).

#include <oaidl.h>

class FakeDispatch final : public IDispatch {
public:
    enum class Answer { Number, Failure, Fault, Itself, Other };

    explicit FakeDispatch(Answer answer, LONG number = 0) : FAnswer(answer), FNumber(number) {}
    // Answers `other` (a reference for the caller) as its value.
    explicit FakeDispatch(FakeDispatch& other) : FAnswer(Answer::Other), FNumber(0), FOther(&other) {}

    bool FaultOnRelease = false;
    FakeDispatch(const FakeDispatch&) = delete;
    FakeDispatch& operator=(const FakeDispatch&) = delete;

    // References held by others (0 when everybody released what they took).
    LONG OutstandingReferences() const { return FReferences - 1; }
    // The value requests so far.
    int Requests() const { return FRequests; }
    Answer Kind() const { return FAnswer; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FReferences; }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

private:
    Answer FAnswer;
    LONG FNumber;
    FakeDispatch* FOther = nullptr;
    LONG FReferences = 1;
    int FRequests = 0;
};
