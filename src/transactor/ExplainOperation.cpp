// Explain: turns one parameter's field in a received frame into its value
// text and bit text, and through the explain extension into a display text
// and an explain code as well.
#include "transactor/Operations.h"

#include "transactor/ExplainExtension.h"
#include "transactor/FrameField.h"
#include "transactor/HostParam.h"
#include "transactor/RequiredArgument.h"
#include "util/PubUtils.h"
#include "util/StackBuffer.h"

#include <algorithm>
#include <optional>

namespace {

constexpr LONG SingleBitMode = 1;
constexpr LONG Refused = 1;

bool ReadHexEncoded(IParam& param) { return ReadParam(param, &IParam::GetHexEncoded) != VARIANT_FALSE; }

bool ReadSingleBitMode(IParam& param) { return ReadParam(param, &IParam::GetBitMode) == SingleBitMode; }

// No field to explain: the host gets empty texts and status 1.
void Refuse(IParam& param, LONG& status) {
    status = Refused;
    WriteParamText(param, &IParam::SetValueText, "");
    WriteParamText(param, &IParam::SetBitText, "");
}

// The bit numbered `bitIndex` (taken modulo 32, 0 = least significant) of
// `byte`, as the character 0 or 1; indexes 8 to 31 select 0.
char SelectBit(char byte, LONG bitIndex) {
    const int shift = (bitIndex % 32 + 32) % 32;
    return (static_cast<uint8_t>(byte) >> shift) & 1 ? '1' : '0';
}

// The working values of a field that Explain derives its texts from. For a
// hex-encoded field, the decoded bytes in frame order and the same bytes the
// other way round; otherwise both are the field itself.
class DecodedField {
public:
    DecodedField(std::string_view field, bool hexEncoded) : FField(field), FHexEncoded(hexEncoded) {
        if (!hexEncoded) return;
        FDecoded.Resize(field.size() / 2);
        WriteHexStrAsBytes(field, FDecoded.Data());
        FOrdered.Resize(FDecoded.Size());
        std::reverse_copy(FDecoded.Data(), FDecoded.Data() + FDecoded.Size(), FOrdered.Data());
    }

    std::string_view Decoded() const noexcept { return FHexEncoded ? FDecoded.View() : FField; }
    std::string_view Ordered() const noexcept { return FHexEncoded ? FOrdered.View() : FField; }

private:
    std::string_view FField;
    bool FHexEncoded;
    StackBuffer<char> FDecoded, FOrdered;
};

// Hex text and bit text are ASCII: they are written straight into the texts
// handed to the host, without a conversion.
UniqueBstr HexText(std::string_view bytes) {
    UniqueBstr text = UniqueBstr::Allocate(bytes.size() * 2);
    WriteHexStr(bytes, text.Get());
    return text;
}

UniqueBstr BitText(std::string_view bytes) {
    UniqueBstr text = UniqueBstr::Allocate(bytes.size() * 8);
    WriteBinStr(bytes, text.Get());
    return text;
}

// The value text that the extension is handed: the bit in single-bit mode,
// else the hex text of the ordered bytes for a hex-encoded field, else the
// field itself.
class ExtensionValueText {
public:
    ExtensionValueText(const DecodedField& decoded, bool hexEncoded, std::optional<char> bit) {
        if (bit) {
            FText.Resize(1);
            FText.Data()[0] = *bit;
        } else if (hexEncoded) {
            FText.Resize(decoded.Ordered().size() * 2);
            WriteHexStr(decoded.Ordered(), FText.Data());
        } else {
            FField = decoded.Ordered();
        }
    }
    std::string_view View() const noexcept { return FText.Size() ? FText.View() : FField; }

private:
    StackBuffer<char> FText;
    std::string_view FField;
};

// The display text: the extension's display text, or its value text when
// that is empty, followed by one blank and the host's suffix when there is one.
UniqueBstr ComposeDisplayText(IParam& param, const ExplainExtensionResult& result) {
    const std::string suffix = ReadParamText(param, &IParam::GetDisplaySuffix);
    if (suffix.empty()) return BstrFromAnsi(result.display.empty() ? result.value : result.display);
    if (!result.display.empty()) return BstrFromAnsi(result.display + " " + suffix);
    // The value text stands in for the display text: the suffix is read once
    // more and appended exactly as the host gives it.
    const UniqueBstr hostSuffix = ReadParamBstr(param, &IParam::GetDisplaySuffix);
    return UniqueBstr::Copy(WideFromAnsi(result.value + " ") + std::wstring(hostSuffix.View()));
}

void WriteExtensionResult(IParam& param, const ExplainExtensionResult& result) {
    WriteParamText(param, &IParam::SetValueText, result.value);
    WriteParam(param, &IParam::SetExplainCode, result.code);
    WriteParamText(param, &IParam::SetValueText, result.value);
    const UniqueBstr display = ComposeDisplayText(param, result);
    WriteParam(param, &IParam::SetDisplayText, display.Get());
}

// Without an extension result: the value text of the whole field, replaced
// in single-bit mode by the bit text the host now holds.
void WriteBuiltInValue(IParam& param, std::string_view orderedBytes) {
    if (ReadHexEncoded(param))
        WriteParam(param, &IParam::SetValueText, HexText(orderedBytes).Get());
    else
        WriteParamText(param, &IParam::SetValueText, orderedBytes);
    if (!ReadSingleBitMode(param)) return;
    const UniqueBstr bitText = ReadParamBstr(param, &IParam::GetBitText);
    WriteParam(param, &IParam::SetValueText, bitText.Get());
}

}  // namespace

void RunExplain(const ExtensionSlot& library, IParam* param, const VARIANT& data, LONG dataLength, LONG* status) {
    IParam& host = RequireArgument(param, "parameter object");
    LONG& statusOut = RequireArgument(status, "status");

    const LONG start = ReadParam(host, &IParam::GetStartByte);
    const LONG bitIndex = ReadParam(host, &IParam::GetBitIndex);
    const LONG count = ReadParam(host, &IParam::GetByteCount);
    if (start >= dataLength) return Refuse(host, statusOut);

    // A hex-encoded field is decoded and its bytes put the other way round
    // for the value text; its bit text keeps the decoded bytes in frame order.
    const FrameField frameField(data, start, count);
    const std::string_view field = frameField.Bytes();
    const bool hexEncoded = ReadHexEncoded(host);
    const DecodedField decoded(field, hexEncoded);
    if (field.empty()) return Refuse(host, statusOut);

    std::optional<char> bit;
    if (ReadSingleBitMode(host)) {
        bit = SelectBit(decoded.Ordered().front(), bitIndex);
        WriteParamText(host, &IParam::SetBitText, {&*bit, 1});
    } else {
        WriteParam(host, &IParam::SetBitText, BitText(decoded.Decoded()).Get());
    }

    if (library.IsConfigured()) {
        const ExtensionValueText valueText(decoded, hexEncoded, bit);
        if (const auto result = TryExplainExtension(library, host, valueText.View(), field)) {
            return WriteExtensionResult(host, *result);
        }
    }
    WriteBuiltInValue(host, decoded.Ordered());
}
