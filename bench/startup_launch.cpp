#include "bench/startup_launch.h"
#include <cstdlib>

namespace {
struct Search {
    DWORD pid;
    const std::wstring* windowClass;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != s->pid || !IsWindowVisible(h)) return TRUE;
    wchar_t name[256] = L"";
    GetClassNameW(h, name, 256);
    if (_wcsicmp(name, s->windowClass->c_str()) != 0) return TRUE;
    s->found = h;
    return FALSE;
}
}  // namespace

double waitScale() {
    const char* v = std::getenv("QORA_TIME_SCALE");
    double scale = v ? std::atof(v) : 1.0;
    return scale > 0 ? scale : 1.0;
}

bool launchAndWait(const std::wstring& commandLine, const std::wstring& windowClass, DWORD timeoutMs,
                   LaunchedWindow& out) {
    std::wstring line = commandLine;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &out.process))
        return false;
    Search search{out.process.dwProcessId, &windowClass, nullptr};
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < deadline) {
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            QueryPerformanceCounter(&now);
            out.window = search.found;
            out.startToShownMs = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                                 static_cast<double>(frequency.QuadPart);
            return true;
        }
        if (WaitForSingleObject(out.process.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    closeLaunched(out, 0);
    return false;
}

void closeLaunched(LaunchedWindow& launched, DWORD timeoutMs) {
    if (!launched.process.hProcess) return;
    if (launched.window) PostMessageW(launched.window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(launched.process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        TerminateProcess(launched.process.hProcess, 1);
    CloseHandle(launched.process.hProcess);
    CloseHandle(launched.process.hThread);
    launched.process = {};
    launched.window = nullptr;
}
