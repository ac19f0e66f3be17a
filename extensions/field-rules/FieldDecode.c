#include "FieldDecode.h"

#include "RuleReason.h"
#include "TextFields.h"
#include "TimeField.h"

#include <string.h>

unsigned MaskShift(uint64_t mask) {
    unsigned shift = 0;
    while (mask && !(mask & 1)) mask >>= 1, ++shift;
    return shift;
}

static unsigned HighestBit(uint64_t mask) {
    unsigned bit = 0;
    while (mask >>= 1) ++bit;
    return bit;
}

ValueKind RuleValueKind(const FieldRule* rule) {
    return rule->type == FieldAscii && rule->base != 10 ? KindUnsigned : FieldTypeInfoOf(rule->type)->kind;
}

bool HoldsBits(const FieldRule* rule) {
    return IntegerBits(rule->type) > 0 || (rule->type == FieldAscii && rule->base != 10);
}

unsigned NumberBits(const FieldRule* rule) {
    if (rule->mask) return HighestBit(rule->mask) - MaskShift(rule->mask) + 1;
    return rule->type == FieldAscii ? 64 : IntegerBits(rule->type);
}

// Puts the bytes of a 16, 32 or 64-bit value from the rule's order into
// most-significant-first order, or back: each swap undoes itself.
static void Reorder(uint8_t* bytes, size_t width, ByteOrder order) {
    if (width < 2) return;
    if (order.swapBytes)
        for (size_t i = 0; i + 1 < width; i += 2) {
            const uint8_t first = bytes[i];
            bytes[i] = bytes[i + 1];
            bytes[i + 1] = first;
        }
    if (order.reverseWords)
        for (size_t low = 0, high = width - 2; low < high; low += 2, high -= 2) {
            uint8_t word[2];
            memcpy(word, bytes + low, 2);
            memcpy(bytes + low, bytes + high, 2);
            memcpy(bytes + high, word, 2);
        }
}

static uint64_t BigEndianNumber(const uint8_t* bytes, size_t width) {
    uint64_t number = 0;
    for (size_t i = 0; i < width; ++i) number = number << 8 | bytes[i];
    return number;
}

static void BigEndianBytes(uint64_t number, uint8_t* bytes, size_t width) {
    for (size_t i = width; i-- > 0; number >>= 8) bytes[i] = (uint8_t)number;
}

// The number of packed bcd digits; false, with the byte (0 the most
// significant) holding a digit above 9, for none.
static bool BcdNumber(uint64_t packed, size_t width, uint64_t* number, size_t* badByte) {
    *number = 0;
    for (size_t shift = width * 8; shift > 0; shift -= 4) {
        const unsigned digit = (unsigned)(packed >> (shift - 4)) & 0xF;
        if (digit > 9) {
            *badByte = width - 1 - (shift - 4) / 8;
            return false;
        }
        *number = *number * 10 + digit;
    }
    return true;
}

static int64_t SignExtended(uint64_t number, unsigned bits) {
    if (bits < 64 && (number >> (bits - 1) & 1)) number |= ~UINT64_C(0) << bits;
    return (int64_t)number;
}

static double FloatOfBits(uint64_t bits, size_t width) {
    if (width == 4) {
        const uint32_t single = (uint32_t)bits;
        float value;
        memcpy(&value, &single, sizeof value);
        return value;
    }
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

// DCBA for the types that read the whole field: least significant byte first.
static bool Reversed(ByteOrder order) { return order.swapBytes && order.reverseWords; }

static void Reverse(uint8_t* bytes, size_t width) {
    for (size_t low = 0, high = width; low + 1 < high; ++low, --high) {
        const uint8_t first = bytes[low];
        bytes[low] = bytes[high - 1];
        bytes[high - 1] = first;
    }
}

size_t TimeLayoutBytes(const FieldRule* rule) {
    size_t tokens = 0, bits = 0;
    for (size_t i = 0; i < rule->layoutCount; ++i) {
        tokens += rule->layout[i] == TimeYear4 ? 2 : 1;
        bits += rule->timeBits[i];
    }
    switch (rule->timeEncoding) {
        case TimeAscii: return 2 * tokens;
        case TimePacked: return bits <= 8 ? 1 : bits <= 16 ? 2 : bits <= 32 ? 4 : 8;
        default: return tokens;
    }
}

// The bytes the rule reads from a field of `length` bytes; 0 when it is too short.
static size_t FieldWidth(const FieldRule* rule, size_t length) {
    if (length > FieldMaxBytes) length = FieldMaxBytes;
    const unsigned width = FieldTypeInfoOf(rule->type)->width;
    if (width) return length >= width ? width : 0;
    if (IsBcdType(rule->type)) return length < BcdMaxWidth ? length : BcdMaxWidth;
    if (rule->type == FieldTime) return length >= TimeLayoutBytes(rule) ? TimeLayoutBytes(rule) : 0;
    return length;
}

static size_t NeededWidth(const FieldRule* rule) {
    const unsigned width = FieldTypeInfoOf(rule->type)->width;
    return width ? width : rule->type == FieldTime ? TimeLayoutBytes(rule) : 1;
}

// The marker whose bits the raw number (in `bits` bits) has, or NULL.
static const FieldName* MarkerOf(const FieldRule* rule, uint64_t number, unsigned bits) {
    if (bits < 64) number &= (UINT64_C(1) << bits) - 1;
    for (size_t i = 0; i < rule->markerCount; ++i)
        if (rule->markers[i].key == number) return &rule->markers[i];
    return NULL;
}

// A bcd number; sbcd's sign is the top bit of its most significant byte. A
// marker is the bytes as they are, before the digits are checked.
static bool DecodeBcd(const FieldRule* rule, uint8_t* bytes, size_t width, FieldValue* value, wchar_t* reason) {
    if (Reversed(rule->order)) Reverse(bytes, width);
    value->marker = MarkerOf(rule, BigEndianNumber(bytes, width), (unsigned)width * 8);
    if (value->marker) return true;
    const bool negative = rule->type == FieldSbcd && bytes[0] & 0x80;
    if (rule->type == FieldSbcd) bytes[0] &= 0x7F;
    uint64_t number;
    size_t bad;
    if (!BcdNumber(BigEndianNumber(bytes, width), width, &number, &bad))
        return Decline(reason, L"BCD digit above 9 in byte %u",
                       (unsigned)(Reversed(rule->order) ? width - bad : bad + 1));  // in frame order
    value->as.u = negative ? 0 - number : number;
    return true;
}

static bool DecodeFixedWidth(const FieldRule* rule, uint8_t* bytes, size_t width, FieldValue* value) {
    Reorder(bytes, width, rule->order);
    uint64_t number = BigEndianNumber(bytes, width);
    if (value->kind == KindFloat) {
        value->as.f = FloatOfBits(number, width);
        return true;
    }
    if (rule->mask) number = (number & rule->mask) >> MaskShift(rule->mask);
    value->marker = MarkerOf(rule, number, NumberBits(rule));
    if (value->kind == KindSigned)
        value->as.s = SignExtended(number, NumberBits(rule));
    else
        value->as.u = number;
    return true;
}

static bool DecodeAscii(const FieldRule* rule, const uint8_t* bytes, size_t width, FieldValue* value,
                        wchar_t* reason) {
    if (rule->base == 10) return ReadAsciiNumber(bytes, width, &value->decimal, reason);
    if (!ReadAsciiInteger(bytes, width, rule->base, &value->as.u, reason)) return false;
    if (rule->mask) value->as.u = (value->as.u & rule->mask) >> MaskShift(rule->mask);
    value->marker = MarkerOf(rule, value->as.u, NumberBits(rule));
    return true;
}

static bool DecodeTime(const FieldRule* rule, uint8_t* bytes, size_t width, FieldValue* value, wchar_t* reason) {
    if (rule->timeEncoding == TimePacked)
        Reorder(bytes, width, rule->order);
    else if (Reversed(rule->order))
        Reverse(bytes, width);
    return ReadFieldTime(rule, bytes, value->text, sizeof value->text, reason);
}

// The power of ten at the rule's offset in the field: a signed 16-bit number
// in the rule's byte order, after the bias.
static bool ReadScaleExponent(const FieldRule* rule, const uint8_t* field, size_t length, int* exponent,
                              wchar_t* reason) {
    const size_t at = (size_t)rule->scaleExponentAt;
    if (length < at + 2)
        return Decline(reason, L"the scale exponent at byte %u needs %u bytes, the field has %u", (unsigned)at,
                       (unsigned)(at + 2), (unsigned)length);
    uint8_t bytes[2] = {(uint8_t)(field[at] - rule->bias), (uint8_t)(field[at + 1] - rule->bias)};
    if (rule->order.swapBytes) Reverse(bytes, 2);
    *exponent = (int16_t)(bytes[0] << 8 | bytes[1]);
    if (*exponent < -ScaleExponentLimit || *exponent > ScaleExponentLimit)
        return Decline(reason, L"scale exponent %d outside -%d..%d", *exponent, ScaleExponentLimit, ScaleExponentLimit);
    return true;
}

bool DecodeFieldOrSayWhy(const FieldRule* rule, const uint8_t* field, size_t length, FieldValue* value,
                         wchar_t* reason) {
    const size_t width = FieldWidth(rule, length);
    if (width == 0)
        return Decline(reason, L"%ls needs %u bytes, the field has %u", FieldTypeInfoOf(rule->type)->name,
                       (unsigned)NeededWidth(rule), (unsigned)length);
    uint8_t bytes[FieldMaxBytes];
    memcpy(bytes, field, width);
    if (rule->bias)
        for (size_t i = 0; i < width; ++i) bytes[i] = (uint8_t)(bytes[i] - rule->bias);

    value->kind = RuleValueKind(rule);
    value->marker = NULL;
    value->exponent = 0;
    bool read;
    switch (rule->type) {
        case FieldBcd:
        case FieldSbcd: read = DecodeBcd(rule, bytes, width, value, reason); break;
        case FieldAscii: read = DecodeAscii(rule, bytes, width, value, reason); break;
        case FieldText: ReadFieldText(bytes, width, value->text, sizeof value->text); return true;
        case FieldTime: return DecodeTime(rule, bytes, width, value, reason);
        default: read = DecodeFixedWidth(rule, bytes, width, value); break;
    }
    if (!read || value->marker || rule->scaleExponentAt < 0) return read;
    return ReadScaleExponent(rule, field, length < FieldMaxBytes ? length : FieldMaxBytes, &value->exponent, reason);
}

bool DecodeField(const FieldRule* rule, const uint8_t* field, size_t length, FieldValue* value) {
    return DecodeFieldOrSayWhy(rule, field, length, value, NULL);
}

bool BitFieldValue(const FieldRule* rule, bool bit, FieldValue* value) {
    value->kind = RuleValueKind(rule);
    value->marker = NULL;
    value->exponent = 0;
    switch (value->kind) {
        case KindFloat: value->as.f = bit; return true;
        case KindDecimal: DecimalFromUnsigned(bit, &value->decimal); return true;
        case KindText: return false;
        default: value->as.u = bit; return true;
    }
}

static uint64_t BitsOfFloat(double value, size_t width) {
    if (width == 4) {
        const float single = (float)value;
        uint32_t bits;
        memcpy(&bits, &single, sizeof bits);
        return bits;
    }
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

static size_t PackBcd(uint64_t number, uint64_t* packed) {
    size_t digits = 0;
    *packed = 0;
    do {
        *packed |= (number % 10) << (4 * digits++);
        number /= 10;
    } while (number && digits < 2 * BcdMaxWidth);
    return (digits + 1) / 2;
}

const FieldName* MarkerOfValue(const FieldRule* rule, const FieldValue* value) {
    if (value->kind == KindFloat || value->kind == KindDecimal || value->kind == KindText) return NULL;
    if (!IsBcdType(rule->type)) return MarkerOf(rule, value->as.u, NumberBits(rule));
    if (rule->type == FieldSbcd && value->as.s < 0) return NULL;  // its sign bit is set: no digits match
    uint64_t packed;
    PackBcd(value->as.u, &packed);
    return MarkerOf(rule, packed, 64);
}

uint64_t RawFieldInteger(const FieldRule* rule, const FieldValue* value) {
    if (IsBcdType(rule->type)) return value->as.u;
    if (value->kind == KindFloat) return BitsOfFloat(value->as.f, FieldTypeInfoOf(rule->type)->width);
    const unsigned bits = NumberBits(rule);
    uint64_t number = value->as.u;  // a signed number as its two's complement
    if (bits < 64) number &= (UINT64_C(1) << bits) - 1;
    return number << MaskShift(rule->mask);
}

static size_t EncodeBcd(const FieldRule* rule, const FieldValue* value, uint8_t* field) {
    const bool negative = rule->type == FieldSbcd && value->as.s < 0;
    uint64_t packed;
    size_t width = PackBcd(negative ? 0 - value->as.u : value->as.u, &packed);
    if (rule->type == FieldSbcd && packed >> (8 * width - 1) & 1) ++width;  // keep the sign bit free
    BigEndianBytes(packed, field, width);
    if (negative) field[0] |= 0x80;
    if (Reversed(rule->order)) Reverse(field, width);
    return width;
}

static size_t EncodeText(const char* text, uint8_t* field) {
    const size_t length = strlen(text) < FieldMaxBytes ? strlen(text) : FieldMaxBytes;
    memcpy(field, text, length);
    return length;
}

static size_t EncodeValue(const FieldRule* rule, const FieldValue* value, uint8_t* field) {
    switch (rule->type) {
        case FieldBcd:
        case FieldSbcd: return EncodeBcd(rule, value, field);
        case FieldAscii:
            if (rule->base != 10) return WriteAsciiInteger(RawFieldInteger(rule, value), rule->base, field);
            return EncodeText(value->text, field);
        case FieldText: return EncodeText(value->text, field);
        case FieldTime:
            WriteExampleTime(rule, field);
            if (rule->timeEncoding == TimePacked)
                Reorder(field, TimeLayoutBytes(rule), rule->order);
            else if (Reversed(rule->order))
                Reverse(field, TimeLayoutBytes(rule));
            return TimeLayoutBytes(rule);
        default: {
            const size_t width = FieldTypeInfoOf(rule->type)->width;
            BigEndianBytes(RawFieldInteger(rule, value), field, width);
            Reorder(field, width, rule->order);
            return width;
        }
    }
}

size_t EncodeField(const FieldRule* rule, const FieldValue* value, uint8_t field[FieldMaxBytes]) {
    const size_t width = EncodeValue(rule, value, field);
    for (size_t i = 0; i < width; ++i) field[i] = (uint8_t)(field[i] + rule->bias);
    return width;
}
