#include "QuickEnd.h"

#include <cstdlib>

namespace {

LastWord TheLastWord;

LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
    if (TheLastWord) TheLastWord(*exception->ExceptionRecord);
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

void EndQuicklyOnFailure(LastWord lastWord) noexcept {
    TheLastWord = lastWord;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndWithExceptionCode);
    _set_error_mode(_OUT_TO_STDERR);
}
