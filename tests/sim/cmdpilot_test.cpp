// The stand-in programs as the utilities start them: the command processor's
// exit codes and controls, its console mode, and the recorder.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "tests/srvutil/cmdrun/simserver.h"
#include "tests/support/testsupport.h"

namespace {

class StandIns : public ::testing::Test {
protected:
    static void SetUpTestSuite() { simserver::ensureInstalled(); }
    void SetUp() override {
        ASSERT_TRUE(simserver::bringTo(SERVICE_RUNNING));
        SetEnvironmentVariableW(L"QORA_PILOT_STATE", (dir.path() + L"pilot.state").c_str());
    }
    void TearDown() override {
        for (auto v : {L"QORA_PILOT_STATE", L"QORA_PILOT_DELAY_MS", L"QORA_PILOT_EXIT", L"QORA_RECORDER_LOG",
                       L"QORA_RECORDER_TITLE", L"QORA_RECORDER_EXIT"})
            SetEnvironmentVariableW(v, nullptr);
    }
    std::wstring pilot(const std::wstring& args) { return L"\"" + qtest::binDir() + L"cmdpilot.exe\" " + args; }
    qtest::TempDir dir{L"pilot"};
};

TEST_F(StandIns, ExitCodesAsTheUtilitiesRelyOnThem) {
    struct Case {
        const wchar_t* args;
        int exitCode;
        const char* says;
    } cases[] = {
        {L"-ID=admin -PA=pelko query db f=d", 0, "Available Space (MB):"},
        {L"-ID=admin -PA=pelko query node f=d", 11, "ANR2034E"},
        {L"-ID=admin -PA=wrong query db", 137, "ANS5535E"},
        {L"-PA=pelko query db", 137, "ANS5535E"},
        {L"-ID=admin -PA=pelko sing a song", 2, "ANR2000E Unknown command - SING"},
        {L"-ID=admin -PA=pelko -itemcommit macro Q:\\none.mac", 3, "cannot be read"},
    };
    for (const Case& c : cases) {
        auto r = qtest::run(pilot(c.args));
        ASSERT_TRUE(r.started);
        EXPECT_EQ((int)r.exitCode, c.exitCode) << qtest::narrow(c.args) << "\n" << r.output;
        EXPECT_NE(r.output.find(c.says), std::string::npos) << qtest::narrow(c.args) << "\n" << r.output;
    }
}

TEST_F(StandIns, StoppedServerGivesMinusFiftyThroughCmd) {
    ASSERT_TRUE(simserver::bringTo(SERVICE_STOPPED));
    auto r = qtest::run(L"cmd /c " + pilot(L"-ID=admin -PA=pelko query db") + L" & echo rc=%errorlevel%");
    EXPECT_NE(r.output.find("rc=-50"), std::string::npos) << r.output;
}

TEST_F(StandIns, ControlsDelayAndForcedExit) {
    SetEnvironmentVariableW(L"QORA_PILOT_DELAY_MS", L"1200");
    SetEnvironmentVariableW(L"QORA_PILOT_EXIT", L"42");
    DWORD t0 = GetTickCount();
    auto r = qtest::run(pilot(L"-ID=admin -PA=pelko query db"));
    EXPECT_GE(GetTickCount() - t0, 1200u);
    EXPECT_EQ(r.exitCode, 42u);
}

TEST_F(StandIns, ConsoleShowsTheServersMessagesLive) {
    qtest::RunResult console;
    std::thread t([&] { console = qtest::run(pilot(L"-ID=admin -PA=pelko -console"), {}, std::chrono::seconds(30)); });
    Sleep(1500);  // the console is following the server's messages now
    qtest::run(pilot(L"-ID=admin -PA=pelko define library live1 libtype=manual"));
    Sleep(800);
    ASSERT_TRUE(simserver::bringTo(SERVICE_STOPPED));  // ends the console session
    t.join();
    EXPECT_FALSE(console.timedOut);
    EXPECT_EQ(console.exitCode, 0u);
    EXPECT_NE(console.output.find("issued command: define library live1"), std::string::npos) << console.output;
    EXPECT_NE(console.output.find("Server shutdown complete"), std::string::npos) << console.output;
}

TEST_F(StandIns, RecorderLogsCommandLineDirectoryAndInput) {
    std::wstring log = dir.path() + L"rec.log";
    std::wstring exe = dir.path() + L"kvtadmc.exe";
    ASSERT_TRUE(CopyFileW((qtest::binDir() + L"recorder.exe").c_str(), exe.c_str(), FALSE));
    SetEnvironmentVariableW(L"QORA_RECORDER_LOG", log.c_str());
    SetEnvironmentVariableW(L"QORA_RECORDER_EXIT", L"3");
    auto r = qtest::run(L"\"" + exe + L"\" -consolemode -id=admin", "query db\r\nquit\r\n",
                        std::chrono::seconds(20), dir.path());
    EXPECT_EQ(r.exitCode, 3u);
    std::string text = qtest::readFile(log);
    EXPECT_NE(text.find("program: kvtadmc"), std::string::npos) << text;
    EXPECT_NE(text.find("-consolemode -id=admin"), std::string::npos) << text;
    std::wstring d = dir.path();
    d.pop_back();
    EXPECT_NE(text.find("working directory: " + qtest::narrow(d)), std::string::npos) << text;
    EXPECT_NE(text.find("query db\r\nquit\r\n"), std::string::npos) << text;
}

TEST_F(StandIns, RecorderShowsATitledWindow) {
    SetEnvironmentVariableW(L"QORA_RECORDER_TITLE", L"QORA - QORA backup client");
    SetEnvironmentVariableW(L"QORA_RECORDER_LOG", (dir.path() + L"rec.log").c_str());
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + qtest::binDir() + L"recorder.exe\"";
    ASSERT_TRUE(CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    HWND found = nullptr;
    EXPECT_TRUE(qtest::waitFor([&] {
        for (HWND h : qtest::windowsOfProcess(pi.dwProcessId))
            if (qtest::windowText(h) == L"QORA - QORA backup client") found = h;
        return found != nullptr;
    }));
    if (found) PostMessageW(found, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
