// Cost of parsing node replies against a plain split of the same text into
// lines, for a small and a very large reply: the ratio must stay the same.
#include <chrono>
#include <cstdio>
#include <string>

#include "common/cmd/lineparse.h"
#include "common/cmd/parsnode.h"

using namespace qora::parse;
using Clock = std::chrono::steady_clock;

namespace {

const wchar_t* const kLabels[] = {
    L"Node Name", L"Platform", L"Client OS Level", L"Client Version", L"Policy Domain Name",
    L"Last Access Date/Time", L"Days Since Last Access", L"Password Set Date/Time",
    L"Days Since Password Set", L"Invalid Sign-on Count", L"Locked?", L"Contact", L"Compression",
    L"Archive Delete Allowed?", L"Backup Delete Allowed?", L"Registration Date/Time",
    L"Registering Administrator", L"Last Communication Method Used",
    L"Bytes Received Last Session", L"Bytes Sent Last Session", L"Duration of Last Session (sec)",
    L"Pct. Idle Wait Last Session", L"Pct. Comm. Wait Last Session",
    L"Pct. Media Wait Last Session", L"Option Set Name", L"URL", L"Node Type"};

std::wstring nodeReply(int nodes) {
    std::wstring text;
    text.reserve(std::size_t(nodes) * 900);
    for (int n = 0; n < nodes; ++n) {
        for (const wchar_t* label : kLabels) {
            text += label;
            text += L": ";
            text += label == kLabels[0] ? L"NODE" + std::to_wstring(n) : std::wstring(L"Yes");
            text += L"\r\n";
        }
        text += L"\r\n";
    }
    return text;
}

// Seconds per run of f, repeated until at least 0.2 s have passed.
template <class F>
double secondsPerRun(F f) {
    int runs = 0;
    auto start = Clock::now();
    std::chrono::duration<double> spent{};
    do {
        f();
        ++runs;
        spent = Clock::now() - start;
    } while (spent.count() < 0.2);
    return spent.count() / runs;
}

double measure(int nodes) {
    std::wstring text = nodeReply(nodes);
    const BlockLabels labels{L"Node Name", L"Platform", L"Node Type"};
    std::size_t found = 0;
    double parse = secondsPerRun([&] {
        NodeResults r;
        parseNodes(r, text, labels);
        found = r.count();
    });
    std::size_t lines = 0;
    double split = secondsPerRun([&] { lines = splitLines(text).size(); });
    double ratio = parse / split;
    std::printf("%7d nodes: %zu parsed, %zu lines; parse %.3f ms, split %.3f ms, ratio %.1f, %.3f us per node\n",
                nodes, found, lines, parse * 1e3, split * 1e3, ratio, parse * 1e6 / nodes);
    return parse / nodes;
}

}  // namespace

namespace {
int run() {
    double small = measure(256);
    double large = measure(100000);
    double growth = large / small;
    std::printf("cost per node grows by %.2f from 256 to 100,000 nodes: %s\n", growth,
                growth < 3.0 ? "linear" : "NOT LINEAR");
    return growth < 3.0 ? 0 : 1;
}
}  // namespace

#ifdef _WIN32
int wmain() { return run(); }  // the Windows build links as a Unicode program
#else
int main() { return run(); }
#endif
