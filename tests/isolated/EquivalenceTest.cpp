// Isolated or loaded directly, an extension gives the host the same: the
// sample and FieldRules.dll (with its example rules) over the edges and a
// seeded random sweep of 16-bit fields of each of their parameters, Explain
// and the way back through Obscure. And
// a long run with random faults: every good call right, every bad one
// declined, the host's memory flat.
#include "isolated/IsolatedCopy.h"
#include "isolated/IsolationHost.h"
#include "ProcessUsage.h"

#include <gtest/gtest.h>

#include <random>

using Microsoft::WRL::ComPtr;

namespace {

struct Seen {
    HRESULT result;
    std::wstring value, display, digits;
    USHORT code;
    bool operator==(const Seen&) const = default;
};

// Explain of a 2-byte field, then Obscure of the value text it gave.
Seen ExplainAndObscure(IParamTransactor& transactor, LONG paramId, BYTE high, BYTE low) {
    FakeParam host;
    host.ParamId = paramId;
    host.StartByte = 1;
    host.ByteCount = 2;
    UniqueVariant frame;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 2);
    static_cast<BYTE*>(array->pvData)[0] = high;
    static_cast<BYTE*>(array->pvData)[1] = low;
    V_VT(&frame.Get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame.Get()) = array;
    LONG status = 0;
    Seen seen{transactor.Explain(&host, frame.Get(), 2, &status), host.SetValue, host.SetDisplay, L"", host.SetCode};
    FakeParam back;
    back.ParamId = paramId;
    back.ValueText = host.SetValue;
    back.ObscureText = L"99";
    UniqueVariant data;
    LONG count = 0;
    if (SUCCEEDED(transactor.Obscure(&back, &data.Get(), &count, &status)) &&
        V_VT(&data.Get()) == (VT_ARRAY | VT_UI1))
        for (LONG i = 0; i < count; ++i)
            seen.digits += static_cast<wchar_t>(L'0' + static_cast<BYTE*>(V_ARRAY(&data.Get())->pvData)[i]);
    return seen;
}

ComPtr<IParamTransactor> TransactorFor(const std::wstring& library) {
    ComPtr<IParamTransactor> transactor = NewTransactor();
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, library.c_str());
    PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ObscureLibrary, library.c_str());
    return transactor;
}

void ExpectSameIsolatedAsDirect(const char* library, std::initializer_list<LONG> paramIds) {
    const std::string name = std::string("IsoSame") + library;
    const std::wstring wide(library, library + std::strlen(library));
    ComPtr<IParamTransactor> direct = TransactorFor(wide);
    ComPtr<IParamTransactor> isolated = TransactorFor(MakeIsolatedCopy(name.substr(0, name.size() - 4), {.library = library}));
    std::mt19937 random(7);
    std::vector<unsigned> fields{0, 1, 0x7F, 0x80, 0xFF, 0x100, 0x7FFF, 0x8000, 0xFFFE, 0xFFFF};
    for (int i = 0; i < 1000; ++i) fields.push_back(random() & 0xFFFF);
    // Both sides declining every field would compare equal too: the extension
    // must have shown some of them (a display text is its own).
    int shown = 0;
    for (LONG paramId : paramIds)
        for (unsigned raw : fields) {
            const Seen expected = ExplainAndObscure(*direct.Get(), paramId, BYTE(raw >> 8), BYTE(raw));
            const Seen seen = ExplainAndObscure(*isolated.Get(), paramId, BYTE(raw >> 8), BYTE(raw));
            ASSERT_TRUE(expected == seen) << library << " param " << paramId << " field " << std::hex << raw
                                          << ": value " << std::string(seen.value.begin(), seen.value.end())
                                          << " code " << seen.code;
            shown += !seen.display.empty();
        }
    EXPECT_GT(shown, 0) << library << ": the extension showed no field";
}

TEST(IsolatedLikeDirect, TheSampleOverItsFields) { ExpectSameIsolatedAsDirect("EngineeringUnits.dll", {1, 2, 3, 4}); }

TEST(IsolatedLikeDirect, FieldRulesOverItsFields) { ExpectSameIsolatedAsDirect("FieldRules.dll", {1, 2, 3, 4, 7, 9}); }

TEST(IsolatedLikeDirect, TenThousandCallsWithOnePercentFaults) {
    const std::wstring copy = MakeIsolatedCopy("IsoRandom", {.library = "ExtMisAccessViolation.dll"});
    ComPtr<IParamTransactor> transactor = NewTransactor();
    for (Entry entry : {Entry::Explain, Entry::Obscure})
        PutLibraryPath(*transactor.Get(), LibraryProperty(entry), copy.c_str());
    std::mt19937 random(20240613);
    SIZE_T heap = 0;
    int faults = 0;
    for (int call = 0; call < 10000; ++call) {
        if (call == 200) heap = CountBusyHeapBytes();
        const Entry entry = random() % 2 ? Entry::Explain : Entry::Obscure;
        const bool bad = random() % 100 == 0;
        faults += bad;
        const HostView expected = bad ? DeclinedAnswer(entry) : GoodAnswer(entry);
        ASSERT_EQ(expected, Operate(*transactor.Get(), entry, bad ? 13 : 1)) << "call " << call;
    }
    EXPECT_LE(CountBusyHeapBytes(), heap + 16 * 1024) << "from " << heap << " after " << faults << " faults";
}

}  // namespace
