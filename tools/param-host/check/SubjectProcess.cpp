#include "check/SubjectProcess.h"

#include "childprocess/ChildStart.h"
#include "outofprocess/HandleArgument.h"
#include "util/KernelHandle.h"
#include "util/ModuleFileName.h"

namespace {

constexpr DWORD PollMs = 2;

// One argument as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring CommandLineOf(const std::wstring& program, HANDLE starter, const std::vector<std::wstring>& arguments) {
    std::wstring line = Quoted(program) + L" check-subject " + StarterOption + L" " + HandleArgument(starter);
    for (const std::wstring& argument : arguments) line += L" " + Quoted(argument);
    return line;
}

struct Child {
    UniqueKernelHandle process;
    UniqueKernelHandle output;  // the read end of its standard output
};

// The child gets the write end of a pipe as its standard output, NUL as its
// input and error, and a handle of this process, whose end ends it.
Child StartChild(const std::wstring& program, const std::vector<std::wstring>& arguments) {
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return {};
    Child child;
    child.output.Reset(readEnd);
    const UniqueKernelHandle write(writeEnd);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    const UniqueKernelHandle nothing(nul == INVALID_HANDLE_VALUE ? nullptr : nul);
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self, SYNCHRONIZE, FALSE, 0);
    const UniqueKernelHandle starter(self);
    std::vector<HANDLE> handed;
    for (const HANDLE handle : {write.Get(), nothing.Get(), starter.Get()})
        if (handle) handed.push_back(handle);
    const HANDLE standard[3] = {nothing.Get(), write.Get(), nothing.Get()};
    std::wstring line = CommandLineOf(program, starter.Get(), arguments);
    PROCESS_INFORMATION started{};
    if (!StartInheriting(program.c_str(), line.data(), handed.data(), handed.size(), standard, &started)) return {};
    const UniqueKernelHandle thread(started.hThread);
    child.process.Reset(started.hProcess);
    return child;
}

// Moves every complete line of `pending` into records.
void TakeRecords(std::string& pending, SubjectRun& run, const SubjectWatch& watch) {
    for (size_t end; (end = pending.find('\n')) != std::string::npos; pending.erase(0, end + 1)) {
        run.records.push_back(DecodeRecord(std::string_view(pending).substr(0, end)));
        if (run.records.back().kind == SubjectRecordKind::End) run.end = SubjectEnd::Finished;
        if (watch.onRecord) watch.onRecord(run.records.back());
    }
}

// Reads what is there: the bytes read, -1 once the child has closed its end
// and all was read.
long ReadAvailable(HANDLE output, std::string& pending) {
    DWORD available = 0;
    if (!PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr)) return -1;
    if (available == 0) return 0;
    std::string chunk(available, '\0');
    DWORD read = 0;
    if (!ReadFile(output, chunk.data(), available, &read, nullptr)) return -1;
    pending.append(chunk, 0, read);
    return static_cast<long>(read);
}

}  // namespace

std::wstring SubjectHostProgram() { return ModuleFileName(nullptr); }

SubjectRun RunSubject(const std::wstring& program, const std::vector<std::wstring>& arguments,
                      const SubjectWatch& watch) {
    SubjectRun run;
    Child child = StartChild(program, arguments);
    if (!child.process) return run;
    run.end = SubjectEnd::Died;
    std::string pending;
    ULONGLONG lastSign = GetTickCount64();
    for (;;) {
        const long read = ReadAvailable(child.output.Get(), pending);
        if (read < 0) break;
        TakeRecords(pending, run, watch);
        const ULONGLONG now = GetTickCount64();
        if (read > 0) {
            lastSign = now;
            continue;
        }
        if (run.end == SubjectEnd::Finished) break;
        const bool silent = now - lastSign > watch.silenceLimitMs, late = now > watch.deadline;
        if (silent || late) {
            run.end = silent ? SubjectEnd::Hung : SubjectEnd::OutOfTime;
            TerminateProcess(child.process.Get(), 1);
            break;
        }
        if (watch.onWait) watch.onWait();
        Sleep(PollMs);
    }
    TakeRecords(pending, run, watch);
    WaitForSingleObject(child.process.Get(), 5000);
    GetExitCodeProcess(child.process.Get(), &run.exitCode);
    return run;
}
