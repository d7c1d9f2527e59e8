// Time from the command processor's end to the page's completion message
// (1124), for outputs of 1 MB and 10 MB: the cost of reading the pipe's tail,
// joining the chunks and converting them once. It should grow linearly.
//   cmdrun_bench [repeats]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/cmd/textfmt.h"
#include "srvutil/cmdjob.h"
#include "tests/srvutil/cmdrun/simserver.h"
#include "tests/support/testsupport.h"

namespace {

unsigned long long nowFiletime() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    return ((unsigned long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}

// One run: milliseconds from the processor's end to message 1124, or -1.
double oneRun(HWND wnd, const std::wstring& bin, const std::wstring& stamp, long long bytes, size_t& outChars) {
    SetEnvironmentVariableW(L"QORA_PILOT_OUTPUT_BYTES", std::to_wstring(bytes).c_str());
    SetEnvironmentVariableW(L"QORA_PILOT_ENDSTAMP", stamp.c_str());
    CommandJob job;
    job.adminId = L"admin";
    job.password = L"pelko";
    jobInit(job, wnd, WM_RUN_DONE, bin);
    job.commandLine = buildCommandLine(job, false, L" query db f=d");
    if (!startCommandRun(job)) return -1;
    MSG msg{};
    for (;;) {
        if (GetMessageW(&msg, wnd, 0, 0) <= 0) return -1;
        if (msg.message == WM_RUN_DONE) break;
    }
    unsigned long long arrived = nowFiletime();
    if (!takeRunResult(job, msg.wParam)) return -1;
    outChars = job.output.size();
    std::string text = qtest::readFile(stamp);
    unsigned long long ended = std::strtoull(text.c_str(), nullptr, 10);
    if (!ended || arrived < ended) return -1;
    return (double)(arrived - ended) / 10000.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int repeats = argc > 1 ? _wtoi(argv[1]) : 5;
    if (repeats < 1) repeats = 1;
    simserver::ensureInstalled();
    if (!simserver::bringTo(SERVICE_RUNNING)) {
        std::fprintf(stderr, "cmdrun_bench: the simulated server service does not run\n");
        return 1;
    }
    qtest::TempDir dir(L"bench");
    SetEnvironmentVariableW(L"QORA_PILOT_STATE", (dir.path() + L"bench.state").c_str());
    std::wstring bin = qtest::binDir();
    bin.pop_back();
    HWND wnd = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);

    std::printf("processor end to message 1124 (median of %d runs)\n", repeats);
    double perMb[2] = {0, 0};
    const long long sizes[2] = {1LL << 20, 10LL << 20};
    for (int i = 0; i < 2; ++i) {
        std::vector<double> ms;
        size_t chars = 0;
        for (int r = 0; r < repeats; ++r) {
            double t = oneRun(wnd, bin, dir.path() + L"end.stamp", sizes[i], chars);
            if (t < 0) {
                std::fprintf(stderr, "cmdrun_bench: run failed\n");
                return 1;
            }
            ms.push_back(t);
        }
        std::sort(ms.begin(), ms.end());
        double median = ms[ms.size() / 2];
        perMb[i] = median / (double)(sizes[i] >> 20);
        std::printf("  %3lld MB output (%zu characters): %8.1f ms  (%.2f ms per MB; min %.1f, max %.1f)\n",
                    sizes[i] >> 20, chars, median, perMb[i], ms.front(), ms.back());
    }
    std::printf("  cost per MB, 10 MB against 1 MB: %.2f (1.0 is linear)\n", perMb[0] > 0 ? perMb[1] / perMb[0] : 0.0);
    DestroyWindow(wnd);
    return 0;
}
