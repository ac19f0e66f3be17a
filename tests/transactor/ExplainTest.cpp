// Explain through the IParamTransactor vtable: refusals, hex and plain fields
// of every length, single-bit mode, the frame arrays it accepts and refuses,
// the three orders of host calls, and the explain extension with its buffers.
#include "fakes/FakeParam.h"
#include "support/ErrorInfo.h"
#include "support/ExtensionLibraries.h"
#include "support/Transactor.h"
#include "util/UniqueVariant.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwctype>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;
using namespace std::string_literals;
using Calls = std::vector<std::wstring>;

namespace {

constexpr LONG Untouched = 42;

// Puts into `target` a one-dimensional array of `type` holding `values`.
template <typename T>
void FillArray(VARIANT& target, VARTYPE type, const std::vector<T>& values, LONG lowerBound = 0) {
    SAFEARRAY* array = SafeArrayCreateVector(type, lowerBound, static_cast<ULONG>(values.size()));
    ASSERT_NE(nullptr, array);
    for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
        LONG index = lowerBound + i;
        T value = values[static_cast<size_t>(i)];
        ASSERT_EQ(S_OK, SafeArrayPutElement(array, &index, &value));
    }
    V_VT(&target) = VT_ARRAY | type;
    V_ARRAY(&target) = array;
}

void FillByteArray(VARIANT& target, std::string_view bytes, LONG lowerBound = 0) {
    FillArray(target, VT_UI1, std::vector<BYTE>(bytes.begin(), bytes.end()), lowerBound);
}

class ExplainTest : public testing::Test {
protected:
    void SetUp() override { SetErrorInfo(0, nullptr); }

    // The field the fake parameter describes.
    void Describe(LONG start, LONG count, bool hexEncoded = false) {
        param.StartByte = start;
        param.ByteCount = count;
        param.HexEncoded = hexEncoded ? VARIANT_TRUE : VARIANT_FALSE;
    }
    void SingleBit(LONG bitIndex) {
        param.BitMode = 1;
        param.BitIndex = bitIndex;
    }

    // Explains the described field of a byte frame whose stated length is its own.
    HRESULT Explain(std::string_view frameBytes) {
        UniqueVariant frame;
        FillByteArray(frame.Get(), frameBytes);
        return Explain(frame.Get(), static_cast<LONG>(frameBytes.size()));
    }
    HRESULT Explain(const VARIANT& frame, LONG dataLength) {
        return transactor->Explain(&param, frame, dataLength, &status);
    }

    void UseLibrary(const wchar_t* path) { PutLibraryPath(*transactor.Get(), &IParamTransactor::put_ExplainLibrary, path); }
    ScriptedState& UseScripted() { return UseScriptedLibrary(*transactor.Get(), &IParamTransactor::put_ExplainLibrary); }

    ComPtr<IParamTransactor> transactor = NewTransactor();
    FakeParam param;
    LONG status = Untouched;
};

const Calls FieldReads = {L"GetStartByte", L"GetBitIndex", L"GetByteCount"};

Calls Concat(Calls first, const Calls& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// ---- refusals

TEST_F(ExplainTest, RefusesAFieldStartingAtOrBehindTheStatedLengthWithoutReadingIt) {
    for (LONG start : {3, 4}) {
        SCOPED_TRACE(testing::Message() << "start " << start);
        param.Calls.clear();
        status = Untouched;
        Describe(start, 1);
        ASSERT_EQ(S_OK, Explain("ABC"));
        EXPECT_EQ(1, status);
        EXPECT_EQ(Concat(FieldReads, {L"SetValueText()", L"SetBitText()"}), param.Calls);
    }
}

TEST_F(ExplainTest, RefusesAnEmptyFieldAfterReadingTheHexFlag) {
    for (LONG count : {0, -3}) {
        SCOPED_TRACE(testing::Message() << "count " << count);
        param.Calls.clear();
        status = Untouched;
        Describe(1, count, true);
        ASSERT_EQ(S_OK, Explain("ABC"));
        EXPECT_EQ(1, status);
        EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"SetValueText()", L"SetBitText()"}), param.Calls);
    }
}

// ---- built-in path

TEST_F(ExplainTest, HexFieldIsDecodedReversedForTheValueAndInFrameOrderForTheBits) {
    Describe(2, 4, true);
    ASSERT_EQ(S_OK, Explain("x3412y"));
    EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"GetBitMode", L"SetBitText(0011010000010010)",
                                  L"GetHexEncoded", L"SetValueText(1234)", L"GetBitMode"}),
              param.Calls);
    EXPECT_EQ(Untouched, status);
}

TEST_F(ExplainTest, PlainFieldKeepsItsBytesInOrderZeroBytesIncluded) {
    Describe(1, 3);
    ASSERT_EQ(S_OK, Explain("A\0B!"s));
    EXPECT_EQ(L"010000010000000001000010", param.SetBit);
    EXPECT_EQ(L"A\0B"s, param.SetValue);
    EXPECT_EQ(Untouched, status);
}

TEST_F(ExplainTest, SingleBitModeWritesTheBitThenPassesTheHostsBitTextAsValue) {
    Describe(1, 4, true);
    SingleBit(4);
    param.BitText = L"host's bits";
    ASSERT_EQ(S_OK, Explain("3412"));
    EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"GetBitMode", L"SetBitText(1)", L"GetHexEncoded",
                                  L"SetValueText(1234)", L"GetBitMode", L"GetBitText",
                                  L"SetValueText(host's bits)"}),
              param.Calls);
    EXPECT_EQ(Untouched, status);
}

TEST_F(ExplainTest, SingleBitIsTakenFromTheFirstPlainByteByIndexModulo32) {
    // 0x93 is 10010011.
    const std::pair<LONG, const wchar_t*> cases[] = {
        {0, L"1"},   {2, L"0"},   {4, L"1"},   {7, L"1"},   {8, L"0"},   {9, L"0"},       {31, L"0"},
        {32, L"1"},  {33, L"1"},  {34, L"0"},  {-1, L"0"},  {-25, L"1"}, {-28, L"1"},     {-30, L"0"},
        {-32, L"1"}, {INT_MIN, L"1"},
    };
    for (const auto& [bitIndex, bit] : cases) {
        SCOPED_TRACE(testing::Message() << "bit index " << bitIndex);
        Describe(1, 2);
        SingleBit(bitIndex);
        ASSERT_EQ(S_OK, Explain("\x93\x00\x00"s));
        EXPECT_EQ(bit, param.SetBit);
    }
}

// ---- fields of every length: their texts are made in steps of 8 bytes for
// long fields and kept on the stack up to 256 bytes, and ASCII crosses to
// the host without the system's conversion; each text must still be the one
// its definition gives.

// Hex digits of both cases, every digit in every position of a pair.
std::string HexDigits(size_t length) {
    const char digits[] = "0123456789abcdefABCDEF";
    std::string text;
    for (size_t i = 0; i < length; ++i) text += digits[(i * 7 + i / 22) % 22];
    return text;
}

std::wstring BitsOf(const std::string& bytes) {
    std::wstring bits;
    for (unsigned char byte : bytes)
        for (int bit = 7; bit >= 0; --bit) bits += (byte >> bit) & 1 ? L'1' : L'0';
    return bits;
}

std::string DecodedHex(const std::string& field) {
    std::string bytes;
    for (size_t pair = 0; pair < field.size() / 2; ++pair)
        bytes += static_cast<char>(std::stoi(field.substr(pair * 2, 2), nullptr, 16));
    return bytes;
}

// The pairs the other way round, in upper case.
std::wstring ReversedHex(const std::string& field) {
    std::wstring text;
    for (size_t pair = field.size() / 2; pair-- > 0;)
        for (char digit : field.substr(pair * 2, 2)) text += static_cast<wchar_t>(std::towupper(digit));
    return text;
}

std::wstring FromCodePage936(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string Repeated(const std::string& piece, size_t times) {
    std::string text;
    while (times-- > 0) text += piece;
    return text;
}

TEST_F(ExplainTest, HexFieldsOfEveryLengthGiveTheTextsOfTheirDefinition) {
    for (size_t length : {2u, 14u, 16u, 18u, 32u, 34u, 256u, 258u, 512u, 514u, 4098u}) {
        SCOPED_TRACE(length);
        const std::string field = HexDigits(length);
        Describe(1, static_cast<LONG>(length), true);
        ASSERT_EQ(S_OK, Explain(field + "!"));
        EXPECT_EQ(ReversedHex(field), param.SetValue);
        EXPECT_EQ(BitsOf(DecodedHex(field)), param.SetBit);
    }
}

TEST_F(ExplainTest, ABadDigitDeepInALongHexFieldIsNamedWithItsPair) {
    const std::pair<size_t, char> badDigits[] = {{21, 'G'}, {16, '/'}, {31, ':'}, {8, '@'}, {39, '`'}, {0, 'g'}};
    for (const auto& [position, digit] : badDigits) {
        SCOPED_TRACE(digit);
        std::string field = HexDigits(40);
        field[position] = digit;
        Describe(1, 40, true);
        EXPECT_EQ(E_UNEXPECTED, Explain(field));
        const std::string pair = field.substr(position / 2 * 2, 2);
        EXPECT_EQ(L"Invalid hex char string: " + std::wstring(pair.begin(), pair.end()) + L"!",
                  TakeErrorDescription());
    }
}

TEST_F(ExplainTest, PlainFieldsCrossInTheSystemCodePageAtEveryLength) {
    // 256 bytes is the stack buffers' size; 0x80 is the euro sign in GBK.
    const std::pair<const char*, std::string> cases[] = {
        {"ASCII, 256 bytes", std::string(256, 'A')},
        {"ASCII, 257 bytes", std::string(257, '\x7F')},
        {"GBK, 256 bytes", Repeated("\xD4\xCB", 128)},
        {"GBK, 257 bytes", Repeated("\xD4\xCB", 128) + "\x80"},
        {"zero byte and euro sign", "A\0\x80"s},
    };
    for (const auto& [name, field] : cases) {
        SCOPED_TRACE(name);
        Describe(1, static_cast<LONG>(field.size()));
        ASSERT_EQ(S_OK, Explain(field + "!"));
        EXPECT_EQ(FromCodePage936(field), param.SetValue);
        EXPECT_EQ(BitsOf(field), param.SetBit);
    }
}

// ---- failures

TEST_F(ExplainTest, BadHexFieldFailsWithItsMessageBeforeAnyWrite) {
    const std::pair<const char*, const wchar_t*> cases[] = {
        {"341", L"Error, chars are odd as Two-byte combination\xFF01"},
        {"3G", L"Invalid hex char string: 3G!"},
    };
    for (const auto& [field, message] : cases) {
        SCOPED_TRACE(field);
        param.Calls.clear();
        Describe(1, static_cast<LONG>(strlen(field)), true);
        EXPECT_EQ(E_UNEXPECTED, Explain(std::string(field) + "."));
        EXPECT_EQ(message, TakeErrorDescription());
        EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded"}), param.Calls);
        EXPECT_EQ(Untouched, status);
    }
}

TEST_F(ExplainTest, FieldOutsideTheArrayFailsWithoutWritingAnything) {
    const std::pair<LONG, LONG> startsAndCounts[] = {{0, 1}, {-5, 2}, {2, 3}, {1, INT_MAX}, {INT_MIN, 1}};
    for (const auto& [start, count] : startsAndCounts) {
        SCOPED_TRACE(testing::Message() << "start " << start << ", count " << count);
        param.Calls.clear();
        Describe(start, count);
        EXPECT_EQ(DISP_E_BADINDEX, Explain("ABC"));
        EXPECT_NE(L"(no error information)", TakeErrorDescription());
        EXPECT_EQ(FieldReads, param.Calls);
        EXPECT_EQ(Untouched, status);
    }
}

TEST_F(ExplainTest, DataThatIsNoOneDimensionalIntegerArrayFails) {
    Describe(1, 1);
    UniqueVariant number;
    V_VT(&number.Get()) = VT_I4;
    V_I4(&number.Get()) = 0x41;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Explain(number.Get(), 10));

    UniqueVariant nullArray;
    V_VT(&nullArray.Get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(&nullArray.Get()) = nullptr;
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Explain(nullArray.Get(), 10));

    UniqueVariant square;
    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    V_VT(&square.Get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(&square.Get()) = SafeArrayCreate(VT_UI1, 2, bounds);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Explain(square.Get(), 10));

    UniqueVariant texts;
    V_VT(&texts.Get()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&texts.Get()) = SafeArrayCreateVector(VT_BSTR, 0, 2);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Explain(texts.Get(), 10));

    EXPECT_EQ(Concat(Concat(FieldReads, FieldReads), Concat(FieldReads, FieldReads)), param.Calls);
    EXPECT_EQ(Untouched, status);
}

// A descriptor with bounds but no data is refused before any element is read.
TEST_F(ExplainTest, ArrayWithBoundsButNoDataIsRefusedWithItsDescription) {
    SAFEARRAY* descriptor = nullptr;
    ASSERT_EQ(S_OK, SafeArrayAllocDescriptorEx(VT_UI1, 1, &descriptor));
    descriptor->cbElements = 1;
    descriptor->rgsabound[0] = {4, 0};
    VARIANT frame;
    V_VT(&frame) = VT_ARRAY | VT_UI1;
    V_ARRAY(&frame) = descriptor;
    Describe(1, 2);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Explain(frame, 4));
    EXPECT_EQ(L"The frame data array has bounds but no data", TakeErrorDescription());
    EXPECT_EQ(0u, descriptor->cLocks);
    EXPECT_EQ(FieldReads, param.Calls);
    EXPECT_EQ(Untouched, status);
    EXPECT_EQ(S_OK, SafeArrayDestroyDescriptor(descriptor));
}

TEST_F(ExplainTest, FailingHostCallEndsTheOperationWithItsResult) {
    Describe(1, 2);
    param.Fail(L"SetBitText", E_ACCESSDENIED);
    EXPECT_EQ(E_ACCESSDENIED, Explain("AB!"));
    EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"GetBitMode", L"SetBitText(0100000101000010)"}), param.Calls);
}

TEST_F(ExplainTest, MissingParameterFailsBeforeAnyHostCallAMissingStatusOnlyWhenItIsWritten) {
    UniqueVariant frame;
    FillByteArray(frame.Get(), "AB");
    EXPECT_EQ(E_POINTER, transactor->Explain(nullptr, frame.Get(), 2, &status));
    EXPECT_TRUE(param.Calls.empty());
    EXPECT_EQ(Untouched, status);

    Describe(1, 2);
    EXPECT_EQ(S_OK, transactor->Explain(&param, frame.Get(), 2, nullptr)) << "explained: no status is written";
    EXPECT_EQ(L"AB", param.SetValue);

    param.Calls.clear();
    Describe(2, 1);
    EXPECT_EQ(E_POINTER, transactor->Explain(&param, frame.Get(), 2, nullptr)) << "refused: the status is written";
    EXPECT_EQ(L"The status argument is missing", TakeErrorDescription());
    EXPECT_EQ(FieldReads, param.Calls) << "refused before the empty texts are written";
}

// ---- frame arrays

TEST_F(ExplainTest, IndexesTheArrayByItsOwnBoundsWithoutShifting) {
    UniqueVariant frame;
    FillByteArray(frame.Get(), "ABCD", 5);
    Describe(6, 2);
    ASSERT_EQ(S_OK, Explain(frame.Get(), 10));
    EXPECT_EQ(L"AB", param.SetValue);

    Describe(1, 1);
    EXPECT_EQ(DISP_E_BADINDEX, Explain(frame.Get(), 10));
}

TEST_F(ExplainTest, TakesTheLowEightBitsOfIntegerAndVariantElements) {
    Describe(1, 2);
    UniqueVariant longs;
    FillArray<LONG>(longs.Get(), VT_I4, {0x141, 0x7FFFFF42});
    ASSERT_EQ(S_OK, Explain(longs.Get(), 3));
    EXPECT_EQ(L"AB", param.SetValue);

    UniqueVariant signedBytes;
    FillArray<CHAR>(signedBytes.Get(), VT_I1, {0x41, 0x42});
    ASSERT_EQ(S_OK, Explain(signedBytes.Get(), 3));
    EXPECT_EQ(L"AB", param.SetValue);

    UniqueVariant shorts;
    FillArray<SHORT>(shorts.Get(), VT_I2, {-191, 0x42});  // -191 is FF41
    ASSERT_EQ(S_OK, Explain(shorts.Get(), 3));
    EXPECT_EQ(L"AB", param.SetValue);

    UniqueVariant first, second, variants;
    V_VT(&first.Get()) = VT_I4;
    V_I4(&first.Get()) = 0x241;
    V_VT(&second.Get()) = VT_BSTR;
    V_BSTR(&second.Get()) = SysAllocString(L"66");
    FillArray<VARIANT>(variants.Get(), VT_VARIANT, {first.Get(), second.Get()});
    ASSERT_EQ(S_OK, Explain(variants.Get(), 3));
    EXPECT_EQ(L"AB", param.SetValue);
}

TEST_F(ExplainTest, ReadsAnArrayHeldByReferenceAndLeavesTheCallersArrayAsItWas) {
    UniqueVariant frame;
    FillByteArray(frame.Get(), "3412");
    SAFEARRAY* array = V_ARRAY(&frame.Get());
    VARIANT byReference;
    V_VT(&byReference) = VT_BYREF | VT_ARRAY | VT_UI1;
    V_ARRAYREF(&byReference) = &array;
    Describe(1, 4, true);
    ASSERT_EQ(S_OK, Explain(byReference, 4));
    EXPECT_EQ(L"1234", param.SetValue);

    EXPECT_EQ(0u, array->cLocks);
    EXPECT_EQ(4u, array->rgsabound[0].cElements);
    EXPECT_EQ(0, memcmp("3412", array->pvData, 4));
}

// ---- extension path

TEST_F(ExplainTest, ExtensionResultReachesTheHostInOrder) {
    UseLibrary(L"ExtSucceed.dll");
    Describe(1, 2);
    param.DisplaySuffix = L"V";
    ASSERT_EQ(S_OK, Explain("AB!"));
    EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"GetBitMode", L"SetBitText(0100000101000010)", L"GetParamId",
                                  L"SetValueText(12.5)", L"SetExplainCode(7)", L"SetValueText(12.5)",
                                  L"GetDisplaySuffix", L"SetDisplayText(High V)"}),
              param.Calls);
    EXPECT_EQ(Untouched, status);
}

struct DisplayCase {
    const char* value;
    const char* display;
    const wchar_t* suffix;
    const wchar_t* expected;
    bool suffixReadTwice;
};

TEST_F(ExplainTest, DisplayTextIsTheDisplayOrElseTheValueWithTheSuffixBehindABlank) {
    ScriptedState& extension = UseScripted();
    const DisplayCase cases[] = {
        {"12.5", "", L"V", L"12.5 V", true},          {"12.5", "High", L"", L"High", false},
        {"", "", L"V", L" V", true},                  {"12.5", "High", L"V", L"High V", false},
        {"12.5", "", L"", L"12.5", false},            {"12.5", "\xB8\xDF", L"\x4F0F", L"\x9AD8 \x4F0F", false},
        {"\xB8\xDF", "", L"\x4F0F", L"\x9AD8 \x4F0F", true},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "value \"" << c.value << "\", display \"" << c.display << "\", suffix \""
                                        << c.suffix << "\"");
        param.Calls.clear();
        SetScriptedOutput(extension.value, std::string(c.value) + '\0');
        SetScriptedOutput(extension.display, std::string(c.display) + '\0');
        param.DisplaySuffix = c.suffix;
        Describe(1, 1);
        ASSERT_EQ(S_OK, Explain("AB"));
        EXPECT_EQ(c.expected, param.SetDisplay);
        const Calls tail = c.suffixReadTwice ? Calls{L"GetDisplaySuffix", L"GetDisplaySuffix", L"SetDisplayText"}
                                             : Calls{L"GetDisplaySuffix", L"SetDisplayText"};
        const Calls names = param.CallNames();
        EXPECT_EQ(tail, Calls(names.end() - static_cast<ptrdiff_t>(tail.size()), names.end()));
    }
}

TEST_F(ExplainTest, ExtensionGetsThePreparedValueTheRawFieldTheIdAndTheParameter) {
    ScriptedState& extension = UseScripted();
    extension.code = 0xBEEF;
    SetScriptedOutput(extension.value, "v"s + '\0');
    param.ParamId = -77;
    Describe(1, 4, true);
    ASSERT_EQ(S_OK, Explain("3412"));
    EXPECT_EQ(1, extension.calls);
    EXPECT_EQ("1234", RecordedBytes(extension.valueText));
    EXPECT_EQ(0, extension.reserved.length);
    EXPECT_EQ("3412", RecordedBytes(extension.field));
    EXPECT_EQ(-77, extension.paramId);
    EXPECT_EQ(0, extension.codeOnEntry);
    EXPECT_EQ(static_cast<IParam*>(&param), extension.param);
    EXPECT_EQ(0xBEEF, param.SetCode);

    SingleBit(4);
    ASSERT_EQ(S_OK, Explain("3412"));
    EXPECT_EQ("1", RecordedBytes(extension.valueText));
    EXPECT_EQ("3412", RecordedBytes(extension.field));
}

TEST_F(ExplainTest, FailingExtensionLeavesNothingBehindAndTheBuiltInPathRuns) {
    UseLibrary(L"ExtRefuse.dll");
    Describe(1, 4, true);
    SingleBit(0);
    param.BitText = L"0";
    ASSERT_EQ(S_OK, Explain("3412"));
    EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"GetBitMode", L"SetBitText(0)", L"GetParamId",
                                  L"GetHexEncoded", L"SetValueText(1234)", L"GetBitMode", L"GetBitText",
                                  L"SetValueText(0)"}),
              param.Calls);
    EXPECT_EQ(Untouched, status);
}

TEST_F(ExplainTest, BlankMissingOrEntrylessLibraryGivesTheBuiltInPathWithoutTheId) {
    for (const wchar_t* path : {L" \t ", L"NoSuchLibrary.dll", L"ExtNoEntry.dll"}) {
        SCOPED_TRACE(testing::Message() << "library path \"" << path << "\"");
        param.Calls.clear();
        UseLibrary(path);
        Describe(1, 2);
        ASSERT_EQ(S_OK, Explain("AB!"));
        EXPECT_EQ(Concat(FieldReads, {L"GetHexEncoded", L"GetBitMode", L"SetBitText(0100000101000010)",
                                      L"GetHexEncoded", L"SetValueText(AB)", L"GetBitMode"}),
                  param.Calls);
    }
}

TEST_F(ExplainTest, FailingParamIdEndsTheOperationBeforeTheExtensionRuns) {
    ScriptedState& extension = UseScripted();
    param.Fail(L"GetParamId", E_FAIL);
    Describe(1, 2);
    EXPECT_EQ(E_FAIL, Explain("AB!"));
    EXPECT_EQ(L"GetParamId", param.CallNames().back());
    EXPECT_EQ(0, extension.calls);
}

TEST_F(ExplainTest, ExtensionOutputIsReadToItsFirstZeroByteAndNeverPast4096Bytes) {
    ScriptedState& extension = UseScripted();
    Describe(1, 1);
    SetScriptedOutput(extension.value, "12\0" "34"s);
    SetScriptedOutput(extension.display, "\0High"s);
    ASSERT_EQ(S_OK, Explain("AB"));
    EXPECT_EQ(L"12", param.SetValue);
    EXPECT_EQ(L"12", param.SetDisplay);

    SetScriptedOutput(extension.value, std::string(4096, '7'));
    SetScriptedOutput(extension.display, std::string(4096, '8'));
    ASSERT_EQ(S_OK, Explain("AB"));
    EXPECT_EQ(std::wstring(4096, L'7'), param.SetValue);
    EXPECT_EQ(std::wstring(4096, L'8'), param.SetDisplay);

    // A shorter text without its zero byte shows nothing of the call before.
    SetScriptedOutput(extension.value, "56");
    ASSERT_EQ(S_OK, Explain("AB"));
    EXPECT_EQ(L"56", param.SetValue);
}

TEST_F(ExplainTest, ExtensionGetsEveryByteOfALongField) {
    ScriptedState& extension = UseScripted();
    std::string frame;
    for (int i = 0; i < 10001; ++i) frame.push_back(static_cast<char>(i * 7 % 251));
    Describe(1, 10000);
    ASSERT_EQ(S_OK, Explain(frame));
    EXPECT_EQ(10000, extension.valueText.length);
    EXPECT_EQ(frame.substr(0, 10000), RecordedBytes(extension.valueText));
    EXPECT_EQ(frame.substr(0, 10000), RecordedBytes(extension.field));

    std::string hexFrame;
    for (int i = 0; i < 5001; ++i) hexFrame += "0123456789ABCDEF"[i % 16];
    hexFrame += hexFrame.substr(1, 5000);
    Describe(1, 10000, true);
    ASSERT_EQ(S_OK, Explain(hexFrame));
    EXPECT_EQ(10000, extension.valueText.length);
    EXPECT_EQ(hexFrame.substr(0, 10000), RecordedBytes(extension.field));
}

}  // namespace
