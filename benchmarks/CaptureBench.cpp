#include "CaptureBench.h"

#include "BenchCases.h"

#include "capture/CaptureSwitch.h"

#include <windows.h>

#include <filesystem>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

// Capture on into a fresh folder for the process while it lives.
class CaptureFolder {
public:
    CaptureFolder() : FFolder(fs::temp_directory_path() / "transactor-bench-capture") {
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
        SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_FOLDER", FFolder.wstring().c_str());
        RereadCaptureSettings(GetTickCount());
        if (!GCaptureSwitch.on) throw std::runtime_error("capture did not switch on");
    }
    CaptureFolder(const CaptureFolder&) = delete;
    CaptureFolder& operator=(const CaptureFolder&) = delete;
    ~CaptureFolder() {
        SetEnvironmentVariableW(L"OVIX_PARAM_CAPTURE_FOLDER", nullptr);
        RereadCaptureSettings(GetTickCount());
        std::error_code ignored;
        fs::remove_all(FFolder, ignored);
    }

private:
    fs::path FFolder;
};

}  // namespace

PairTiming TimeCaptureOnAgainstOff(const RatioSettings& settings) {
    const CaptureFolder folder;
    ExplainCase explain(16, 4, true);
    const auto off = [&] {
        GCaptureSwitch.on.store(false, std::memory_order_relaxed);
        explain();
    };
    const auto on = [&] {
        GCaptureSwitch.on.store(true, std::memory_order_relaxed);
        explain();
    };
    const PairTiming timing = TimePair(off, on, settings);
    if (!GCaptureSwitch.on) throw std::runtime_error("capture switched itself off while timed");
    return timing;
}
