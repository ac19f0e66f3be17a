#pragma once
// Decimal numbers as texts, always with '.' as the decimal point, whatever
// locale the host process has given the C runtime.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Reads a decimal number at the start of `text`: an optional sign, digits
// with an optional point, an optional exponent ("-12.5", "3", "1e-3"); no
// blanks, hex, "inf" or "nan". Returns the end of the number, or NULL when
// none starts there or it is not finite.
const char* ReadDecimal(const char* text, double* value);

// A whole number written in decimal or in hex after 0x, with an optional sign.
typedef struct {
    bool negative;
    uint64_t magnitude;
} WholeNumber;

// The value of a hex digit (either case), or -1 for another character.
int HexDigitValue(char c);

// Reads a whole number that makes up all of `text`; false when it does not,
// or its magnitude exceeds 64 bits.
bool ReadWholeNumber(const char* text, WholeNumber* number);

// `value` with exactly `decimals` digits after the point ("12.50"),
// rounded half away from zero (0.125 is "0.13").
void FormatFixed(double value, int decimals, char* out, size_t size);

// `value` with the significant digits it needs, at most `limit`, written
// without an exponent: a computed value loses the binary noise beyond its
// precision (12.340000000000002 at 15 digits is "12.34").
void FormatSignificant(double value, int limit, char* out, size_t size);

// `value` with the fewest digits that read back as the same number: as a
// float when `single`, else as a double.
void FormatRoundTrip(double value, bool single, char* out, size_t size);

// The fewest significant digits that read back as `value` (as a float when
// `single`); 1 for NaN and the infinities.
int RoundTripDigits(double value, bool single);

void FormatUnsigned(uint64_t value, char* out, size_t size);
void FormatSigned(int64_t value, char* out, size_t size);

#ifdef __cplusplus
}
#endif
