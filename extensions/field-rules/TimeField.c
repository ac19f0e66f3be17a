#include "TimeField.h"

#include "FieldDecode.h"
#include "RuleReason.h"

#include <stdio.h>

static const struct {
    TimePart part;
    const wchar_t* name;
} PartNames[] = {
    {TimeYear4, L"YYYY"}, {TimeYear2, L"YY"},   {TimeMonth, L"MM"},  {TimeDay, L"DD"},
    {TimeWeekday, L"WW"}, {TimeHour, L"hh"},    {TimeMinute, L"mm"}, {TimeSecond, L"ss"},
};

const wchar_t* TimePartName(TimePart part) {
    for (size_t i = 0; i < sizeof PartNames / sizeof PartNames[0]; ++i)
        if (PartNames[i].part == part) return PartNames[i].name;
    return L"";
}

typedef struct {
    int year, month, day, hour, minute, second;
} TimeParts;

static int DaysInMonth(int year, int month) {
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

// Reads the time's tokens one by one: `at` is the next byte, `shift` the
// bits of a packed time's number still to be read.
typedef struct {
    const FieldRule* rule;
    const uint8_t* bytes;
    size_t at;
    uint64_t packed;
    unsigned shift;
} TokenReader;

static bool BcdByte(TokenReader* reader, int* number, wchar_t* reason) {
    const uint8_t byte = reader->bytes[reader->at++];
    if ((byte >> 4) > 9 || (byte & 0xF) > 9)
        return Decline(reason, L"BCD digit above 9 in byte %u", (unsigned)reader->at);
    *number = *number * 100 + (byte >> 4) * 10 + (byte & 0xF);
    return true;
}

static bool AsciiDigit(TokenReader* reader, int* number, wchar_t* reason) {
    const uint8_t c = reader->bytes[reader->at++];
    if (c < '0' || c > '9') {
        const char shown = c >= 0x20 && c < 0x7F ? (char)c : '?';
        return Decline(reason, L"not a digit: '%hc' in byte %u", shown, (unsigned)reader->at);
    }
    *number = *number * 10 + (c - '0');
    return true;
}

// The word an impossible token's reason names it by.
static const wchar_t* TokenWord(TimePart part) {
    switch (part) {
        case TimeYear4:
        case TimeYear2: return L"year";
        case TimeMonth: return L"month";
        case TimeDay: return L"day";
        case TimeWeekday: return L"weekday";
        case TimeHour: return L"hour";
        case TimeMinute: return L"minute";
        case TimeSecond: return L"second";
    }
    return L"";
}

// A packed token of up to 32 bits: one beyond every year, month, day or
// time declines before it becomes an int.
static bool PackedToken(TokenReader* reader, size_t index, int* number, wchar_t* reason) {
    const FieldRule* rule = reader->rule;
    reader->shift -= rule->timeBits[index];
    const uint64_t token = reader->packed >> reader->shift & ((UINT64_C(1) << rule->timeBits[index]) - 1);
    if (token > 9999 && rule->layout[index] != TimeWeekday)  // the weekday is read, not shown
        return Decline(reason, L"%ls %llu", TokenWord(rule->layout[index]), (unsigned long long)token);
    *number = (int)(token > 9999 ? 0 : token);
    return true;
}

static bool ReadToken(TokenReader* reader, size_t index, int* number, wchar_t* reason) {
    const FieldRule* rule = reader->rule;
    const int units = rule->layout[index] == TimeYear4 ? 2 : 1;  // bytes, or pairs of digits
    *number = 0;
    switch (rule->timeEncoding) {
        case TimePacked: return PackedToken(reader, index, number, reason);
        case TimeBinary:
            for (int i = 0; i < units; ++i) *number = *number * 256 + reader->bytes[reader->at++];
            return true;
        case TimeAscii:
            for (int i = 0; i < 2 * units; ++i)
                if (!AsciiDigit(reader, number, reason)) return false;
            return true;
        case TimeBcd: break;
    }
    for (int i = 0; i < units; ++i)
        if (!BcdByte(reader, number, reason)) return false;
    return true;
}

// Each token's number into its place.
static bool ReadParts(const FieldRule* rule, const uint8_t* bytes, TimeParts* time, wchar_t* reason) {
    const size_t width = TimeLayoutBytes(rule);
    TokenReader reader = {rule, bytes, 0, 0, (unsigned)width * 8};
    for (size_t i = 0; rule->timeEncoding == TimePacked && i < width; ++i)
        reader.packed = reader.packed << 8 | bytes[i];
    for (size_t i = 0; i < rule->layoutCount; ++i) {
        int number;
        if (!ReadToken(&reader, i, &number, reason)) return false;
        switch (rule->layout[i]) {
            case TimeYear4: time->year = number; break;
            case TimeYear2: time->year = 2000 + number; break;
            case TimeMonth: time->month = number; break;
            case TimeDay: time->day = number; break;
            case TimeWeekday: break;  // read, not shown
            case TimeHour: time->hour = number; break;
            case TimeMinute: time->minute = number; break;
            case TimeSecond: time->second = number; break;
        }
    }
    return true;
}

static bool HasPart(const FieldRule* rule, TimePart part) {
    for (size_t i = 0; i < rule->layoutCount; ++i)
        if (rule->layout[i] == part) return true;
    return false;
}

static bool HasDate(const FieldRule* rule) { return HasPart(rule, TimeDay); }
static bool HasTime(const FieldRule* rule) { return HasPart(rule, TimeHour); }

static bool Possible(const FieldRule* rule, const TimeParts* time, wchar_t* reason) {
    if (HasDate(rule)) {
        if (time->year > 9999) return Decline(reason, L"year %d", time->year);
        if (time->month < 1 || time->month > 12) return Decline(reason, L"month %d", time->month);
        if (time->day < 1 || time->day > DaysInMonth(time->year, time->month))
            return Decline(reason, L"day %d in %04d-%02d", time->day, time->year, time->month);
    }
    if (!HasTime(rule)) return true;
    if (time->hour > 23) return Decline(reason, L"hour %d", time->hour);
    if (time->minute > 59) return Decline(reason, L"minute %d", time->minute);
    return time->second <= 59 || Decline(reason, L"second %d", time->second);
}

static void FormatTime(const FieldRule* rule, const TimeParts* time, char* text, size_t size) {
    char date[16] = "", clock[16] = "";
    if (HasDate(rule)) snprintf(date, sizeof date, "%04d-%02d-%02d", time->year, time->month, time->day);
    if (HasPart(rule, TimeSecond))
        snprintf(clock, sizeof clock, "%02d:%02d:%02d", time->hour, time->minute, time->second);
    else if (HasTime(rule))
        snprintf(clock, sizeof clock, "%02d:%02d", time->hour, time->minute);
    snprintf(text, size, "%s%s%s", date, *date && *clock ? " " : "", clock);
}

bool ReadFieldTime(const FieldRule* rule, const uint8_t* bytes, char* text, size_t size, wchar_t* reason) {
    TimeParts time = {0, 1, 1, 0, 0, 0};
    if (!ReadParts(rule, bytes, &time, reason) || !Possible(rule, &time, reason)) return false;
    FormatTime(rule, &time, text, size);
    return true;
}

// 0 for Sunday.
static int Weekday(int year, int month, int day) {
    static const int MonthOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    year += 400;  // the same weekdays 400 years on; keeps year 0's January and February from dividing -1
    return (year + year / 4 - year / 100 + year / 400 + MonthOffsets[month - 1] + day) % 7;
}

// A token's number for the time: the year as the layout writes it.
static int TokenValue(TimePart part, const TimeParts* time) {
    switch (part) {
        case TimeYear4: return time->year;
        case TimeYear2: return time->year - 2000;
        case TimeMonth: return time->month;
        case TimeDay: return time->day;
        case TimeWeekday: return Weekday(time->year, time->month, time->day);
        case TimeHour: return time->hour;
        case TimeMinute: return time->minute;
        case TimeSecond: return time->second;
    }
    return 0;
}

static void WriteTime(const FieldRule* rule, const TimeParts* time, uint8_t* bytes) {
    uint64_t packed = 0;
    for (size_t i = 0; i < rule->layoutCount; ++i) {
        const int number = TokenValue(rule->layout[i], time);
        const bool year4 = rule->layout[i] == TimeYear4;
        switch (rule->timeEncoding) {
            case TimePacked: packed = packed << rule->timeBits[i] | (unsigned)number; break;
            case TimeBinary:
                if (year4) *bytes++ = (uint8_t)(number >> 8);
                *bytes++ = (uint8_t)number;
                break;
            case TimeAscii:
                for (int digit = year4 ? 1000 : 10; digit; digit /= 10) *bytes++ = (uint8_t)('0' + number / digit % 10);
                break;
            case TimeBcd:
                if (year4) *bytes++ = (uint8_t)((number / 1000 % 10) << 4 | number / 100 % 10);
                *bytes++ = (uint8_t)((number / 10 % 10) << 4 | number % 10);
                break;
        }
    }
    if (rule->timeEncoding != TimePacked) return;
    const size_t width = TimeLayoutBytes(rule);
    unsigned bits = 0;
    for (size_t i = 0; i < rule->layoutCount; ++i) bits += rule->timeBits[i];
    packed <<= width * 8 - bits;  // the tokens from the most significant bit
    for (size_t i = width; i-- > 0; packed >>= 8) bytes[i] = (uint8_t)packed;
}

void WriteExampleTime(const FieldRule* rule, uint8_t* bytes) {
    const TimeParts example = {2024, 5, 20, 10, 30, 0};
    WriteTime(rule, &example, bytes);
}

// Exactly `count` digits at *text.
static bool ReadShownDigits(const char** text, int count, int* number) {
    *number = 0;
    for (int i = 0; i < count; ++i, ++*text) {
        if (**text < '0' || **text > '9') return false;
        *number = *number * 10 + (**text - '0');
    }
    return true;
}

static bool ReadShownTime(const FieldRule* rule, const char* text, TimeParts* time) {
    const char* c = text;
    if (HasDate(rule) && !(ReadShownDigits(&c, 4, &time->year) && *c++ == '-' &&
                           ReadShownDigits(&c, 2, &time->month) && *c++ == '-' && ReadShownDigits(&c, 2, &time->day)))
        return false;
    if (HasDate(rule) && HasTime(rule) && *c++ != ' ') return false;
    if (HasTime(rule) && !(ReadShownDigits(&c, 2, &time->hour) && *c++ == ':' && ReadShownDigits(&c, 2, &time->minute)))
        return false;
    if (HasPart(rule, TimeSecond) && *c == ':' && !(++c, ReadShownDigits(&c, 2, &time->second))) return false;
    return *c == '\0';
}

bool TimeDigits(const FieldRule* rule, const char* text, char* digits, size_t size) {
    TimeParts time = {2000, 1, 1, 0, 0, 0};
    if (rule->timeEncoding == TimeBinary || rule->timeEncoding == TimePacked || !ReadShownTime(rule, text, &time) ||
        !Possible(rule, &time, NULL))
        return false;
    if (HasPart(rule, TimeYear2) && (time.year < 2000 || time.year > 2099)) return false;
    FieldRule asAscii = *rule;  // two digits per token, four for YYYY
    asAscii.timeEncoding = TimeAscii;
    const size_t length = TimeLayoutBytes(&asAscii);
    if (length >= size) return false;
    WriteTime(&asAscii, &time, (uint8_t*)digits);
    digits[length] = '\0';
    return true;
}
