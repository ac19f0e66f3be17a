#include "check/CallObservation.h"

#include <cstdlib>
#include <string>

namespace {

constexpr size_t FieldsPerCall = 11, FieldsPerOutput = 4;

std::string Flag(bool value) { return value ? "1" : "0"; }

}  // namespace

SubjectRecord ObservationRecord(const CallObservation& observation) {
    const ProbedCall& probe = observation.probe;
    SubjectRecord record{SubjectRecordKind::Observed,
                         {std::to_string(observation.index), Flag(probe.completed), std::to_string(probe.result),
                          std::to_string(probe.exceptionCode), std::to_string(probe.stackBytesRemoved),
                          std::to_string(probe.registerChanges), std::to_string(probe.x87ControlBefore),
                          std::to_string(probe.x87ControlAfter), std::to_string(probe.mxcsrBefore),
                          std::to_string(probe.mxcsrAfter), std::to_string(observation.microseconds)}};
    for (const OutputReading& output : observation.outputs) {
        record.fields.push_back(HexField(output.text));
        record.fields.push_back(Flag(output.written));
        record.fields.push_back(Flag(output.terminated));
        record.fields.push_back(Flag(output.writtenPast));
    }
    return record;
}

CallObservation ReadObservation(const SubjectRecord& record) {
    CallObservation observation;
    observation.index = static_cast<size_t>(record.Number(0));
    ProbedCall& probe = observation.probe;
    probe.completed = record.Number(1) != 0;
    probe.result = static_cast<int32_t>(record.Number(2));
    probe.exceptionCode = static_cast<DWORD>(record.Number(3));
    probe.stackBytesRemoved = static_cast<int32_t>(record.Number(4));
    probe.registerChanges = static_cast<unsigned>(record.Number(5));
    probe.x87ControlBefore = static_cast<uint16_t>(record.Number(6));
    probe.x87ControlAfter = static_cast<uint16_t>(record.Number(7));
    probe.mxcsrBefore = static_cast<uint32_t>(record.Number(8));
    probe.mxcsrAfter = static_cast<uint32_t>(record.Number(9));
    observation.microseconds = std::strtod(record.Field(10).c_str(), nullptr);
    for (size_t field = FieldsPerCall; field + FieldsPerOutput <= record.fields.size(); field += FieldsPerOutput) {
        OutputReading& output = observation.outputs.emplace_back();
        output.text = BytesOfHexField(record.Field(field));
        output.written = record.Number(field + 1) != 0;
        output.terminated = record.Number(field + 2) != 0;
        output.writtenPast = record.Number(field + 3) != 0;
    }
    return observation;
}
