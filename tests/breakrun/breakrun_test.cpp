// breakrun as the console monitor uses it: an inherited event, a child in
// the launcher's console, exit codes.
#include <gtest/gtest.h>
#include "tests/support/testsupport.h"
#include <thread>

using namespace std::chrono_literals;

namespace {

std::wstring launcher() { return L"\"" + qtest::binDir() + L"breakrun.exe\""; }
std::wstring child() { return L"\"" + qtest::binDir() + L"breakrun_child.exe\""; }

struct ExitCase {
    const char* name;
    std::wstring arguments;   // after "breakrun "
    DWORD exitCode;
    std::string output;       // expected output, when not empty
};

class BreakrunExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(BreakrunExit, ReturnsAsTheCommandDid) {
    const ExitCase& c = GetParam();
    auto start = std::chrono::steady_clock::now();
    qtest::RunResult r = qtest::run(launcher() + L" " + c.arguments, {}, 30s);
    ASSERT_TRUE(r.started);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, c.exitCode) << r.output;
    if (!c.output.empty()) EXPECT_EQ(r.output, c.output);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s * qtest::timeScale());
}

INSTANTIATE_TEST_SUITE_P(Cases, BreakrunExit, ::testing::Values(
    ExitCase{"ChildExitCode", L"123 CMD /c exit 7", 7, {}},
    ExitCase{"NoCommand", L"123", 0, {}},
    ExitCase{"NoArguments", L"", 0, {}},
    ExitCase{"WordsJoinedWithBlanks", L"123 cmd /c echo one   two", 0, "one two \n"},
    ExitCase{"ChildCannotStart", L"123 no-such-program.exe", 0, {}},
    ExitCase{"EventNumberNotANumber", L"x12 cmd /c exit 5", 5, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// An inheritable event, as the console monitor creates it.
struct StopEvent {
    HANDLE handle;
    StopEvent() {
        SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
        handle = CreateEventW(&sa, TRUE, FALSE, nullptr);
    }
    ~StopEvent() { CloseHandle(handle); }
    std::wstring number() const { return std::to_wstring((ULONG_PTR)handle); }
};

TEST(Breakrun, ChildEndingFirstGivesItsExitCodeWithARealEvent) {
    StopEvent stop;
    qtest::RunResult r = qtest::run(launcher() + L" " + stop.number() + L" cmd /c exit 7", {}, 30s);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 7u);
}

// A file handle is signalled as a waitable object: taken for the event it
// would stop the child at once. The launcher must wait for the child alone.
TEST(Breakrun, HandleThatIsNoEventIsNotWaitedOn) {
    qtest::TempDir dir(L"brk");
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE file = CreateFileW((dir / L"not-an-event.txt").c_str(), GENERIC_WRITE, 0, &sa,
                              CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    qtest::RunResult r = qtest::run(launcher() + L" " + std::to_wstring((ULONG_PTR)file) + L" " +
                                        child() + L" \"" + (dir / L"marker.txt") + L"\" 1",
                                    {}, 30s);
    CloseHandle(file);
    ASSERT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 9u);
    EXPECT_EQ(qtest::readFile(dir / L"marker.txt"), "started\n");
}

bool runningUnderWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Starts the launcher as the console monitor does: handles inherited, a new
// process group, its console hidden. Returns its exit code, or -1 when it
// did not end within `timeout`.
long long runLikeTheMonitor(const std::wstring& arguments, std::chrono::milliseconds timeout) {
    std::wstring line = launcher() + L" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                        CREATE_NEW_PROCESS_GROUP | CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
        return -2;
    CloseHandle(pi.hThread);
    long long result = -1;
    DWORD code = 0;
    if (WaitForSingleObject(pi.hProcess, (DWORD)(timeout.count() * qtest::timeScale())) ==
            WAIT_OBJECT_0 &&
        GetExitCodeProcess(pi.hProcess, &code))
        result = code;
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    return result;
}

// The console monitor's stop: the event is signalled while the child runs.
// The child gets a Ctrl+Break; Wine cannot send that event, and there the
// launcher's stand-in, a Ctrl+C to the console, must reach the child.
TEST(Breakrun, SignalledEventInterruptsTheChildAndExitsZero) {
    qtest::TempDir dir(L"brk");
    std::wstring marker = dir / L"marker.txt";
    StopEvent stop;
    std::thread signaller([&] {
        if (qtest::waitFor([&] { return !qtest::readFile(marker).empty(); }, 30s))
            SetEvent(stop.handle);
    });
    long long exitCode =
        runLikeTheMonitor(stop.number() + L" " + child() + L" \"" + marker + L"\" 120", 60s);
    signaller.join();
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(qtest::readFile(marker), runningUnderWine() ? "started\nctrl-c\n" : "started\nbreak\n");
}

}  // namespace
