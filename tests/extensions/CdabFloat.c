// Test extension written as a new author writes one from the README: a
// temperature sent as a 32-bit float with its 16-bit words swapped (CDAB),
// shown with its unit, and the way back to the tenths of a degree as digits.
// Built once as it should be (ExtCdab) and once with each mistake an author
// makes that the host survives without a word:
//   CDAB_OWN_CDECL_PROTOTYPES  own prototypes without __stdcall (cdecl)
//   CDAB_UNTERMINATED          texts copied without their terminating zero
//   CDAB_UTF8_UNIT             the unit written in a source saved as UTF-8
// and linked without its .def file (ExtCdabNoDef: decorated exports).
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

typedef struct IParam IParam;

#ifdef CDAB_OWN_CDECL_PROTOTYPES
#define CDAB_CALL
#else
#define CDAB_CALL __stdcall
#endif

int32_t CDAB_CALL ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param);
int32_t CDAB_CALL ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param);

enum { TemperatureId = 1, OutBufferSize = 4096, LongestValueText = 63 };

#ifdef CDAB_UTF8_UNIT
static const char Unit[] = "°C";
#else
static const char Unit[] = "\xA1\xE3" "C";  // °C in GBK
#endif

static void WriteText(char* out, const char* text) {
#ifdef CDAB_UNTERMINATED
    memcpy(out, text, strlen(text));
#else
    snprintf(out, OutBufferSize, "%s", text);
#endif
}

// The float whose big-endian bytes A B C D come in the order C D A B.
static float CdabFloat(const unsigned char* field) {
    const uint32_t bits = (uint32_t)field[2] << 24 | (uint32_t)field[3] << 16 | (uint32_t)field[0] << 8 | field[1];
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

int32_t CDAB_CALL ExplainParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, const char* fieldBytes, int32_t fieldLength, int32_t paramId,
                               uint16_t* explainCode, char* valueOut, char* displayOut, IParam* param) {
    if (paramId != TemperatureId || fieldLength != 4) return 1;
    const float value = CdabFloat((const unsigned char*)fieldBytes);
    if (!isfinite(value)) return 1;
    char text[64];
    snprintf(text, sizeof text, "%.1f", value);
    WriteText(valueOut, text);
    snprintf(text, sizeof text, "%.1f %s", value, Unit);
    WriteText(displayOut, text);
    *explainCode = 0;
    return 0;
}

int32_t CDAB_CALL ObscureParam(const char* valueText, int32_t valueLength, const char* reserved,
                               int32_t reservedLength, int32_t paramId, char* digitsOut, int32_t obscureIntA,
                               int32_t obscureIntB, uint8_t obscureByteA, uint8_t obscureByteB, IParam* param) {
    if (paramId != TemperatureId || valueLength <= 0 || valueLength > LongestValueText ||
        memchr(valueText, '\0', (size_t)valueLength))
        return 1;
    char text[LongestValueText + 1];
    memcpy(text, valueText, (size_t)valueLength);
    text[valueLength] = '\0';
    char* end = NULL;
    const double tenths = round(strtod(text, &end) * 10);
    if (*end != '\0' || !(tenths >= 0 && tenths <= 65535)) return 1;
    char digits[16];
    snprintf(digits, sizeof digits, "%ld", (long)tenths);
    WriteText(digitsOut, digits);
    return 0;
}
