// breakrun <event> <program> [<argument> ...]
// Runs the command in this console and waits for it. When the parent signals
// the inherited event first, every process of the console gets a Ctrl+Break
// and the exit code is 0; otherwise it is the command's own.
#include <windows.h>
#include <winternl.h>
#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

// The break goes to this process too: it must outlive it to wait for the
// child and report 0.
BOOL WINAPI survive(DWORD kind) {
    return kind == CTRL_BREAK_EVENT || kind == CTRL_C_EVENT;
}

// The handle named by `text` when it is a decimal number naming an event of
// this process; null otherwise, so that a wrong number never triggers a break.
HANDLE eventHandle(const char* text) {
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text || *end || errno || value == 0) return nullptr;
    HANDLE h = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value));
    DWORD flags;
    if (!GetHandleInformation(h, &flags)) return nullptr;
    union {
        PUBLIC_OBJECT_TYPE_INFORMATION info;
        char room[1024];
    } type{};
    ULONG length = 0;
    if (NtQueryObject(h, ObjectTypeInformation, &type, sizeof type, &length) != 0) return nullptr;
    const UNICODE_STRING& name = type.info.TypeName;
    static const wchar_t kEvent[] = L"Event";
    if (name.Length != (sizeof kEvent - sizeof(wchar_t)) ||
        wcsncmp(name.Buffer, kEvent, name.Length / sizeof(wchar_t)) != 0)
        return nullptr;
    return h;
}

// How long a child told to stop by the fallback Ctrl+C may take before it is
// ended: it may ignore that event, and the caller must never hang.
constexpr DWORD kFallbackGraceMs = 10000;

// Ctrl+Break to every process of this console. Where the platform cannot
// send it (Wine refuses CTRL_BREAK_EVENT but delivers CTRL_C_EVENT), a Ctrl+C
// to the same processes stands in, and a child that still runs after the
// grace time is ended.
void interrupt(HANDLE child) {
    if (GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0)) {
        WaitForSingleObject(child, INFINITE);
        return;
    }
    if (GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0) &&
        WaitForSingleObject(child, kFallbackGraceMs) == WAIT_OBJECT_0)
        return;
    TerminateProcess(child, 0);
    WaitForSingleObject(child, INFINITE);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 0;
    std::string commandLine;
    for (int i = 2; i < argc; ++i) {
        commandLine += argv[i];
        commandLine += ' ';
    }
    HANDLE event = eventHandle(argv[1]);
    // Started in a new process group, this process ignores Ctrl+C and its
    // child would inherit that: turn it back on so that the Ctrl+C stand-in
    // can reach the child; this process itself survives through its handler.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(survive, TRUE);

    DWORD exitCode = 0;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &si, &pi)) {
        CloseHandle(pi.hThread);
        HANDLE waits[2] = {pi.hProcess, event};
        DWORD first = WaitForMultipleObjects(event ? 2 : 1, waits, FALSE, INFINITE);
        if (first == WAIT_OBJECT_0 + 1) {
            interrupt(pi.hProcess);
        } else {
            if (first != WAIT_OBJECT_0) WaitForSingleObject(pi.hProcess, INFINITE);
            GetExitCodeProcess(pi.hProcess, &exitCode);
        }
        CloseHandle(pi.hProcess);
    }
    if (event) CloseHandle(event);
    return (int)exitCode;
}
