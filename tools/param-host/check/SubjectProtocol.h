#pragma once
// What the checker and the child process that hosts its subject say to each
// other. The checker starts the child with a task on its command line; the
// child answers on the pipe it was given as its standard output (and keeps
// to itself: RecordsPipe.h) with records, one a line: a kind and
// its fields, separated by tabs, each field UTF-8 with backslash, tab and line
// break escaped. The child flushes every record at once, so that the checker
// knows which call was under way when the child died or stopped answering. A
// finished task ends with the record "end"; a child that ends without it
// died in its last "call" or "step".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct SubjectRecord {
    std::string kind;
    std::vector<std::string> fields;

    const std::string& Field(size_t index) const;  // an empty text where there is none
    long long Number(size_t index) const;          // 0 where there is none
};

namespace SubjectRecordKind {
inline constexpr char Step[] = "step";          // what is under way: a name and a counter
inline constexpr char Call[] = "call";          // a call of the subject is about to start: its index in the plan
inline constexpr char Returned[] = "returned";  // that call has returned
inline constexpr char Observed[] = "observed";  // what that call did (CallObservation.h)
inline constexpr char HeapDamaged[] = "heap-damaged";  // a heap failed its validation after that call
inline constexpr char Export[] = "export";     // one name in the export table
inline constexpr char Methods[] = "methods";   // the IParam methods an entry point called
inline constexpr char Late[] = "late";         // an IParam call after its call had returned
inline constexpr char Measure[] = "measure";   // a named measurement and its numbers
inline constexpr char Unhandled[] = "unhandled";  // an exception nobody handled: code, address, 1 on another thread
inline constexpr char End[] = "end";
}  // namespace SubjectRecordKind

// One line, its line break included.
std::string EncodeRecord(const SubjectRecord& record);
// One line without its line break.
SubjectRecord DecodeRecord(std::string_view line);

// Bytes as hex digits and back, for fields that hold any byte.
std::string HexField(std::string_view bytes);
std::string BytesOfHexField(std::string_view hex);
