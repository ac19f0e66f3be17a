// Answers of public protocols, each field decoded through the
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

// SunSpec inverter (model 103, a register dump of a three-phase inverter):
// each value is followed some registers on by its scale factor, a power of
// ten (A_SF -2, V_SF -1, Hz_SF -2); 0xFFFF (uint16) and 0x8000 (int16) mean
// "not implemented". Registers from A: A 0, AphA..C 0, A_SF -2, PPVphAB..CA
// 3965 3953 3963, PhVphA..C 2288 2284 2285, V_SF -1, W 0, W_SF 0, Hz 4998,
// Hz_SF -2, VA..PF_SF 0, WH 60:8980, WH_SF 0, DCA 0, DCA_SF 0, DCV 16,
// DCV_SF -1, DCW 0, DCW_SF 0, TmpCab 0x8000.
const char* const SunSpecRules = R"(
[1]
type = u16
scale_exponent_at = 8
markers = 0xFFFF:未实现
unit = A
[2]
type = u16
scale_exponent_at = 12
markers = 0xFFFF:未实现
unit = V
[3]
type = u16
scale_exponent_at = 6
markers = 0xFFFF:未实现
unit = V
[4]
type = u16
scale_exponent_at = 2
markers = 0xFFFF:未实现
unit = Hz
[5]
type = u32
scale_exponent_at = 4
markers = 0:未实现
unit = Wh
[6]
type = s16
scale_exponent_at = 2
markers = 0x8000:未实现
unit = W
[7]
type = s16
scale_exponent_at = 8
markers = 0x8000:未实现
unit = ℃
[8]
type = u16
scale_exponent_at = 2
markers = 0xFFFF:未实现
unit = V
)";

std::string Registers(std::initializer_list<unsigned> registers) {
    std::string bytes;
    for (unsigned r : registers) bytes += {static_cast<char>(r >> 8), static_cast<char>(r & 0xFF)};
    return bytes;
}

TEST(FieldRulesProtocolsTest, SunSpecInverterRegistersDecodeWithTheirScaleFactors) {
    const RulesLibrary library(L"SunSpec", SunSpecRules);
    RulesHost host(library.Path());
    const Answer answer = {
        "model 103",
        Registers({0, 0, 0, 0, 65534, 3965, 3953, 3963, 2288, 2284, 2285, 65535, 0, 0, 4998, 65534, 0, 0, 0, 0, 0, 0,
                   60, 8980, 0, 0, 0, 16, 65535, 0, 0, 32768, 3927, 32768, 32768, 65534}),
        false,
        {{1, 1, 10, "0.00", "0.00 A", 0},          {2, 11, 14, "396.5", "396.5 V", 0},
         {3, 17, 8, "228.8", "228.8 V", 0},
         {4, 29, 4, "49.98", "49.98 Hz", 0},       {5, 45, 6, "3941140", "3941140 Wh", 0},
         {8, 55, 4, "1.6", "1.6 V", 0},            {6, 25, 4, "0", "0 W", 0},
         {7, 63, 10, "未实现", "未实现", 2}}};
    ExpectFields(host, answer);
    // The same current when the inverter leaves it out, and a scale factor it does not implement.
    EXPECT_EQ(L"未实现", host.ExplainAt(1, Registers({65535, 0, 0, 0, 32768}), 1, 10).display);
    EXPECT_TRUE(host.ExplainAt(1, Registers({1510, 0, 0, 0, 32768}), 1, 10).declined);
    EXPECT_EQ(L"15.10 A", host.ExplainAt(1, Registers({1510, 0, 0, 0, 65534}), 1, 10).display);
}

// GB/T 32960.3 vehicle data (information type 01) of a documented real-time
// report: state 02 (off), charging 03 (not charging), mode 01 (electric),
// speed 0, mileage 000030FC (1254.0 km), voltage 0EE3 (381.1 V), current
// 2726 (0.1 A steps from -1000 A: 2.2 A), SOC 5E (94 %), DC-DC 02, gear CF
// (P), insulation 0BB8 (3000 kOhm). 0xFE / 0xFFFE: abnormal, 0xFF / 0xFFFF: invalid.
const char* const Gbt32960Rules = R"(
[1]
type = u8
names = 1:启动, 2:熄火, 3:其他
markers = 0xFE:异常, 0xFF:无效
[2]
type = u8
names = 1:停车充电, 2:行驶充电, 3:未充电, 4:充电完成
markers = 0xFE:异常, 0xFF:无效
[3]
type = u8
names = 1:纯电, 2:混动, 3:燃油
markers = 0xFE:异常, 0xFF:无效
[4]
type = u16
scale = 0.1
unit = km/h
markers = 0xFFFE:异常, 0xFFFF:无效
[5]
type = u32
scale = 0.1
unit = km
markers = 0xFFFFFFFE:异常, 0xFFFFFFFF:无效
[6]
type = u16
scale = 0.1
unit = V
markers = 0xFFFE:异常, 0xFFFF:无效
[7]
type = u16
scale = 0.1
offset = -1000
unit = A
markers = 0xFFFE:异常, 0xFFFF:无效
[8]
type = u8
unit = %
markers = 0xFE:异常, 0xFF:无效
[9]
type = u8
mask = 0x0F
names = 0:空档, 13:倒档, 14:D档, 15:P档
[10]
type = u16
unit = kΩ
)";

TEST(FieldRulesProtocolsTest, Gbt32960VehicleDataDecodesWithItsMarkers) {
    const RulesLibrary library(L"Gbt32960", Gbt32960Rules);
    RulesHost host(library.Path());
    const Answer answer = {"vehicle data", Bytes("01 02 03 01 00 00 00 00 30 FC 0E E3 27 26 5E 02 CF 0B B8 00 00"),
                           false,
                           {{1, 2, 1, "2", "熄火", 0},                {2, 3, 1, "3", "未充电", 0},
                            {3, 4, 1, "1", "纯电", 0},                {4, 5, 2, "0.0", "0.0 km/h", 0},
                            {5, 7, 4, "1254.0", "1254.0 km", 0},      {6, 11, 2, "381.1", "381.1 V", 0},
                            {7, 13, 2, "2.2", "2.2 A", 0},            {8, 15, 1, "94", "94 %", 0},
                            {9, 17, 1, "15", "P档", 0},               {10, 18, 2, "3000", "3000 kΩ", 0}}};
    ExpectFields(host, answer);
    const Answer abnormal = {"abnormal and invalid readings", Bytes("FE FF FF FF FF FF FF FF FE"), false,
                             {{1, 1, 1, "异常", "异常", 2},  {6, 2, 2, "无效", "无效", 2},
                              {5, 4, 4, "无效", "无效", 2},  {7, 8, 2, "异常", "异常", 2}}};
    ExpectFields(host, abnormal);
    EXPECT_EQ("65534", host.Obscure(7, "异常").value_or("declined"));
}

// A smart BMS's documented answer to "DD A5 03 00 FF FD 77": total voltage
// 1700 (10 mV: 58.88 V), current 0000 (10 mA, signed), remaining and
// nominal capacity 02D0 and 03E8 (10 mAh), cycles 0, production date 2078
// (day in the low 5 bits, then 4 bits of month and 7 of year - 2000:
// 2016-03-24), no balancing, no protection, version 10 (1.0), SOC 48
// (72 %), FETs 03 (charge and discharge on), 15 cells, 2 sensors, 0B76 and
// 0B82 (0.1 K from 0 K at 2731: 20.3 and 21.5 degrees).
const char* const SmartBmsRules = R"(
[1]
type = u16
scale = 0.01
unit = V
[2]
type = s16
scale = 0.01
unit = A
[3]
type = u16
scale = 0.01
unit = Ah
[4]
type = time
layout = YY MM DD
bits = 7 4 5
[5]
type = u16
flags = 0:单体过压, 1:单体欠压, 2:总体过压, 3:总体欠压, 4:充电过温, 5:充电低温, 6:放电过温, 7:放电低温, 8:充电过流, 9:放电过流, 10:短路, 11:前端IC错误, 12:MOS锁定
none = 正常
alarms = 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12
[6]
type = bcd
scale = 0.1
[7]
type = u8
unit = %
[8]
type = u8
flags = 0:充电MOS开, 1:放电MOS开
none = MOS全关
[9]
type = u16
scale = 0.1
offset = -273.1
unit = ℃
)";

TEST(FieldRulesProtocolsTest, SmartBmsBasicInformationDecodesToItsDocumentedValues) {
    const RulesLibrary library(L"SmartBms", SmartBmsRules);
    RulesHost host(library.Path());
    const Answer answer = {
        "basic information",
        Bytes("DD 03 00 1B 17 00 00 00 02 D0 03 E8 00 00 20 78 00 00 00 00 00 00 10 48 03 0F 02 0B 76 0B 82 FB FF 77"),
        false,
        {{1, 5, 2, "58.88", "58.88 V", 0},      {2, 7, 2, "0.00", "0.00 A", 0},
         {3, 9, 2, "7.20", "7.20 Ah", 0},       {3, 11, 2, "10.00", "10.00 Ah", 0},
         {4, 15, 2, "2016-03-24", "2016-03-24", 0}, {5, 21, 2, "0", "正常", 0},
         {6, 23, 1, "1.0", "1.0", 0},           {7, 24, 1, "72", "72 %", 0},
         {8, 25, 1, "3", "充电MOS开、放电MOS开", 0}, {9, 28, 2, "20.3", "20.3 ℃", 0},
         {9, 30, 2, "21.5", "21.5 ℃", 0}}};
    ExpectFields(host, answer);
}

// An ASCII inverter's documented status answer (QPIGS): fixed-width
// readings between blanks, and the device status b7..b0 as the characters
// 00110110: b1 charging from the solar controller, b2 charging, b4 load on,
// b5 controller firmware updated. The setting of the largest charging
// current is sent as three digits: 40 A is 040.
const char* const AsciiInverterRules = R"(
[1]
type = ascii
unit = V
[2]
type = ascii
unit = Hz
[3]
type = ascii
unit = W
[4]
type = ascii
unit = %
[5]
type = ascii
unit = A
[6]
type = ascii
base = 2
flags = 0:市电充电, 1:太阳能充电, 2:充电中, 3:充电稳压, 4:负载开, 5:控制器固件已更新, 6:设置已改, 7:SBU优先
none = 无
[7]
type = ascii
unit = A
digits = 3
max = 120
)";

TEST(FieldRulesProtocolsTest, AsciiInverterStatusDecodesAndASettingIsSentAsItsDigits) {
    const RulesLibrary library(L"AsciiInverter", AsciiInverterRules);
    RulesHost host(library.Path());
    const Answer answer = {
        "QPIGS",
        "(000.0 00.0 230.0 49.9 0161 0119 003 460 57.50 012 100 0069 0014 103.8 57.45 00000 00110110 00 00 00856 010\r",
        false,
        {{1, 2, 5, "0.0", "0.0 V", 0},   {1, 13, 5, "230.0", "230.0 V", 0}, {2, 19, 4, "49.9", "49.9 Hz", 0},
         {3, 29, 4, "119", "119 W", 0},      {4, 34, 3, "3", "3 %", 0},         {1, 42, 5, "57.50", "57.50 V", 0},
         {5, 48, 3, "12", "12 A", 0},        {1, 66, 5, "103.8", "103.8 V", 0},
         {6, 84, 8, "54", "太阳能充电、充电中、负载开、控制器固件已更新", 0}}};
    ExpectFields(host, answer);
    EXPECT_EQ("040", host.Obscure(7, "40 A").value_or("declined"));
    EXPECT_EQ("54", host.Obscure(6, "太阳能充电、充电中、负载开、控制器固件已更新").value_or("declined"));
}

// Lines of a documented IEC 62056-21 (mode D) readout of an electricity
// meter: the clock as YYMMDDhhmmss in ASCII (2010-12-09 11:30:20), energy
// 123456.789 kWh, power 01.193 kW, tariff 0002.
const char* const Iec62056Rules = R"(
[1]
type = time
layout = YY MM DD hh mm ss
encoding = ascii
[2]
type = ascii
unit = kWh
[3]
type = ascii
unit = kW
[4]
type = ascii
base = 16
names = 1:低谷, 2:高峰
)";

TEST(FieldRulesProtocolsTest, Iec62056ReadoutDecodesItsClockAndReadings) {
    const RulesLibrary library(L"Iec62056", Iec62056Rules);
    RulesHost host(library.Path());
    const Answer answer = {"readout",
                           "/ISk5\\2MT382-1000\r\n\r\n0-0:1.0.0(101209113020W)\r\n1-0:1.8.1(123456.789*kWh)\r\n"
                           "1-0:1.7.0(01.193*kW)\r\n0-0:96.14.0(0002)\r\n",
                           false,
                           {{1, 32, 12, "2010-12-09 11:30:20", "2010-12-09 11:30:20", 0},
                            {2, 58, 10, "123456.789", "123456.789 kWh", 0},
                            {3, 85, 6, "1.193", "1.193 kW", 0},
                            {4, 109, 4, "2", "高峰", 0}}};
    ExpectFields(host, answer);
    EXPECT_EQ("101209113020", host.Obscure(1, "2010-12-09 11:30:20").value_or("declined"));
}

}  // namespace
