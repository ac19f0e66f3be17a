// Answers of four public protocols, each field decoded through the
// component by one rules file per protocol, as an engineer would write it.
// Every field but the frame's checksum (which the host checks) must show the
// value the protocol's documentation gives for it.
#include "RulesLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct Field {
    LONG paramId;
    LONG start;  // 1 for the frame's first byte
    LONG count;
    const char* value;
    const char* display;
    USHORT code;
};

struct Answer {
    const char* name;
    std::string frame;
    bool hexEncoded;
    std::vector<Field> fields;
};

void ExpectFields(RulesHost& host, const Answer& answer) {
    SCOPED_TRACE(answer.name);
    for (const Field& field : answer.fields) {
        SCOPED_TRACE("parameter " + std::to_string(field.paramId));
        const Explained explained = host.ExplainAt(field.paramId, answer.frame, field.start, field.count,
                                                   answer.hexEncoded);
        ASSERT_FALSE(explained.declined);
        EXPECT_EQ(Wide(field.value), explained.value);
        EXPECT_EQ(Wide(field.display), explained.display);
        EXPECT_EQ(field.code, explained.code);
    }
}

// DL/T 645-2007: the data field is sent least significant byte first, each
// byte plus 33H; energies are bcd XXXXXX.XX kWh, voltages XXX.X V,
// currents XXX.XXX A and power factors X.XXX with the sign in the top bit,
// the date YYMMDDWW (0 is Sunday) and the time hhmmss.
const char* const Dlt645Rules = R"(
[1]
type = u8
format = hex
[2]
type = bcd
order = DCBA
[3]
type = u8
flags = 7:从站应答, 6:异常应答, 5:有后续帧
[4]
type = u8
mask = 0x1F
names = 17:读数据, 20:写数据
[5]
type = u8
[6]
type = u32
order = DCBA
bias = 0x33
format = hex
[7]
type = bcd
order = DCBA
bias = 0x33
scale = 0.01
unit = kWh
[8]
type = bcd
order = DCBA
bias = 0x33
scale = 0.1
unit = V
[9]
type = sbcd
order = DCBA
bias = 0x33
scale = 0.001
unit = A
[10]
type = sbcd
order = DCBA
bias = 0x33
scale = 0.001
[11]
type = time
layout = YY MM DD WW
order = DCBA
bias = 0x33
[12]
type = time
layout = hh mm ss
order = DCBA
bias = 0x33
[13]
type = u16
order = BA
bias = 0x33
flags = 2:时钟电池欠压, 3:停电抄表电池欠压, 4:有功反向, 5:无功反向
alarms = 2, 3
none = 正常
[14]
type = bcd
order = DCBA
bias = 0x33
scale = 0.01
unit = kvarh
)";

// The fields every read answer has: 68, address, 68, control code, its
// function, length, data identifier; then the data from byte 15.
std::vector<Field> Dlt645Header(const char* address, const char* length, const char* identifier) {
    return {{1, 1, 1, "68", "68", 0},         {2, 2, 6, address, address, 0},
            {1, 8, 1, "68", "68", 0},         {3, 9, 1, "145", "从站应答", 0},
            {4, 9, 1, "17", "读数据", 0},    {5, 10, 1, length, length, 0},
            {6, 11, 4, identifier, identifier, 0}};
}

std::vector<Field> With(std::vector<Field> fields, std::initializer_list<Field> more) {
    fields.insert(fields.end(), more);
    return fields;
}

TEST(FieldRulesProtocolsTest, Dlt645AnswersDecodeToTheirDocumentedValues) {
    const RulesLibrary library(L"Dlt645", Dlt645Rules);
    RulesHost host(library.Path());
    // The end byte 16H is the frame's last: the component explains no field starting there.
    const Answer answers[] = {
        // The examples of DL/T 645-2007's common answers: (current) forward active energy 0.26 kWh,
        // reverse active 1.26 kWh, reactive 100.26 and 100.23 kvarh, and phase A voltage 100.1 V.
        {"forward active energy 0.26 kWh", Bytes("68 61 01 00 00 00 00 68 91 08 33 33 34 33 59 33 33 33 8A 16"), false,
         With(Dlt645Header("161", "8", "00010000"), {{7, 15, 4, "0.26", "0.26 kWh", 0}})},
        {"reverse active energy 1.26 kWh", Bytes("68 61 01 00 00 00 00 68 91 08 33 33 35 33 59 34 33 33 8C 16"), false,
         With(Dlt645Header("161", "8", "00020000"), {{7, 15, 4, "1.26", "1.26 kWh", 0}})},
        {"reactive energy 100.26", Bytes("68 61 01 00 00 00 00 68 91 08 33 33 36 33 59 33 34 33 8D 16"), false,
         With(Dlt645Header("161", "8", "00030000"), {{14, 15, 4, "100.26", "100.26 kvarh", 0}})},
        {"reactive energy 100.23", Bytes("68 61 01 00 00 00 00 68 91 08 33 33 37 33 56 33 34 33 8B 16"), false,
         With(Dlt645Header("161", "8", "00040000"), {{14, 15, 4, "100.23", "100.23 kvarh", 0}})},
        {"phase A voltage 100.1 V", Bytes("68 61 01 00 00 00 00 68 91 06 33 34 34 35 34 43 10 16"), false,
         With(Dlt645Header("161", "6", "02010100"), {{8, 15, 2, "100.1", "100.1 V", 0}})},
        // An answer to meter 0102030425: forward active energy 1206.42 kWh.
        {"energy 1206.42 kWh of meter 0102030425",
         Bytes("68 25 04 03 02 01 00 68 91 08 33 33 34 33 75 39 45 33 8B 16"), false,
         With(Dlt645Header("102030425", "8", "00010000"), {{7, 15, 4, "1206.42", "1206.42 kWh", 0}})},
        // Built by the standard's formats (checksums computed): phase A current 02020100 of -1.234 A,
        // total power factor 02060000 of 0.985, date 04000101 2024-05-20 (a Monday), time 04000102
        // 10:30:00, meter status word 1 04000501 with the clock battery low and the active power reversed.
        {"current -1.234 A", Bytes("68 61 01 00 00 00 00 68 91 07 33 34 35 35 67 45 B3 FA 16"), false,
         With(Dlt645Header("161", "7", "02020100"), {{9, 15, 3, "-1.234", "-1.234 A", 0}})},
        {"power factor 0.985", Bytes("68 61 01 00 00 00 00 68 91 06 33 33 39 35 B8 3C 91 16"), false,
         With(Dlt645Header("161", "6", "02060000"), {{10, 15, 2, "0.985", "0.985", 0}})},
        {"date 2024-05-20", Bytes("68 61 01 00 00 00 00 68 91 08 34 34 33 37 34 53 38 57 B3 16"), false,
         With(Dlt645Header("161", "8", "04000101"), {{11, 15, 4, "2024-05-20", "2024-05-20", 0}})},
        {"time 10:30:00", Bytes("68 61 01 00 00 00 00 68 91 07 35 34 33 37 33 63 43 76 16"), false,
         With(Dlt645Header("161", "7", "04000102"), {{12, 15, 3, "10:30:00", "10:30:00", 0}})},
        {"status word 1", Bytes("68 61 01 00 00 00 00 68 91 06 34 38 33 37 47 33 19 16"), false,
         With(Dlt645Header("161", "6", "04000501"), {{13, 15, 2, "20", "时钟电池欠压、有功反向", 1}})},
    };
    for (const Answer& answer : answers) ExpectFields(host, answer);
}

// The Q1 status inquiry of the UPS protocol popular with small UPSes: the
// documentation's example answer "(208.4 140.0 208.4 034 59.9 2.05 35.0
// 00110000" means input 208.4 V, input fault 140.0 V, output 208.4 V, load
// 34 %, input 59.9 Hz, battery 2.05 V, 35.0 degrees; status bits b7..b0:
// utility normal, battery not low, bypass active, UPS failed, on-line type,
// no test, shutdown not active, b0 reserved 0.
const char* const UpsRules = R"(
[1]
type = ascii
unit = V
[2]
type = ascii
unit = %
[3]
type = ascii
unit = Hz
[4]
type = ascii
unit = ℃
[10]
type = u8
mask = 0x01
names = 0:市电正常, 1:市电故障
[11]
type = u8
mask = 0x01
names = 0:电池正常, 1:电池低压
[12]
type = u8
mask = 0x01
names = 0:旁路未激活, 1:旁路激活
[13]
type = u8
mask = 0x01
names = 0:UPS正常, 1:UPS故障
[14]
type = u8
mask = 0x01
names = 0:在线式, 1:后备式
[15]
type = u8
mask = 0x01
names = 0:未在自检, 1:自检中
[16]
type = u8
mask = 0x01
names = 0:未关机, 1:关机中
[17]
type = u8
mask = 0x01
[20]
type = text
)";

TEST(FieldRulesProtocolsTest, UpsQ1AnswerDecodesToItsDocumentedValues) {
    const RulesLibrary library(L"UpsQ1", UpsRules);
    RulesHost host(library.Path());
    const Answer answer = {
        "Q1", "(208.4 140.0 208.4 034 59.9 2.05 35.0 00110000\r", false,
        {{1, 2, 5, "208.4", "208.4 V", 0},  {1, 8, 5, "140.0", "140.0 V", 0},   {1, 14, 5, "208.4", "208.4 V", 0},
         {2, 20, 3, "34", "34 %", 0},       {3, 24, 4, "59.9", "59.9 Hz", 0},  {1, 29, 4, "2.05", "2.05 V", 0},
         {4, 34, 4, "35.0", "35.0 ℃", 0},   {10, 39, 1, "0", "市电正常", 0},    {11, 40, 1, "0", "电池正常", 0},
         {12, 41, 1, "1", "旁路激活", 0},    {13, 42, 1, "1", "UPS故障", 0},     {14, 43, 1, "0", "在线式", 0},
         {15, 44, 1, "0", "未在自检", 0},    {16, 45, 1, "0", "未关机", 0},      {17, 46, 1, "0", "0", 0}}};
    ExpectFields(host, answer);
    // The information answer "#" + company (15 characters) + model (10) + version (10), blank-padded.
    const Answer information = {"I", "#POWER SUPPLIES UPS-3000K V2.01     \r", false,
                                {{20, 2, 15, "POWER SUPPLIES", "POWER SUPPLIES", 0},
                                 {20, 17, 10, "UPS-3000K", "UPS-3000K", 0},
                                 {20, 27, 10, "V2.01", "V2.01", 0}}};
    ExpectFields(host, information);
    // A reading that is no number declines; the host shows its own text.
    EXPECT_TRUE(host.ExplainAt(1, "(2O8.4 \r", 2, 5).declined);
}

// Modbus RTU energy meters' documented answers (function 04, input
// registers; floats most significant byte first): total active energy
// "01 04 04 43 66 33 34 1B 38" is 230.2 (the float is 230.20001: one
// decimal, as the meter shows it); three voltages and three currents
// "01 04 18 43 6F E2 28 ..." are 239.9, 239.7, 239.7 V and 499.8, 499.3, 499.3 A.
const char* const ModbusRules = R"(
[1]
type = u8
[2]
type = f32
decimals = 1
[3]
type = f32
decimals = 1
unit = V
[4]
type = f32
decimals = 1
unit = A
)";

TEST(FieldRulesProtocolsTest, ModbusMeterAnswersDecodeToTheirDocumentedValues) {
    const RulesLibrary library(L"ModbusMeter", ModbusRules);
    RulesHost host(library.Path());
    const Answer energy = {"total active energy", Bytes("01 04 04 43 66 33 34 1B 38"), false,
                           {{1, 1, 1, "1", "1", 0}, {1, 2, 1, "4", "4", 0}, {1, 3, 1, "4", "4", 0},
                            {2, 4, 4, "230.2", "230.2", 0}}};
    const Answer phases = {
        "voltages and currents",
        Bytes("01 04 18 43 6F E2 28 43 6F A9 C8 43 6F A9 C8 43 F9 E0 E9 43 F9 A6 31 43 F9 A6 31 EC 6D"), false,
        {{1, 1, 1, "1", "1", 0}, {1, 2, 1, "4", "4", 0}, {1, 3, 1, "24", "24", 0},
         {3, 4, 4, "239.9", "239.9 V", 0}, {3, 8, 4, "239.7", "239.7 V", 0}, {3, 12, 4, "239.7", "239.7 V", 0},
         {4, 16, 4, "499.8", "499.8 A", 0}, {4, 20, 4, "499.3", "499.3 A", 0}, {4, 24, 4, "499.3", "499.3 A", 0}}};
    ExpectFields(host, energy);
    ExpectFields(host, phases);
}

// YD/T 1363.3: a frame is "~", every byte as two hex characters, and "\r".
// The header of an answer: VER 21H (version 2.1), ADR, CID1 40H, RTN 00H
// (normal; 01H VER error ... 06H invalid data), LENGTH whose low 12 bits
// are LENID, the number of INFO's hex characters, and whose top 4 bits are
// LCHKSUM: the standard's example LENID 18 gives LENGTH D012H.
const char* const Ydt1363Rules = R"(
[1]
type = bcd
scale = 0.1
[2]
type = u8
[3]
type = u8
format = hex
[4]
type = u8
names = 0:正常, 1:VER错, 2:CHKSUM错, 3:LCHKSUM错, 4:CID2无效, 5:命令格式错, 6:无效数据
[5]
type = u16
mask = 0x0FFF
[6]
type = u16
mask = 0xF000
format = hex
[7]
type = u8
[8]
type = f32
decimals = 2
unit = V
)";

TEST(FieldRulesProtocolsTest, Ydt1363AnswerHeaderDecodesToItsDocumentedValues) {
    const RulesLibrary library(L"Ydt1363", Ydt1363Rules);
    RulesHost host(library.Path());
    // INFO: DATAFLAG 00 and two floats 53.50 and 0.25 V as the device's table gives them, most significant byte first.
    const std::string body = "210140" "00" "D012" "00" "42560000" "3E800000";
    unsigned sum = 0;
    for (char c : body) sum += static_cast<unsigned char>(c);
    char checksum[8];
    std::snprintf(checksum, sizeof checksum, "%04X", (~sum + 1) & 0xFFFF);
    const Answer answer = {"analog answer", "~" + body + checksum + "\r", true,
                           {{1, 2, 2, "2.1", "2.1", 0},       {2, 4, 2, "1", "1", 0},
                            {3, 6, 2, "40", "40", 0},         {4, 8, 2, "0", "正常", 0},
                            {5, 10, 4, "18", "18", 0},        {6, 10, 4, "D", "D", 0},
                            {7, 14, 2, "0", "0", 0},          {8, 16, 8, "53.50", "53.50 V", 0},
                            {8, 24, 8, "0.25", "0.25 V", 0}}};
    ExpectFields(host, answer);
}

}  // namespace
