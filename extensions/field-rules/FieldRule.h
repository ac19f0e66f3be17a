#pragma once
// One parameter's field rule, as read from a rules file, and the set of all
// rules of one file with the problems found in it.

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#include "Decimal.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    FieldU8, FieldS8, FieldU16, FieldS16, FieldU32, FieldS32, FieldU64, FieldS64,
    FieldF32, FieldF64, FieldBcd, FieldSbcd, FieldAscii, FieldText, FieldTime,
} FieldType;

// One byte of a time field: what the layout says it holds.
typedef enum { TimeYear4, TimeYear2, TimeMonth, TimeDay, TimeWeekday, TimeHour, TimeMinute, TimeSecond } TimePart;

enum { TimeLayoutMaxParts = 8 };

// The byte order of a value in the field, as two independent swaps of the
// most-significant-first order (ABCD): BADC swaps the bytes of each 16-bit
// word, CDAB reverses the order of the words, DCBA does both.
typedef struct {
    bool swapBytes;
    bool reverseWords;
} ByteOrder;

// An enumerated value and its name. The key is the field's number (after the
// mask) as a 64-bit pattern: two's complement for the signed types.
typedef struct {
    uint64_t key;
    bool negative;  // the key was written with a minus sign
    char* name;     // in the ANSI code page
    bool hexText;   // the key was written in hex (0x...)
} FieldName;

// How a time's tokens are written: bcd bytes, binary bytes, two ASCII digits
// each, or bit fields of one number (`bits`).
typedef enum { TimeBcd, TimeBinary, TimeAscii, TimePacked } TimeEncoding;

typedef struct {
    int32_t paramId;
    int line;     // the line of the section's header
    bool broken;  // a problem was found in the section: the parameter declines
    FieldType type;
    ByteOrder order;
    double scale, offset;  // 1 and 0 unless given
    Decimal exactScale, exactOffset;  // the same as written, for the integer and ascii types
    int decimals;          // -1 unless given
    char* unit;            // in the ANSI code page; NULL unless given
    bool hasMin, hasMax;
    double min, max;
    Decimal exactMin, exactMax;
    FieldName* names;
    size_t nameCount;
    uint64_t mask;  // 0 unless given
    int digits;     // 0 unless given
    uint8_t bias;   // subtracted from every byte of the field first; 0 unless given
    TimePart layout[TimeLayoutMaxParts];  // the bytes of a time field
    size_t layoutCount;
    TimeEncoding timeEncoding;
    uint8_t timeBits[TimeLayoutMaxParts];  // TimePacked: each layout token's width, most significant first
    FieldName* markers;  // raw numbers (bit patterns in the number's width) that mean no reading
    size_t markerCount;
    uint16_t markerCode;   // the explain code of a marked value; 2 unless given
    int scaleExponentAt;   // the byte offset in the field of a signed 16-bit power of ten; -1 unless given
    bool hasScaleExponent;
    int scaleExponent;     // Obscure's power of ten, which has no field to read it from
    unsigned base;         // ascii: 2, 10 or 16
    int frameStart, frameCount;  // check-rules --frame: the field's place in a frame (1-based); 0 unless given
    bool frameHex;               // check-rules --frame: the field is hex-encoded
    FieldName* flags;  // bit number (from the least significant bit) and name
    size_t flagCount;
    char* separator;  // between the names of set flags; NULL: the default
    char* none;       // the display text without a named bit set; NULL: the value text
    uint64_t alarms;  // bits that set explain code 1
    bool hexFormat;   // the value text is upper-case hex digits
} FieldRule;

typedef enum { EncodingNone, EncodingAnsi, EncodingUtf8, EncodingUtf8Bom, EncodingUtf16 } RuleEncoding;

enum { RuleReasonSize = 200 };

typedef struct {
    int line;
    wchar_t reason[RuleReasonSize];
} RuleProblem;

typedef struct {
    FieldRule* rules;  // ordered by parameter id, each id once
    size_t ruleCount;
    RuleProblem* problems;  // in the order of their lines
    size_t problemCount;
    RuleProblem* warnings;  // what works but may surprise, in the order of their lines
    size_t warningCount;
    RuleEncoding encoding;  // how the file's text was read; EncodingNone without a file
} RuleBook;

enum { RuleTextMaxBytes = 255 };  // the longest unit or name, in ANSI bytes

// The rule for `paramId`, or NULL.
const FieldRule* FindFieldRule(const RuleBook* book, int32_t paramId);

// Gives back everything the book holds and leaves it empty.
void FreeRuleBook(RuleBook* book);

#ifdef __cplusplus
}
#endif
