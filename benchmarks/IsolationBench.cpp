#include "IsolationBench.h"

#include "BenchCases.h"

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int BurstCalls = 50;
constexpr int ParamCallsPerExplain = 20;  // ParamCallsExtension.c
constexpr int HelperStarts = 5;

// A renamed copy of IsolatedExtension.dll running `library`; answers its name.
const wchar_t* IsolatedCopy(const wchar_t* name, const char* library) {
    const std::wstring dll = std::wstring(name) + L".dll";
    if (!CopyFileW(L"IsolatedExtension.dll", dll.c_str(), FALSE))
        throw std::runtime_error("IsolatedExtension.dll could not be copied");
    const std::wstring wideName(name);
    std::ofstream ini(std::string(wideName.begin(), wideName.end()) + ".ini", std::ios::binary | std::ios::trunc);
    ini << "[extension]\r\nlibrary = " << library << "\r\ntimeout_ms = 0\r\n";
    return name;
}

double Now() {
    static const double tick = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1e6 / static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * tick;
}

template <typename Call>
double Microseconds(Call& call, int times) {
    const double start = Now();
    for (int i = 0; i < times; ++i) call();
    return Now() - start;
}

double Percentile(std::vector<double> values, double fraction) {
    const size_t at = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<ptrdiff_t>(at), values.end());
    return values[at];
}

double Median(std::vector<double> values) { return Percentile(std::move(values), 0.5); }

IsolationFigures Measure(int rounds) {
    const std::wstring empty = std::wstring(IsolatedCopy(L"IsoBenchEmpty", "ExtEmptyTexts.dll")) + L".dll";
    const std::wstring calls = std::wstring(IsolatedCopy(L"IsoBenchCalls", "ExtParamCalls.dll")) + L".dll";
    ExplainCase direct(16, 4, true, L"ExtEmptyTexts.dll"), isolated(16, 4, true, empty.c_str());
    ExplainCase directCalls(16, 4, true, L"ExtParamCalls.dll"), isolatedCalls(16, 4, true, calls.c_str());
    isolated();
    isolatedCalls();
    std::vector<double> burst, first, coldBurst, param;
    for (int round = 0; round < rounds; ++round) {
        Sleep(1);  // the helper stops spinning and sleeps: the burst starts cold
        const double firstCall = Microseconds(isolated, 1);
        const double isolatedBurst = Microseconds(isolated, BurstCalls);
        const double directBurst = Microseconds(direct, BurstCalls);
        burst.push_back((isolatedBurst - directBurst) / BurstCalls);
        first.push_back(firstCall - directBurst / BurstCalls);
        coldBurst.push_back((firstCall + isolatedBurst * (BurstCalls - 1) / BurstCalls - directBurst) / BurstCalls);
        // Each helper awake (one untimed call) before its calls are timed.
        isolatedCalls();
        const double withCalls = Microseconds(isolatedCalls, 10) - Microseconds(directCalls, 10);
        isolated();
        const double without = Microseconds(isolated, 10) - Microseconds(direct, 10);
        param.push_back((withCalls - without) / (10.0 * ParamCallsPerExplain));
    }
    // A copy of its own, loaded and freed each time: each first call starts a helper.
    const std::wstring started = std::wstring(IsolatedCopy(L"IsoBenchStart", "ExtEmptyTexts.dll")) + L".dll";
    std::vector<double> starts;
    for (int start = 0; start < HelperStarts; ++start) {
        ExplainCase fresh(16, 4, true, started.c_str());
        starts.push_back(Microseconds(fresh, 1) / 1000);
    }
    return {Median(burst), Median(coldBurst), Median(first), Median(starts), Median(param)};
}

PauseFigures MeasurePauses(int rounds) {
    const std::wstring empty = std::wstring(IsolatedCopy(L"IsoBenchPauseEmpty", "ExtEmptyTexts.dll")) + L".dll";
    const std::wstring full = std::wstring(IsolatedCopy(L"IsoBenchPauseHeap", "ExtHeapBlocks.dll")) + L".dll";
    ExplainCase emptyHeap(16, 4, true, empty.c_str()), fullHeap(16, 4, true, full.c_str());
    emptyHeap();
    fullHeap();  // takes its blocks
    std::vector<double> emptyCalls, fullCalls;
    for (int round = 0; round < 2 * rounds; ++round) {
        Sleep(2);
        emptyCalls.push_back(Microseconds(emptyHeap, 1));
        Sleep(2);
        fullCalls.push_back(Microseconds(fullHeap, 1));
    }
    return {Median(fullCalls) / Median(emptyCalls), Percentile(fullCalls, 0.99) / Percentile(emptyCalls, 0.99)};
}

}  // namespace

const PauseFigures& MeasureCallsAfterPauses(int rounds) {
    static const PauseFigures figures = MeasurePauses(rounds);
    return figures;
}

const IsolationFigures& MeasureIsolation(int rounds) {
    static const IsolationFigures figures = Measure(rounds);
    return figures;
}
