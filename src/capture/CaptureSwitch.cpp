#include "capture/CaptureSwitch.h"

#include "capture/CaptureClock.h"
#include "capture/CaptureFileWriter.h"
#include "capture/CaptureLog.h"
#include "capture/CaptureSettings.h"
#include "util/CaptureFormat.h"

#include <atomic>
#include <cstdio>
#include <memory>

CaptureSwitchState GCaptureSwitch;

namespace {

// A lock held for the length of an append: a spin on one flag costs a few
// nanoseconds where the system's locks cost about a hundred under Wine.
class SpinLock {
public:
    void Lock() noexcept {
        while (FHeld.test_and_set(std::memory_order_acquire)) SwitchToThread();
    }
    void Unlock() noexcept { FHeld.clear(std::memory_order_release); }

private:
    std::atomic_flag FHeld = ATOMIC_FLAG_INIT;
};

// What the switch decides from, under the lock.
struct CaptureSession {
    SpinLock lock;
    CaptureSettings settings;
    bool failed = false;  // capture switched itself off for these settings
    std::unique_ptr<CaptureFileWriter> writer;
};

CaptureSession& Session() {
    static CaptureSession session;
    return session;
}

class ExclusiveLock {
public:
    explicit ExclusiveLock(SpinLock& lock) noexcept : FLock(lock) { FLock.Lock(); }
    ~ExclusiveLock() { FLock.Unlock(); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SpinLock& FLock;
};

// `reason` may be the writer's own problem text: the line is made before
// the writer goes.
void SwitchOff(CaptureSession& session, std::string_view reason) noexcept {
    try {
        const std::string line = "capture switched off: " + std::string(reason);
        session.writer.reset();
        AppendCaptureLog(session.settings.folder, line);
    } catch (...) {
    }
    session.failed = true;
    session.writer.reset();
    GCaptureSwitch.on.store(false, std::memory_order_relaxed);
}

// A record larger than a capture file may hold would be written and then
// refused by every reader: it is dropped before it is written, with a line
// that names it (the host's call itself goes on unaffected).
void DropOversizedRecord(const CaptureSession& session, std::optional<int32_t> paramId, size_t size) noexcept {
    char id[16] = "(unknown)";
    if (paramId) std::snprintf(id, sizeof id, "%ld", static_cast<long>(*paramId));
    char line[200];
    std::snprintf(line, sizeof line,
                  "capture record dropped: the call on parameter id %s made a record of %lu bytes, more than the "
                  "%lu bytes a record may take",
                  id, static_cast<unsigned long>(size), static_cast<unsigned long>(CaptureMaxRecord));
    AppendCaptureLog(session.settings.folder, line);
}

}  // namespace

void RereadCaptureSettings(DWORD now) noexcept {
    CaptureSession& session = Session();
    ExclusiveLock locked(session.lock);
    try {
        CaptureSettings settings = ReadCaptureSettings();
        GCaptureSwitch.rereadTicks.store(settings.rereadMs, std::memory_order_relaxed);
        if (!(settings == session.settings)) {
            session.writer.reset();
            session.settings = std::move(settings);
            session.failed = false;
            if (!session.settings.problem.empty()) SwitchOff(session, session.settings.problem);
            if (!session.settings.folder.empty()) GCaptureClock.Calibrate();
        }
    } catch (...) {
        session.writer.reset();
        session.failed = true;
    }
    GCaptureSwitch.on.store(!session.settings.folder.empty() && !session.failed, std::memory_order_relaxed);
    GCaptureSwitch.readAt.store(now, std::memory_order_relaxed);
    GCaptureSwitch.read.store(true, std::memory_order_relaxed);
}

void SubmitCaptureRecord(std::optional<int32_t> paramId, std::string_view record) noexcept {
    CaptureSession& session = Session();
    ExclusiveLock locked(session.lock);
    if (!GCaptureSwitch.on.load(std::memory_order_relaxed)) return;
    if (paramId && !session.settings.paramIds.Contains(*paramId)) return;
    try {
        if (record.size() > CaptureMaxRecord) return DropOversizedRecord(session, paramId, record.size());
        if (!session.writer) {
            session.writer = std::make_unique<CaptureFileWriter>(session.settings.folder,
                                                                 uint64_t{session.settings.maxMb} << 20);
        }
        if (!session.writer->Append(record)) SwitchOff(session, session.writer->Problem());
    } catch (...) {
        SwitchOff(session, "out of memory");
    }
}
