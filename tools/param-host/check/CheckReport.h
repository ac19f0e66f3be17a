#pragma once
// What `param_host check` found out about an extension library: per entry
// point what was measured, the unload cycles, and the findings, each with a
// one-line reason and a one-line fix.

#include "check/EntryPoints.h"

#include "RulesReport.h"

#include <optional>
#include <string>
#include <vector>

// The kinds of findings, as JSON and the tests name them.
namespace FindingKind {
inline constexpr char NoEntryPoint[] = "no-entry-point";
inline constexpr char DecoratedExport[] = "decorated-export";
inline constexpr char MisspeltExport[] = "misspelt-export";
inline constexpr char Cdecl[] = "cdecl";
inline constexpr char ArgumentCount[] = "argument-count";
inline constexpr char Fault[] = "fault";
inline constexpr char Unterminated[] = "unterminated-output";
inline constexpr char WritesPastBuffer[] = "writes-past-buffer";
inline constexpr char NonDigitOutput[] = "non-digit-output";
inline constexpr char EmptySuccess[] = "empty-success";
inline constexpr char ClobberedRegisters[] = "clobbered-registers";
inline constexpr char Utf8Output[] = "utf8-output";
inline constexpr char NotGbkOutput[] = "not-gbk-output";
inline constexpr char LoadFails[] = "load-fails";         // its initialisation fails or faults
inline constexpr char ProcessEnded[] = "process-ended";    // a crash, exit(), abort(), an escaping C++ exception
inline constexpr char HeapDamaged[] = "heap-damaged";      // a heap block overrun, found by validating the heaps
inline constexpr char Hangs[] = "hangs";                   // a call that does not return
inline constexpr char ParamKept[] = "param-kept";
inline constexpr char LeaksPerCall[] = "leaks-per-call";
inline constexpr char LeaksPerUnload[] = "leaks-per-unload";
inline constexpr char Slow[] = "slow";
inline constexpr char RulesFile[] = "rules-file";
}  // namespace FindingKind

struct Finding {
    std::string kind;        // one of FindingKind
    std::string entryPoint;  // empty for the library as a whole
    std::wstring reason;
    std::wstring fix;
};

struct EntryPointReport {
    EntryPoint entryPoint = EntryPoint::Explain;
    std::string exportName;  // the name it was found under; empty: not exported
    // From the calls with the inputs the host sends (when it was found):
    int calls = 0, accepted = 0, declined = 0, faulted = 0;
    std::optional<int32_t> stackBytesRemoved;  // from its first completed call
    std::vector<std::wstring> paramMethods;    // the IParam methods it called, by name
    // Speed on a typical field (microseconds per call, medians):
    std::optional<double> microsecondsPerCall;
    std::optional<double> builtInMicrosecondsPerCall;  // the component without the extension
    // What repeated calls on a typical field left behind, per call:
    std::optional<double> heapBytesPerCall, addressBytesPerCall;
};

struct UnloadReport {
    int cycles = 0;
    int tlsSlotsLost = 0;
    long handlesGained = 0;
    long long heapBytesGained = 0;
    long long addressBytesGained = 0;  // reserved or committed
    long threadsGained = 0;
    bool stoppedEarly = false;  // stopped before the slots ran out
    bool leaks = false;
    std::optional<long long> projectedLoads;  // loads until the process fails
    std::wstring exhausted;                   // what runs out first
};

struct CheckReport {
    std::wstring library;
    std::vector<EntryPointReport> entryPoints;  // in the order Explain, Obscure, Edit
    std::optional<UnloadReport> unload;
    std::optional<RulesReport> rules;  // the rules extension: its rules file, as check-rules reports it
    std::vector<std::string> unusedExports;  // exports the component does not use, never called
    std::vector<std::wstring> notes;         // what was not checked and why, hints that are no problem
    std::vector<Finding> findings;
};
