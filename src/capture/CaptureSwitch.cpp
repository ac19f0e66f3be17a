#include "capture/CaptureSwitch.h"

#include "capture/CaptureFileWriter.h"
#include "capture/CaptureLog.h"
#include "capture/CaptureSettings.h"

#include <memory>

CaptureSwitchState GCaptureSwitch;

namespace {

// What the switch decides from, under the lock.
struct CaptureSession {
    SRWLOCK lock = SRWLOCK_INIT;
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
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : FLock(lock) { AcquireSRWLockExclusive(&FLock); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&FLock); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& FLock;
};

void SwitchOff(CaptureSession& session, std::string_view reason) noexcept {
    session.failed = true;
    session.writer.reset();
    GCaptureSwitch.on.store(false, std::memory_order_relaxed);
    try {
        AppendCaptureLog(session.settings.folder, "capture switched off: " + std::string(reason));
    } catch (...) {
    }
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
        }
    } catch (...) {
        session.writer.reset();
        session.failed = true;
    }
    GCaptureSwitch.on.store(!session.settings.folder.empty() && !session.failed, std::memory_order_relaxed);
    GCaptureSwitch.readAt.store(now, std::memory_order_relaxed);
    GCaptureSwitch.read.store(true, std::memory_order_relaxed);
}

bool CaptureParamWanted(std::optional<int32_t> paramId) noexcept {
    CaptureSession& session = Session();
    ExclusiveLock locked(session.lock);
    return !paramId || session.settings.paramIds.Contains(*paramId);
}

void SubmitCaptureRecord(std::string_view record) noexcept {
    CaptureSession& session = Session();
    ExclusiveLock locked(session.lock);
    if (!GCaptureSwitch.on.load(std::memory_order_relaxed)) return;
    try {
        if (!session.writer) {
            session.writer = std::make_unique<CaptureFileWriter>(session.settings.folder,
                                                                 uint64_t{session.settings.maxMb} << 20);
        }
        if (!session.writer->Append(record)) SwitchOff(session, session.writer->Problem());
    } catch (...) {
        SwitchOff(session, "out of memory");
    }
}
