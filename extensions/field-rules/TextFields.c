#include "TextFields.h"

#include "FieldDecode.h"

#include <stdio.h>
#include <string.h>

static bool IsBlankOrZero(uint8_t c) { return c == ' ' || c == '\t' || c == '\0'; }

bool ReadAsciiNumber(const uint8_t* bytes, size_t length, Decimal* number) {
    size_t start = 0, end = length;
    while (start < end && IsBlankOrZero(bytes[start])) ++start;
    while (end > start && IsBlankOrZero(bytes[end - 1])) --end;
    char text[FieldMaxBytes + 1];
    size_t count = 0;
    for (size_t i = start; i < end; ++i) {
        const char c = (char)bytes[i];
        const bool sign = (c == '-' || c == '+') && i == start;
        if (!sign && c != '.' && !(c >= '0' && c <= '9')) return false;  // no blanks inside, no exponent
        text[count++] = c;
    }
    text[count] = '\0';
    const char* parsed = count ? ReadExactDecimal(text, number) : NULL;
    return parsed && *parsed == '\0';
}

void ReadFieldText(const uint8_t* bytes, size_t length, char* text, size_t size) {
    const uint8_t* zero = memchr(bytes, 0, length);
    if (zero) length = (size_t)(zero - bytes);
    while (length && IsBlankOrZero(bytes[length - 1])) --length;
    if (length >= size) length = size - 1;
    memcpy(text, bytes, length);
    text[length] = '\0';
}

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

static bool ByteNumber(const FieldRule* rule, uint8_t byte, int* number) {
    if (rule->binaryTime) {
        *number = byte;
        return true;
    }
    *number = (byte >> 4) * 10 + (byte & 0xF);
    return (byte >> 4) <= 9 && (byte & 0xF) <= 9;
}

static int DaysInMonth(int year, int month) {
    static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : Days[month - 1];
}

// Each part's number into its place; false for a bcd digit above 9.
static bool ReadParts(const FieldRule* rule, const uint8_t* bytes, TimeParts* time) {
    for (size_t i = 0; i < rule->layoutCount; ++i) {
        int number, low = 0;
        if (!ByteNumber(rule, *bytes++, &number)) return false;
        if (rule->layout[i] == TimeYear4) {
            if (!ByteNumber(rule, *bytes++, &low)) return false;
            number = number * (rule->binaryTime ? 256 : 100) + low;
        }
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

static bool Possible(const FieldRule* rule, const TimeParts* time) {
    if (HasDate(rule) && (time->year > 9999 || time->month < 1 || time->month > 12 || time->day < 1 ||
                          time->day > DaysInMonth(time->year, time->month)))
        return false;
    return !HasTime(rule) || (time->hour <= 23 && time->minute <= 59 && time->second <= 59);
}

bool ReadFieldTime(const FieldRule* rule, const uint8_t* bytes, char* text, size_t size) {
    TimeParts time = {0, 1, 1, 0, 0, 0};
    if (!ReadParts(rule, bytes, &time) || !Possible(rule, &time)) return false;
    char date[16] = "", clock[16] = "";
    if (HasDate(rule)) snprintf(date, sizeof date, "%04d-%02d-%02d", time.year, time.month, time.day);
    if (HasPart(rule, TimeSecond))
        snprintf(clock, sizeof clock, "%02d:%02d:%02d", time.hour, time.minute, time.second);
    else if (HasTime(rule))
        snprintf(clock, sizeof clock, "%02d:%02d", time.hour, time.minute);
    snprintf(text, size, "%s%s%s", date, *date && *clock ? " " : "", clock);
    return true;
}

static uint8_t ByteOf(const FieldRule* rule, int number) {
    return rule->binaryTime ? (uint8_t)number : (uint8_t)((number / 10 % 10) << 4 | number % 10);
}

void WriteExampleTime(const FieldRule* rule, uint8_t* bytes) {
    for (size_t i = 0; i < rule->layoutCount; ++i) switch (rule->layout[i]) {
            case TimeYear4:
                *bytes++ = ByteOf(rule, rule->binaryTime ? 2024 >> 8 : 20);
                *bytes++ = ByteOf(rule, rule->binaryTime ? 2024 & 0xFF : 24);
                break;
            case TimeYear2: *bytes++ = ByteOf(rule, 24); break;
            case TimeMonth: *bytes++ = ByteOf(rule, 5); break;
            case TimeDay: *bytes++ = ByteOf(rule, 20); break;
            case TimeWeekday: *bytes++ = ByteOf(rule, 1); break;
            case TimeHour: *bytes++ = ByteOf(rule, 10); break;
            case TimeMinute: *bytes++ = ByteOf(rule, 30); break;
            case TimeSecond: *bytes++ = ByteOf(rule, 0); break;
        }
}
