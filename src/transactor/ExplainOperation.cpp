// Explain: turns one parameter's field in a received frame into its value
// text and bit text, and through the explain extension into a display text
// and an explain code as well.
#include "transactor/Operations.h"

#include "transactor/ExplainExtension.h"
#include "transactor/FieldTexts.h"
#include "transactor/FrameField.h"
#include "host/HostParam.h"
#include "errors/RequiredArgument.h"

#include <optional>

namespace {

constexpr LONG SingleBitMode = 1;
constexpr LONG Refused = 1;

// Inlined like the host calls in them: each is read twice on every call.
[[gnu::always_inline]] inline bool ReadHexEncoded(const OperationParam& param) {
    return ReadParam(param, &IParam::GetHexEncoded) != VARIANT_FALSE;
}

[[gnu::always_inline]] inline bool ReadSingleBitMode(const OperationParam& param) {
    return ReadParam(param, &IParam::GetBitMode) == SingleBitMode;
}

// No field to explain: the host gets empty texts and status 1. Only here is
// the status written, so only here must it be there.
void Refuse(const OperationParam& param, LONG* status) {
    RequireArgument(status, "status") = Refused;
    WriteParamText(param, &IParam::SetValueText, "");
    WriteParamText(param, &IParam::SetBitText, "");
}

// The bit numbered `bitIndex` (taken modulo 32, 0 = least significant) of
// `byte`, as the character 0 or 1; indexes 8 to 31 select 0.
char SelectBit(char byte, LONG bitIndex) {
    const int shift = (bitIndex % 32 + 32) % 32;
    return (static_cast<uint8_t>(byte) >> shift) & 1 ? '1' : '0';
}

// The display text: the extension's display text, or its value text when
// that is empty, followed by one blank and the host's suffix when there is one.
UniqueBstr ComposeDisplayText(const OperationParam& param, const ExplainExtensionResult& result) {
    const std::string suffix = ReadParamText(param, &IParam::GetDisplaySuffix);
    if (suffix.empty()) return BstrFromAnsi(result.display.empty() ? result.value : result.display);
    if (!result.display.empty()) return BstrFromAnsi(result.display + " " + suffix);
    // The value text stands in for the display text: the suffix is read once
    // more and appended exactly as the host gives it.
    const UniqueBstr hostSuffix = ReadParamBstr(param, &IParam::GetDisplaySuffix);
    return UniqueBstr::Copy(WideFromAnsi(result.value + " ") + std::wstring(hostSuffix.View()));
}

void WriteExtensionResult(const OperationParam& param, const ExplainExtensionResult& result) {
    WriteParamText(param, &IParam::SetValueText, result.value);
    WriteParam(param, &IParam::SetExplainCode, result.code);
    WriteParamText(param, &IParam::SetValueText, result.value);
    const UniqueBstr display = ComposeDisplayText(param, result);
    WriteParam(param, &IParam::SetDisplayText, display.Get());
}

// Without an extension result: the value text of the whole field, replaced
// in single-bit mode by the bit text the host now holds.
void WriteBuiltInValue(const OperationParam& param, const FieldTexts& texts) {
    const UniqueBstr valueText = ReadHexEncoded(param) ? texts.OrderedHexText() : texts.OrderedText();
    WriteParam(param, &IParam::SetValueText, valueText.Get());
    if (!ReadSingleBitMode(param)) return;
    const UniqueBstr bitText = ReadParamBstr(param, &IParam::GetBitText);
    WriteParam(param, &IParam::SetValueText, bitText.Get());
}

}  // namespace

void RunExplain(const ExtensionSlot& library, IParam* param, const VARIANT& data, LONG dataLength, LONG* status) {
    const OperationParam host(RequireArgument(param, "parameter object"));

    const LONG start = ReadParam(host, &IParam::GetStartByte);
    const LONG bitIndex = ReadParam(host, &IParam::GetBitIndex);
    const LONG count = ReadParam(host, &IParam::GetByteCount);
    if (start >= dataLength) return Refuse(host, status);

    // A hex-encoded field is decoded and its bytes put the other way round
    // for the value text; its bit text keeps the decoded bytes in frame order.
    const FrameField frameField(data, start, count);
    const std::string_view field = frameField.Bytes();
    const bool hexEncoded = ReadHexEncoded(host);
    FieldTexts texts(field, hexEncoded);
    if (field.empty()) return Refuse(host, status);

    std::optional<char> bit;
    if (ReadSingleBitMode(host)) {
        bit = SelectBit(texts.FirstOrderedByte(), bitIndex);
        WriteParamText(host, &IParam::SetBitText, {&*bit, 1});
    } else {
        WriteParam(host, &IParam::SetBitText, texts.BitText().Get());
    }

    if (library.IsConfigured()) {
        const std::string_view valueText = bit ? std::string_view(&*bit, 1) : texts.ValueText();
        if (const auto result = TryExplainExtension(library, host.Object(), valueText, field)) {
            return WriteExtensionResult(host, *result);
        }
    }
    WriteBuiltInValue(host, texts);
}
