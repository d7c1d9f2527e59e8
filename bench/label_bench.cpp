// Wall time of labeling 40 barcoded cartridges in a simulated SCSI library
// with 8 drives and with 1 drive, each label write taking a simulated time.
// Label writing runs outside the library lock, so 8 drives should take
// close to 1/8 of the one-drive time.
//   label_bench [write-latency-ms]
#include <windows.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include "tests/support/testsupport.h"

static double runOnce(const qtest::TempDir& state, int drives, int latency)
{
    std::string lib = "QSIMLIB kind=changer drives=8 slots=40";
    for (int d = 1; d <= 8; d++)
        lib += " drive" + std::to_string(d) + "=QSIMD" + std::to_string(d);
    for (int i = 0; i < 40; i++)
        lib += " elem" + std::to_string(1000 + i) + "=B" + std::to_string(10000 + i);
    std::string text = lib + "\n";
    for (int d = 1; d <= 8; d++)
        text += "QSIMD" + std::to_string(d) + " kind=tape group=4 loaded=0 latency=" + std::to_string(latency) + "\n";
    qtest::writeFile(state / L"devices.txt", text);
    std::wstring args = L" -library=QSIMLIB -search -barcode -overwrite -trace=" + state.path() + L"trace.txt";
    for (int d = 1; d <= drives; d++)
        args += L" -drive=QSIMD" + std::to_wstring(d) + L"," + std::to_wstring(d);
    auto t0 = std::chrono::steady_clock::now();
    qtest::RunResult r = qtest::run(L"\"" + qtest::binDir() + L"kvtlabel.exe\"" + args, "",
                                    std::chrono::minutes(10), qtest::binDir());
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    size_t labeled = 0;
    for (size_t at = 0; (at = r.output.find("ANR9720I", at)) != std::string::npos; at++)
        labeled++;
    // Every trace line is whole: it starts with its writer's thread number.
    std::string trace = qtest::readFile(state / L"trace.txt");
    size_t lines = 0, broken = 0;
    for (size_t at = 0; at < trace.size();) {
        size_t eol = trace.find('\n', at);
        std::string line = trace.substr(at, eol == std::string::npos ? std::string::npos : eol - at);
        at = eol == std::string::npos ? trace.size() : eol + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.rfind("***** trace started", 0) == 0 || line[0] == '\t')
            continue;
        lines++;
        broken += line[0] != '<';
    }
    DeleteFileW((state / L"trace.txt").c_str());
    std::printf("%d drive(s): %.2f s, %zu volumes labeled, exit %lu; %zu trace lines, %zu not whole\n",
                drives, s, labeled, r.exitCode, lines, broken);
    return s;
}

int main(int argc, char** argv)
{
    int latency = argc > 1 ? std::atoi(argv[1]) : 250;
    qtest::TempDir state(L"lbench");
    SetEnvironmentVariableW(L"QORA_SIM_DIR", state.path().c_str());
    SetEnvironmentVariableW(L"KVTLABEL_WAIT_SCALE", L"0.001");
    std::printf("write latency %d ms per label\n", latency);
    double eight = runOnce(state, 8, latency);
    double one = runOnce(state, 1, latency);
    std::printf("ratio 8 drives / 1 drive: %.3f (ideal 0.125)\n", one > 0 ? eight / one : 0.0);
    return 0;
}
