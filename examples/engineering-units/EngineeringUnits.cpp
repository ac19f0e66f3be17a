// EngineeringUnits: a sample extension library for OvixParamTransactor.
//
// Explain turns a parameter's 16-bit field into what the operator reads:
//   parameter 1, bus voltage:    raw x 0.01, unsigned, unit V  ("04D2" -> 12.34 V)
//   parameter 2, output current: raw x 0.1, signed, unit A     ("FF83" -> -12.5 A)
//   parameter 3, running state:  0 停止 (stopped), 1 运行 (running), 2 故障 (fault)
// and sets the explain code to 0 for a value within its range, 1 outside it.
// Obscure goes the way back: from the value text (12.34, or 运行 / 1) to the
// raw number's decimal digits, zero-padded to ObscureIntA digits.
// Other parameter ids are declined (result 1): the component then does its
// built-in work.

#include "ParamExtension.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// An enumerated raw value and its name, in GBK like every text the component
// exchanges (the bytes are spelled out so that the source file's encoding
// does not matter).
struct StateName {
    uint16_t raw;
    const char* name;
};

const StateName RunningStates[] = {
    {0, "\xCD\xA3\xD6\xB9"},  // 停止
    {1, "\xD4\xCB\xD0\xD0"},  // 运行
    {2, "\xB9\xCA\xD5\xCF"},  // 故障
};
const char UnknownState[] = "\xCE\xB4\xD6\xAA";  // 未知

struct Parameter {
    int32_t id;
    bool isSigned;          // the raw number is two's complement
    double factor;          // engineering value = raw x factor
    int decimals;           // digits after the point in the value text
    const char* unit;       // nullptr: an enumerated parameter
    double minimum, maximum;
};

const Parameter Parameters[] = {
    {1, false, 0.01, 2, "V", 0.0, 60.0},
    {2, true, 0.1, 1, "A", -100.0, 100.0},
    {3, false, 1.0, 0, nullptr, 0.0, 2.0},
};

const Parameter* FindParameter(int32_t id) {
    for (const Parameter& parameter : Parameters)
        if (parameter.id == id) return &parameter;
    return nullptr;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The 16-bit raw number: four hex digits (a hex-encoded field, which the
// component hands over most significant byte first) or two raw bytes (a
// binary field, most significant byte first in the frame).
bool ReadRaw(const char* valueText, int32_t valueLength, uint16_t& raw) {
    if (valueLength == 2) {
        raw = static_cast<uint16_t>(static_cast<uint8_t>(valueText[0]) << 8 | static_cast<uint8_t>(valueText[1]));
        return true;
    }
    if (valueLength != 4) return false;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = HexDigit(valueText[i]);
        if (digit < 0) return false;
        value = value << 4 | static_cast<unsigned>(digit);
    }
    raw = static_cast<uint16_t>(value);
    return true;
}

double EngineeringValue(const Parameter& parameter, uint16_t raw) {
    const int number = parameter.isSigned ? static_cast<int16_t>(raw) : raw;
    return number * parameter.factor;
}

// Copies a text into a 4096-byte out-buffer, always zero-terminated.
void WriteText(char* buffer, const std::string& text) {
    const std::size_t length = text.size() < ExtensionOutBufferSize ? text.size() : ExtensionOutBufferSize - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

std::string FixedPoint(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

const char* StateNameOf(uint16_t raw) {
    for (const StateName& state : RunningStates)
        if (state.raw == raw) return state.name;
    return nullptr;
}

void ExplainEnumerated(uint16_t raw, uint16_t& code, std::string& value, std::string& display) {
    const char* name = StateNameOf(raw);
    value = std::to_string(raw);
    display = name ? name : std::string(UnknownState) + "(" + value + ")";
    code = name ? 0 : 1;
}

void ExplainScaled(const Parameter& parameter, uint16_t raw, uint16_t& code, std::string& value,
                   std::string& display) {
    const double engineering = EngineeringValue(parameter, raw);
    value = FixedPoint(engineering, parameter.decimals);
    display = value + " " + parameter.unit;
    code = engineering >= parameter.minimum && engineering <= parameter.maximum ? 0 : 1;
}

// The raw number for an enumerated value text: a state's name or its number.
bool RawOfState(const std::string& text, long& raw) {
    for (const StateName& state : RunningStates)
        if (text == state.name) {
            raw = state.raw;
            return true;
        }
    char* end = nullptr;
    raw = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && raw >= 0 && raw <= 0xFFFF && StateNameOf(static_cast<uint16_t>(raw));
}

bool RawOfScaled(const Parameter& parameter, const std::string& text, long& raw) {
    char* end = nullptr;
    const double engineering = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(engineering)) return false;
    raw = std::lround(engineering / parameter.factor);
    return parameter.isSigned ? raw >= -32768 && raw <= 32767 : raw >= 0 && raw <= 65535;
}

// The raw 16-bit number as decimal digits, at least `width` of them.
std::string Digits(long raw, int32_t width) {
    const unsigned value = static_cast<uint16_t>(raw);  // two's complement for negative numbers
    std::string digits = std::to_string(value);
    const std::size_t wanted = width > 0 ? static_cast<std::size_t>(width) : 0;
    if (wanted < ExtensionOutBufferSize && digits.size() < wanted) digits.insert(0, wanted - digits.size(), '0');
    return digits;
}

}  // namespace

extern "C" int32_t __stdcall ExplainParam(const char* valueText, int32_t valueLength, const char*, int32_t,
                                          const char*, int32_t, int32_t paramId, uint16_t* explainCode,
                                          char* valueOut, char* displayOut, IParam*) {
    try {
        const Parameter* parameter = FindParameter(paramId);
        uint16_t raw = 0;
        if (!parameter || !ReadRaw(valueText, valueLength, raw)) return 1;
        std::string value, display;
        if (parameter->unit)
            ExplainScaled(*parameter, raw, *explainCode, value, display);
        else
            ExplainEnumerated(raw, *explainCode, value, display);
        WriteText(valueOut, value);
        WriteText(displayOut, display);
        return 0;
    } catch (...) {
        return 1;  // never let an exception reach the component
    }
}

extern "C" int32_t __stdcall ObscureParam(const char* valueText, int32_t valueLength, const char*, int32_t,
                                          int32_t paramId, char* digitsOut, int32_t obscureIntA, int32_t,
                                          uint8_t, uint8_t, IParam*) {
    try {
        const Parameter* parameter = FindParameter(paramId);
        if (!parameter || valueLength < 0) return 1;
        const std::string text(valueText, static_cast<std::size_t>(valueLength));
        long raw = 0;
        const bool known = parameter->unit ? RawOfScaled(*parameter, text, raw) : RawOfState(text, raw);
        if (!known) return 1;
        WriteText(digitsOut, Digits(raw, obscureIntA));
        return 0;
    } catch (...) {
        return 1;  // never let an exception reach the component
    }
}
