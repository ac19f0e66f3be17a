#include "LongDecimal.h"

#include "NumberText.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// Drops leading and trailing zero digits (a trailing zero moves into the
// exponent), so that equal numbers have equal digits.
static void Normalize(LongDecimal* number) {
    int first = 0;
    while (first < number->count && number->digits[first] == 0) ++first;
    int last = number->count;
    while (last > first && number->digits[last - 1] == 0) --last;
    number->exponent += number->count - last;
    number->count = last - first;
    memmove(number->digits, number->digits + first, (size_t)number->count);
    if (number->count == 0) number->exponent = 0, number->negative = false;
}

// Digits of `text` up to `stop` (any other character, such as the locale's
// point, skipped), as a whole number: the caller sets the exponent.
static void ReadDigits(const char* text, const char* stop, LongDecimal* number) {
    number->count = 0;
    for (const char* c = text; c < stop; ++c)
        if (*c >= '0' && *c <= '9' && number->count < LongDecimalMaxDigits)
            number->digits[number->count++] = (unsigned char)(*c - '0');
}

void LongDecimalOfShortest(double value, bool single, LongDecimal* number) {
    char scientific[48];  // "-d.dddddddddddddddde-324"
    snprintf(scientific, sizeof scientific, "%.*e", RoundTripDigits(value, single) - 1, value);
    const char* e = strpbrk(scientific, "eE");
    ReadDigits(scientific, e, number);
    number->negative = scientific[0] == '-';
    number->exponent = atoi(e + 1) - (number->count - 1);
    Normalize(number);
}

void LongDecimalOfDecimal(const Decimal* value, LongDecimal* number) {
    char text[64];
    FormatDecimal(value, value->exponent, text, sizeof text);
    ReadDigits(text, text + strlen(text), number);
    number->negative = value->negative;
    number->exponent = -value->exponent;
    Normalize(number);
}

static bool Multiply(const LongDecimal* a, const LongDecimal* b, LongDecimal* product) {
    if (a->count + b->count > LongDecimalMaxDigits) return false;
    memset(product, 0, sizeof *product);
    product->count = a->count + b->count;
    unsigned sums[LongDecimalMaxDigits] = {0};
    for (int i = 0; i < a->count; ++i)
        for (int j = 0; j < b->count; ++j) sums[i + j + 1] += (unsigned)a->digits[i] * b->digits[j];
    for (int k = product->count; k-- > 0;) {
        if (k > 0) sums[k - 1] += sums[k] / 10;
        product->digits[k] = (unsigned char)(sums[k] % 10);
    }
    product->exponent = a->exponent + b->exponent;
    product->negative = a->negative != b->negative;
    Normalize(product);
    return true;
}

// The digit of `number` at the power of ten `power`.
static int DigitAt(const LongDecimal* number, int power) {
    const int index = number->count - 1 - (power - number->exponent);
    return index >= 0 && index < number->count ? number->digits[index] : 0;
}

static int HighestPower(const LongDecimal* number) { return number->exponent + number->count - 1; }

static int CompareMagnitudes(const LongDecimal* a, const LongDecimal* b) {
    if (a->count == 0 || b->count == 0) return (a->count > 0) - (b->count > 0);
    if (HighestPower(a) != HighestPower(b)) return HighestPower(a) > HighestPower(b) ? 1 : -1;
    const int lowest = a->exponent < b->exponent ? a->exponent : b->exponent;
    for (int power = HighestPower(a); power >= lowest; --power)
        if (DigitAt(a, power) != DigitAt(b, power)) return DigitAt(a, power) > DigitAt(b, power) ? 1 : -1;
    return 0;
}

// a + b or, for `subtract`, a - b where |a| >= |b|, on the magnitudes.
static bool AddMagnitudes(const LongDecimal* a, const LongDecimal* b, bool subtract, LongDecimal* sum) {
    const int lowest = a->exponent < b->exponent ? a->exponent : b->exponent;
    const int highest = (HighestPower(a) > HighestPower(b) ? HighestPower(a) : HighestPower(b)) + 1;
    if (highest - lowest + 1 > LongDecimalMaxDigits) return false;
    sum->count = highest - lowest + 1;
    sum->exponent = lowest;
    int carry = 0;
    for (int power = lowest; power <= highest; ++power) {
        int digit = DigitAt(a, power) + (subtract ? -DigitAt(b, power) : DigitAt(b, power)) + carry;
        carry = digit < 0 ? -1 : digit / 10;
        digit -= carry * 10;
        sum->digits[sum->count - 1 - (power - lowest)] = (unsigned char)digit;
    }
    return true;
}

bool LongDecimalMultiplyAdd(const LongDecimal* a, const LongDecimal* b, const LongDecimal* c, LongDecimal* result) {
    LongDecimal product;
    if (!Multiply(a, b, &product)) return false;
    if (c->count == 0) {
        *result = product;
        return true;
    }
    if (product.count == 0) {
        *result = *c;
        return true;
    }
    const bool productLarger = CompareMagnitudes(&product, c) >= 0;
    const LongDecimal* larger = productLarger ? &product : c;
    const LongDecimal* smaller = productLarger ? c : &product;
    if (!AddMagnitudes(larger, smaller, product.negative != c->negative, result)) return false;
    result->negative = larger->negative;
    Normalize(result);
    return true;
}

void LongDecimalRoundSignificant(LongDecimal* number, int significant) {
    if (number->count <= significant) return;
    bool up = number->digits[significant] >= 5;
    number->exponent += number->count - significant;
    number->count = significant;
    for (int i = significant; up && i-- > 0;) {
        if (number->digits[i] < 9) {
            ++number->digits[i];
            up = false;
        } else {
            number->digits[i] = 0;
        }
    }
    if (up) {  // 999.. carried out of the first digit
        memmove(number->digits + 1, number->digits, (size_t)number->count);
        number->digits[0] = 1;
        ++number->count;
    }
    Normalize(number);
}

int LongDecimalCompare(const LongDecimal* a, const LongDecimal* b) {
    if (a->negative != b->negative) return a->negative ? -1 : 1;
    const int magnitude = CompareMagnitudes(a, b);
    return a->negative ? -magnitude : magnitude;
}

bool FormatLongDecimal(const LongDecimal* number, char* out, size_t size) {
    const int whole = number->count + number->exponent;  // digits before the point
    const int exponent = number->exponent < 0 ? -number->exponent : number->exponent;
    if ((size_t)number->count + (size_t)exponent + 4 > size) return false;  // a sign, "0." and the zero
    size_t at = 0;
    if (number->negative) out[at++] = '-';
    if (whole <= 0) out[at++] = '0';
    for (int i = 0; i < whole; ++i) out[at++] = (char)('0' + (i < number->count ? number->digits[i] : 0));
    if (number->exponent < 0) {
        out[at++] = '.';
        for (int i = whole; i < number->count; ++i) out[at++] = (char)(i < 0 ? '0' : '0' + number->digits[i]);
    }
    if (number->count == 0) at = 0, out[at++] = '0';
    out[at] = '\0';
    return true;
}
