// Start-up benchmark: time from process creation to the main window being
// shown, for srvutil on the installed demo and for the system's notepad in
// the same prefix, and their ratio.
//   bench_startup [runs]      (the demo installation must be in place)
#include "bench/startup_launch.h"
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
std::wstring besideMe(const wchar_t* name) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    return dir.substr(0, dir.find_last_of(L'\\') + 1) + name;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

bool measure(const wchar_t* label, const std::wstring& commandLine, const wchar_t* windowClass, int runs,
             double& result) {
    std::vector<double> times;
    DWORD timeout = static_cast<DWORD>(30000 * waitScale());
    for (int i = 0; i < runs; ++i) {
        LaunchedWindow w;
        if (!launchAndWait(commandLine, windowClass, timeout, w)) {
            std::wprintf(L"%ls: no window of class %ls appeared\n", label, windowClass);
            return false;
        }
        times.push_back(w.startToShownMs);
        closeLaunched(w, timeout);
    }
    result = median(times);
    std::wprintf(L"%-8ls median %8.1f ms  min %8.1f ms  max %8.1f ms  (%d runs)\n", label, result,
                 *std::min_element(times.begin(), times.end()), *std::max_element(times.begin(), times.end()),
                 runs);
    return true;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = argc > 1 ? _wtoi(argv[1]) : 5;
    if (runs < 1) runs = 1;
    double srvutil = 0, notepad = 0;
    // One start each first, so neither pays for loading the prefix.
    measure(L"warm-up", L"notepad.exe", L"Notepad", 1, notepad);
    if (!measure(L"srvutil", L"\"" + besideMe(L"srvutil.exe") + L"\"", L"QoraFrame", runs, srvutil)) return 1;
    if (!measure(L"notepad", L"notepad.exe", L"Notepad", runs, notepad)) return 1;
    std::wprintf(L"ratio srvutil / notepad: %.2f\n", notepad > 0 ? srvutil / notepad : 0.0);
    return 0;
}
