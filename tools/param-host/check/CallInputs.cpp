#include "check/CallInputs.h"

namespace {

using namespace std::string_literals;

// `size` bytes of hex digits, as a long hex-encoded field holds.
std::string LongText(size_t size) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text(size, '0');
    for (size_t i = 0; i < size; ++i) text[i] = Digits[i % 16];
    return text;
}

std::vector<CallCase> ExplainCases() {
    return {
        {L"empty field", "", ""},
        {L"1-byte field 01", "\x01", "\x01"},
        {L"2-byte field 04 D2", "\x04\xD2", "\x04\xD2"},
        {L"4-byte field 00 00 41 AC", "\x00\x00\x41\xAC"s, "\x00\x00\x41\xAC"s},
        {L"hex field \"D204\" (value text \"04D2\")", "04D2", "D204"},
        {L"bytes with zeros and 0xFF", "\x00\xFF\x00\xFF\x7F\x80"s, "\x00\xFF\x00\xFF\x7F\x80"s},
        {L"GBK text \"运行 ℃\"", "\xD4\xCB\xD0\xD0 \xA1\xE6", "\xD4\xCB\xD0\xD0 \xA1\xE6"},
        {L"4096-byte field", LongText(4096), LongText(4096)},
        {L"10,000-byte field", LongText(10000), LongText(10000)},
    };
}

std::vector<CallCase> ObscureCases() {
    return {
        {L"empty value text", "", ""},
        {L"value text \"1\"", "1", ""},
        {L"value text \"12.34\"", "12.34", ""},
        {L"value text \"-12.5\"", "-12.5", ""},
        {L"value text with zeros and 0xFF", "\x00\xFF\x00\xFF"s, ""},
        {L"GBK value text \"运行\"", "\xD4\xCB\xD0\xD0", ""},
        {L"4096-byte value text", std::string(4096, '1'), ""},
        {L"10,000-byte value text", std::string(10000, '1'), ""},
    };
}

const std::string& InputBytes(const CallCase& input, InputKind kind) {
    static const std::string none;
    switch (kind) {
        case InputKind::ValueText: return input.valueText;
        case InputKind::FieldBytes: return input.fieldBytes;
        case InputKind::Reserved: break;
    }
    return none;
}

}  // namespace

std::vector<CallCase> CasesFor(EntryPoint entryPoint) {
    switch (entryPoint) {
        case EntryPoint::Explain: return ExplainCases();
        case EntryPoint::Obscure: return ObscureCases();
        case EntryPoint::Edit: break;
    }
    return {{L"edit", "", ""}};
}

size_t TypicalCaseIndex(EntryPoint entryPoint) {
    switch (entryPoint) {
        case EntryPoint::Explain: return 4;  // the hex field
        case EntryPoint::Obscure: return 2;  // "12.34"
        case EntryPoint::Edit: break;
    }
    return 0;
}

PreparedCall::PreparedCall(const EntryPointShape& shape, const CallCase& input, int32_t paramId, IParam* param)
    : FArguments(static_cast<size_t>(shape.argumentCount), 0) {
    FInputs.reserve(static_cast<size_t>(shape.inputCount));
    for (int i = 0; i < shape.inputCount; ++i) {
        const InputArgument& argument = shape.inputs[static_cast<size_t>(i)];
        const LentInput& lent = FInputs.emplace_back(InputBytes(input, argument.kind));
        FArguments[static_cast<size_t>(argument.pointer)] = lent.Slot();
        FArguments[static_cast<size_t>(argument.length)] = lent.Length();
    }
    if (shape.paramIdIndex >= 0) FArguments[static_cast<size_t>(shape.paramIdIndex)] = static_cast<uint32_t>(paramId);
    if (shape.codeIndex >= 0) FArguments[static_cast<size_t>(shape.codeIndex)] = PointerSlot(&FCode);
    FArguments[static_cast<size_t>(shape.paramIndex)] = PointerSlot(param);
}
