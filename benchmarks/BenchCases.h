#pragma once
// The calls that the benchmark times: Explain and Obscure through the
// IParamTransactor vtable of their own transactor, with a LeanParam, and the
// floors of their cases: the host calls the operation must make, made
// directly on the same parameter object, with texts of the same lengths.

#include "LeanParam.h"

#include "util/UniqueVariant.h"

#include <wrl/client.h>

#include <string>

// One Explain case: a field at the start of a frame of hex digit characters,
// so that it reads as plain bytes or decodes as hex.
class ExplainCase {
public:
    ExplainCase(LONG frameLength, LONG fieldLength, bool hexEncoded, const wchar_t* library = L"",
                LONG paramId = 0);
    // The same with a frame of the given bytes, the field at its start.
    ExplainCase(const std::string& frame, LONG fieldLength, const wchar_t* library, LONG paramId);
    void operator()();
    LeanParam& Param() { return FParam; }

private:
    Microsoft::WRL::ComPtr<IParamTransactor> FTransactor;
    LeanParam FParam;
    UniqueVariant FFrame;
    LONG FFrameLength = 0;
};

// One Obscure case: the host's digit text turned into bytes, with a value
// text of the same length.
class ObscureCase {
public:
    explicit ObscureCase(size_t digitCount);
    void operator()();
    LeanParam& Param() { return FParam; }

private:
    Microsoft::WRL::ComPtr<IParamTransactor> FTransactor;
    LeanParam FParam;
    UniqueVariant FData;
};

// The host calls of Explain on its built-in path for a whole field (not
// single-bit mode), in its order: the field's settings, the bit text, the
// hex flag again, the value text, the bit mode again. Each text is a fresh
// BSTR made from a prepared text, as any implementation must make one.
class ExplainBuiltInFloor {
public:
    ExplainBuiltInFloor(LeanParam& param, size_t bitTextLength, size_t valueTextLength);
    void operator()();

private:
    IParam* FParam;
    std::wstring FBitText, FValueText;
};

// The host calls of Obscure without an extension: the value text, then the
// host's digit text, each freed as the caller of a getter must; and the one
// thing besides them that no implementation can avoid either: a byte array
// of as many elements as digits, put in place of the array the out-argument
// held.
class ObscureBuiltInFloor {
public:
    ObscureBuiltInFloor(LeanParam& param, size_t digitCount);
    void operator()();

private:
    IParam* FParam;
    ULONG FDigitCount;
    UniqueVariant FData;
};
