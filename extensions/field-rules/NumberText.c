#include "NumberText.h"

#include <inttypes.h>
#include <locale.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// The longest decimal number read: far more than any value needs.
enum { MaxDecimalLength = 127, MaxScientificLength = 40 };

// The longest whole number written: the largest double has 309 digits.
enum { MaxWholeLength = 320 };

// A fixed-point text of any double: a sign, 309 whole digits or up to 340
// after the point for the smallest, and the digits that decide the rounding.
enum { RoundingDigits = 30, MaxFixedLength = 1024 };

static char LocalePoint(void) {
    const struct lconv* conventions = localeconv();
    return conventions && conventions->decimal_point && conventions->decimal_point[0] ? conventions->decimal_point[0]
                                                                                      : '.';
}

static void ReplaceChar(char* text, char from, char to) {
    if (from == to) return;
    for (char* c = strchr(text, from); c; c = strchr(c + 1, from)) *c = to;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

static const char* SkipDigits(const char* text, size_t* count) {
    *count = 0;
    while (IsDigit(*text)) ++text, ++*count;
    return text;
}

// The end of the decimal number's text at the start of `text`, or NULL.
static const char* DecimalEnd(const char* text) {
    const char* c = text + (*text == '+' || *text == '-');
    size_t whole, fraction = 0;
    c = SkipDigits(c, &whole);
    if (*c == '.') c = SkipDigits(c + 1, &fraction);
    if (whole + fraction == 0) return NULL;
    if (*c == 'e' || *c == 'E') {
        const char* exponent = c + 1 + (c[1] == '+' || c[1] == '-');
        size_t exponentDigits;
        const char* end = SkipDigits(exponent, &exponentDigits);
        if (exponentDigits) c = end;
    }
    return c;
}

const char* ReadDecimal(const char* text, double* value) {
    const char* end = DecimalEnd(text);
    if (!end || end - text > MaxDecimalLength) return NULL;
    char number[MaxDecimalLength + 1];
    memcpy(number, text, (size_t)(end - text));
    number[end - text] = '\0';
    ReplaceChar(number, '.', LocalePoint());
    *value = strtod(number, NULL);
    return isfinite(*value) ? end : NULL;
}

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadWholeNumber(const char* text, WholeNumber* number) {
    number->negative = *text == '-';
    text += *text == '+' || *text == '-';
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const unsigned base = hex ? 16 : 10;
    text += hex ? 2 : 0;
    if (!*text) return false;
    number->magnitude = 0;
    for (; *text; ++text) {
        const int digit = HexDigitValue(*text);
        if (digit < 0 || (unsigned)digit >= base || number->magnitude > (UINT64_MAX - (unsigned)digit) / base)
            return false;
        number->magnitude = number->magnitude * base + (unsigned)digit;
    }
    return true;
}

// A text such as "-0.00" loses its sign: the operator reads 0.
static void DropSignOfZero(char* text) {
    if (text[0] == '-' && strspn(text + 1, "0.") == strlen(text + 1)) memmove(text, text + 1, strlen(text));
}

static bool FormatNonFinite(double value, char* out, size_t size) {
    if (isfinite(value)) return false;
    snprintf(out, size, "%s", isnan(value) ? "NaN" : value < 0 ? "-Inf" : "Inf");
    return true;
}

// Adds one unit in the last digit of the digits and point from `first` to
// `end`; false when the carry runs out of the first digit (9.99 -> 10.00).
static bool CarryOne(char* first, char* end) {
    for (char* c = end; c-- > first;) {
        if (*c == '.') continue;
        if (*c != '9') {
            ++*c;
            return true;
        }
        *c = '0';
    }
    return false;
}

// `text` (a sign, digits, a point and more digits than wanted) cut to
// `decimals` digits after the point, rounded half away from zero: only the
// first digit cut off decides.
static void RoundHalfAwayFromZero(char* text, int decimals) {
    char* point = strchr(text, '.');
    if (!point) return;
    char* cut = decimals > 0 ? point + 1 + decimals : point;
    const bool up = *(decimals > 0 ? cut : point + 1) >= '5';
    *cut = '\0';
    char* first = text + (text[0] == '-');
    if (up && !CarryOne(first, cut)) memmove(first + 1, first, strlen(first) + 1), *first = '1';
}

void FormatFixed(double value, int decimals, char* out, size_t size) {
    if (FormatNonFinite(value, out, size)) return;
    // The digits beyond the wanted ones show whether the value is half a unit
    // or more away: printf's own rounding takes an exact half to the even digit.
    char text[MaxFixedLength];
    snprintf(text, sizeof text, "%.*f", decimals + RoundingDigits, value);
    ReplaceChar(text, LocalePoint(), '.');
    RoundHalfAwayFromZero(text, decimals);
    DropSignOfZero(text);
    snprintf(out, size, "%s", text);
}

// The digits after the point that the number written in `scientific`
// ("1.2340000e+01") needs without an exponent.
static int DecimalsOfScientific(const char* scientific) {
    const char* exponent = strpbrk(scientific, "eE");
    if (!exponent) return 0;
    const char* firstDigit = scientific + strcspn(scientific, "0123456789");
    const char* lastDigit = exponent - 1;
    while (lastDigit > firstDigit && (*lastDigit == '0' || !IsDigit(*lastDigit))) --lastDigit;
    int significant = 0;
    for (const char* c = firstDigit; c <= lastDigit; ++c) significant += IsDigit(*c);
    const int decimals = significant - 1 - atoi(exponent + 1);
    return decimals > 0 ? decimals : 0;
}

// A whole number from its digits in `scientific` ("3.5e+39"), zeros in
// place of the digits beyond them: %.0f would write the binary value's
// digits, which a large double has well beyond its precision.
static void FormatWholeOfScientific(const char* scientific, char* out, size_t size) {
    const char* exponent = strpbrk(scientific, "eE");
    const int wholeDigits = atoi(exponent + 1) + 1;
    char text[MaxWholeLength + 1];
    int length = 0, written = 0;
    if (scientific[0] == '-') text[length++] = '-';
    for (const char* c = scientific; c < exponent && written < wholeDigits; ++c)
        if (IsDigit(*c)) text[length++] = *c, ++written;
    for (; written < wholeDigits && length < MaxWholeLength; ++written) text[length++] = '0';
    text[length] = '\0';
    snprintf(out, size, "%s", text);
}

void FormatSignificant(double value, int limit, char* out, size_t size) {
    char scientific[MaxScientificLength];
    snprintf(scientific, sizeof scientific, "%.*e", limit - 1, value);
    const int decimals = DecimalsOfScientific(scientific);
    if (decimals > 0 || !isfinite(value) || fabs(value) < 1e15)
        FormatFixed(value, decimals, out, size);
    else
        FormatWholeOfScientific(scientific, out, size);
}

int RoundTripDigits(double value, bool single) {
    if (!isfinite(value)) return 1;
    const int limit = single ? 9 : 17;
    char scientific[MaxScientificLength];
    for (int digits = 1; digits < limit; ++digits) {
        snprintf(scientific, sizeof scientific, "%.*e", digits - 1, value);
        const double back = strtod(scientific, NULL);  // written and read in the same locale
        if (single ? (float)back == (float)value : back == value) return digits;
    }
    return limit;
}

void FormatRoundTrip(double value, bool single, char* out, size_t size) {
    FormatSignificant(value, RoundTripDigits(value, single), out, size);
}

void FormatUnsigned(uint64_t value, char* out, size_t size) { snprintf(out, size, "%" PRIu64, value); }

void FormatSigned(int64_t value, char* out, size_t size) { snprintf(out, size, "%" PRId64, value); }
