// Macro runs end to end: a small wizard sheet with one page drives the run
// engine through the real CMD /c, the simulated command processor and the
// simulated server service, as a wizard page would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cmdrun_ids.h"
#include "common/cmd/ifcregis.h"
#include "common/cmd/msglib.h"
#include "common/cmd/parsqlib.h"
#include "common/cmd/utilsettings.h"
#include "srvutil/cmdjob.h"
#include "srvutil/objslots.h"
#include "srvutil/outview.h"
#include "tests/srvutil/cmdrun/simserver.h"
#include "tests/support/testsupport.h"

namespace {

// Message boxes the engine showed, answered without a window.
std::vector<std::wstring> g_boxes;
int g_answer = IDYES;
int hookBox(HWND, const TCHAR* title, const TCHAR* text, UINT flags) {
    g_boxes.push_back(std::wstring(title) + L" -- " + text);
    return (flags & MB_TYPEMASK) == MB_YESNO || (flags & MB_TYPEMASK) == MB_YESNOCANCEL ? g_answer : IDOK;
}

std::wstring messageText(UINT id) {
    tstring t;
    loadString(id, t);
    size_t sep = t.find(L" -- ");
    return sep == tstring::npos ? t : t.substr(sep + 4);
}

size_t boxesWith(const std::wstring& part) {
    return (size_t)std::count_if(g_boxes.begin(), g_boxes.end(),
                                 [&](const std::wstring& b) { return b.find(part) != std::wstring::npos; });
}

void setEnv(const wchar_t* name, const std::wstring& value) {
    SetEnvironmentVariableW(name, value.empty() ? nullptr : value.c_str());
}

bool pumpUntil(const std::function<bool()>& done, DWORD ms) {
    DWORD until = GetTickCount() + (DWORD)(ms * qtest::timeScale());
    while (!done()) {
        if ((int)(until - GetTickCount()) <= 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void pumpFor(DWORD ms) {
    pumpUntil([] { return false; }, ms);
}

// A wizard sheet of one page: the sheet answers the button presses the
// protocols post, the page owns the progress bar, the timer and 1124.
class TestWizard {
public:
    enum class Kind { Logon, Finishing };
    enum class Outcome { Running, Stayed, Proceeded, Completed };

    explicit TestWizard(Kind kind) : kind_(kind) {
        registerClasses();
        sheet_ = CreateWindowW(L"QoraTestSheet", L"Test wizard", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                               nullptr, GetModuleHandleW(nullptr), this);
        page_ = CreateWindowW(L"QoraTestPage", L"", WS_CHILD | WS_VISIBLE, 0, 0, 380, 260, sheet_, nullptr,
                              GetModuleHandleW(nullptr), this);
        progress_ = CreateWindowW(PROGRESS_CLASSW, L"", WS_CHILD, 10, 200, 300, 16, page_, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        job.adminId = L"admin";
        job.password = L"pelko";
        setSlot(SLOT_WIZARD_RECORD, &job);
    }
    ~TestWizard() {
        clearSlot(SLOT_WIZARD_RECORD);
        DestroyWindow(sheet_);
    }

    // The user presses Next (logon) or Finish (finishing page).
    void press() {
        outcome = Outcome::Running;
        if (kind_ == Kind::Logon) {
            logon.autoPress = false;
            onPress(PSBTN_NEXT);
        } else {
            onPress(PSBTN_FINISH);
        }
    }
    bool waitOutcome(DWORD ms = 60000) {
        return pumpUntil([&] { return outcome != Outcome::Running; }, ms);
    }

    HWND page() const { return page_; }
    HWND progress() const { return progress_; }

    CommandJob job;
    LogonRun logon;
    std::wstring macroName = L"\\tstrun.mac";
    std::wstring macroText;
    bool itemCommit = true;
    bool useViewer = false;
    int runsStarted = 0;
    Outcome outcome = Outcome::Running;
    DWORD buttons = 0xFFFF;

private:
    static void registerClasses() {
        static bool done = false;
        if (done) return;
        done = true;
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        WNDCLASSW wc{};
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpfnWndProc = sheetProc;
        wc.lpszClassName = L"QoraTestSheet";
        RegisterClassW(&wc);
        wc.lpfnWndProc = pageProc;
        wc.lpszClassName = L"QoraTestPage";
        RegisterClassW(&wc);
    }
    static TestWizard* self(HWND h, UINT m, LPARAM l) {
        if (m == WM_NCCREATE)
            SetWindowLongPtrW(h, GWLP_USERDATA, (LONG_PTR)reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        return reinterpret_cast<TestWizard*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    }
    static LRESULT CALLBACK sheetProc(HWND h, UINT m, WPARAM w, LPARAM l) {
        TestWizard* t = self(h, m, l);
        if (t && m == PSM_PRESSBUTTON) {
            t->onPress((int)w);
            return 0;
        }
        if (t && m == PSM_SETWIZBUTTONS) {
            t->buttons = (DWORD)l;
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    }
    static LRESULT CALLBACK pageProc(HWND h, UINT m, WPARAM w, LPARAM l) {
        TestWizard* t = self(h, m, l);
        if (t && m == WM_TIMER && w == RUN_TIMER_ID) {
            onRunTimer(t->job, t->progress_);
            return 0;
        }
        if (t && m == WM_RUN_DONE) {
            if (t->kind_ == Kind::Logon)
                completeLogonRun(t->job, t->logon, h, t->progress_, w);
            else
                completeFinishingRun(t->job, h, t->progress_, w, t->useViewer);
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    }
    void start() {
        ++runsStarted;
        if (!startMacroRun(job, page_, progress_, macroName, macroText, itemCommit)) outcome = Outcome::Stayed;
    }
    void onPress(int button) {
        if (kind_ == Kind::Logon && button == PSBTN_NEXT) {
            switch (onLogonNext(job, logon, page_)) {
            case LogonAction::StartRun: start(); break;
            case LogonAction::Stay: outcome = Outcome::Stayed; break;
            case LogonAction::Proceed: outcome = Outcome::Proceeded; break;
            }
        } else if (kind_ == Kind::Finishing && button == PSBTN_FINISH) {
            switch (onFinishPressed(job, page_)) {
            case FinishAction::StartRun: start(); break;
            case FinishAction::Stay: outcome = Outcome::Stayed; break;
            case FinishAction::Completed: outcome = Outcome::Completed; break;
            }
        }
    }

    Kind kind_;
    HWND sheet_ = nullptr, page_ = nullptr, progress_ = nullptr;
};

// The utilities directory of these tests: the processor and the message
// library in a directory of its own, named by the product key; the server
// state in a file of its own.
class MacroRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        simserver::ensureInstalled();
        dir_ = new qtest::TempDir(L"cmdrun");
        CopyFileW((qtest::binDir() + L"cmdpilot.exe").c_str(), (dir_->path() + L"cmdpilot.exe").c_str(), FALSE);
        CopyFileW((qtest::binDir() + L"msgengu.dll").c_str(), (dir_->path() + L"msgengu.dll").c_str(), FALSE);
        CIfcRegistry reg;
        reg.open(HKEY_LOCAL_MACHINE, QORA_UTILS_KEY);
        hadPath_ = reg.readString(_T("Path"), oldPath_) == 0;
        reg.writeString(_T("Path"), dir_->path().c_str());
        setMessageBoxHook(hookBox);
        loadMessageLibraries();
        setServerStartSettleMs(100);
    }
    static void TearDownTestSuite() {
        CIfcRegistry reg;
        reg.open(HKEY_LOCAL_MACHINE, QORA_UTILS_KEY);
        if (hadPath_) reg.writeString(_T("Path"), oldPath_.c_str());
        else reg.deleteValue(_T("Path"));
        setMessageBoxHook(nullptr);
        delete dir_;
    }
    void SetUp() override {
        ASSERT_TRUE(simserver::bringTo(SERVICE_RUNNING));
        DeleteFileW(statePath().c_str());
        setEnv(L"QORA_PILOT_STATE", statePath());
        for (auto v : {L"QORA_PILOT_DELAY_MS", L"QORA_PILOT_EXIT", L"QORA_PILOT_STDERR", L"QORA_PILOT_OUTPUT_BYTES"})
            setEnv(v, L"");
        utilSettings().setLaunchTimeout(60000);
        utilSettings().setEnvironmentMarker(false);
        g_boxes.clear();
        g_answer = IDYES;
    }
    static std::wstring statePath() { return dir_->path() + L"server.state"; }
    static std::wstring utilsDir() {
        tstring d;
        getUtilsPath(_T(""), d);
        while (!d.empty() && d.back() == L'\\') d.pop_back();
        return d;
    }

    static qtest::TempDir* dir_;
    static bool hadPath_;
    static tstring oldPath_;
};
qtest::TempDir* MacroRun::dir_ = nullptr;
bool MacroRun::hadPath_ = false;
tstring MacroRun::oldPath_;

// Which exit codes each protocol takes for success.
TEST_F(MacroRun, LogonAcceptsZeroAndElevenFinishingOnlyZero) {
    struct Case {
        TestWizard::Kind kind;
        const wchar_t* macro;
        int exitCode;
        TestWizard::Outcome outcome;
    } cases[] = {
        {TestWizard::Kind::Logon, L"query db f=d\n", 0, TestWizard::Outcome::Proceeded},
        {TestWizard::Kind::Logon, L"query db f=d\nquery node f=d\n", 11, TestWizard::Outcome::Proceeded},
        {TestWizard::Kind::Logon, L"define drive nolib d1 device=x\n", 4, TestWizard::Outcome::Stayed},
        {TestWizard::Kind::Finishing, L"define library lib1 libtype=manual\n", 0, TestWizard::Outcome::Completed},
        {TestWizard::Kind::Finishing, L"query node f=d\n", 11, TestWizard::Outcome::Stayed},
    };
    for (const Case& c : cases) {
        g_boxes.clear();
        TestWizard wiz(c.kind);
        wiz.macroText = c.macro;
        wiz.press();
        ASSERT_TRUE(wiz.waitOutcome()) << qtest::narrow(c.macro);
        EXPECT_EQ(wiz.job.exitCode, c.exitCode) << qtest::narrow(wiz.job.output);
        EXPECT_EQ(wiz.outcome, c.outcome) << qtest::narrow(c.macro);
        bool failed = c.outcome == TestWizard::Outcome::Stayed;
        EXPECT_EQ(boxesWith(messageText(MSG_RUN_FAILED)), failed ? 1u : 0u);
        if (failed) {
            EXPECT_EQ(wiz.job.runState, RUN_READY) << "the press after a failure resets the run";
            EXPECT_EQ(boxesWith(L"ANS8002I"), 1u) << "the output is shown";
        }
        if (c.kind == TestWizard::Kind::Logon && !failed) {
            EXPECT_NE(wiz.logon.resultText.find(L"ADMIN> query db f=d"), std::wstring::npos);
        }
        EXPECT_TRUE(wiz.job.commandLine.rfind(L"CMD /c " + utilsDir() + L"\\cmdpilot -ID=admin -PA=pelko", 0) == 0)
            << qtest::narrow(wiz.job.commandLine);
    }
}

TEST_F(MacroRun, DefinitionsOfOneRunAreSeenByTheNextRunsQueries) {
    TestWizard finish(TestWizard::Kind::Finishing);
    finish.macroText = L"define library lib9 libtype=manual\ndefine library lib8 libtype=scsi device=lb0.1.0.1\n";
    finish.itemCommit = false;
    finish.press();
    ASSERT_TRUE(finish.waitOutcome());
    ASSERT_EQ(finish.outcome, TestWizard::Outcome::Completed) << qtest::narrow(finish.job.output);

    TestWizard logon(TestWizard::Kind::Logon);
    logon.macroText = L"query library f=d\n";
    logon.press();
    ASSERT_TRUE(logon.waitOutcome());
    qora::parse::LibraryResults libs;
    qora::parse::parseLibraries(libs, logon.logon.resultText);
    ASSERT_EQ(libs.count(), 2u) << qtest::narrow(logon.logon.resultText);
    EXPECT_EQ(libs.records[0].library, L"LIB8");
    EXPECT_EQ(libs.records[0].device, L"lb0.1.0.1");
    EXPECT_EQ(libs.records[1].library, L"LIB9");
}

// Asked first, or started at once while the initial configuration's
// environment wizard is open.
TEST_F(MacroRun, StoppedServerIsStartedAndTheLogonRunsAgain) {
    for (bool environmentWizard : {false, true}) {
        g_boxes.clear();
        utilSettings().setEnvironmentMarker(environmentWizard);
        ASSERT_TRUE(simserver::bringTo(SERVICE_STOPPED));
        TestWizard wiz(TestWizard::Kind::Logon);
        wiz.macroText = L"query db f=d\n";
        wiz.press();
        ASSERT_TRUE(wiz.waitOutcome());
        EXPECT_EQ(wiz.outcome, TestWizard::Outcome::Proceeded) << qtest::narrow(wiz.job.output);
        EXPECT_EQ(wiz.runsStarted, 2);
        EXPECT_EQ(boxesWith(messageText(MSG_START_SERVER)), environmentWizard ? 0u : 1u);
        EXPECT_EQ(simserver::state(), (DWORD)SERVICE_RUNNING);
    }
}

TEST_F(MacroRun, DecliningToStartTheServerFailsTheLogonUnlessOptional) {
    for (bool required : {true, false}) {
        ASSERT_TRUE(simserver::bringTo(SERVICE_STOPPED));
        g_answer = IDNO;
        TestWizard wiz(TestWizard::Kind::Logon);
        wiz.logon.logonRequired = required;
        wiz.macroText = L"query db f=d\n";
        wiz.press();
        ASSERT_TRUE(wiz.waitOutcome());
        EXPECT_EQ(wiz.outcome, required ? TestWizard::Outcome::Stayed : TestWizard::Outcome::Proceeded);
        EXPECT_EQ(wiz.runsStarted, 1);
        EXPECT_EQ(simserver::state(), (DWORD)SERVICE_STOPPED);
    }
}

TEST_F(MacroRun, UnreachableServerGivesUpAtTheEleventhFailure) {
    setEnv(L"QORA_PILOT_EXIT", L"-50");
    TestWizard wiz(TestWizard::Kind::Logon);
    wiz.macroText = L"query db f=d\n";
    wiz.press();
    ASSERT_TRUE(wiz.waitOutcome(120000));
    EXPECT_EQ(wiz.outcome, TestWizard::Outcome::Stayed);
    EXPECT_EQ(wiz.runsStarted, 11);
    EXPECT_EQ(boxesWith(L"Unable to start the local server"), 1u);
    EXPECT_EQ(wiz.logon.retryCount, 0);
}

TEST_F(MacroRun, TimeOutIsShownOnceAndTheLateEndShowsNothing) {
    utilSettings().setLaunchTimeout(2000);
    setEnv(L"QORA_PILOT_DELAY_MS", L"4000");
    TestWizard wiz(TestWizard::Kind::Finishing);
    wiz.macroText = L"define library late1 libtype=manual\n";
    wiz.press();
    ASSERT_TRUE(wiz.waitOutcome());
    EXPECT_EQ(wiz.outcome, TestWizard::Outcome::Stayed);
    EXPECT_TRUE(wiz.job.timedOut);
    EXPECT_EQ(boxesWith(messageText(MSG_RUN_TIMED_OUT)), 1u);
    EXPECT_EQ(SendMessageW(wiz.progress(), PBM_GETRANGE, FALSE, 0), 2);

    // A new run starts while the abandoned one is still going; the late end
    // of the first touches neither the message boxes nor the new run.
    setEnv(L"QORA_PILOT_DELAY_MS", L"");
    utilSettings().setLaunchTimeout(60000);
    size_t before = g_boxes.size();
    wiz.macroText = L"query db f=d\n";
    wiz.press();
    ASSERT_TRUE(wiz.waitOutcome());
    EXPECT_EQ(wiz.outcome, TestWizard::Outcome::Completed);
    pumpFor(5000);  // the first processor ends meanwhile
    EXPECT_EQ(g_boxes.size(), before);
    EXPECT_EQ(wiz.job.output.find(L"LATE1"), std::wstring::npos);
    EXPECT_NE(wiz.job.output.find(L"Available Space (MB)"), std::wstring::npos);
}

TEST_F(MacroRun, StandardErrorIsInterleavedWithStandardOutput) {
    const wchar_t* macro = L"query db f=d\nquery stgpool f=d\n";
    TestWizard plain(TestWizard::Kind::Logon);
    plain.macroText = macro;
    plain.press();
    ASSERT_TRUE(plain.waitOutcome());

    setEnv(L"QORA_PILOT_STDERR", L"1");
    TestWizard mixed(TestWizard::Kind::Logon);
    mixed.macroText = macro;
    mixed.press();
    ASSERT_TRUE(mixed.waitOutcome());
    ASSERT_FALSE(plain.job.output.empty());
    // Same lines in the same order, though every second one came on stderr
    // (the dates in the replies are the same within a second or two).
    auto noStamps = [](std::wstring s) {
        std::wstring r;
        size_t pos = 0;
        while (pos < s.size()) {
            size_t e = s.find(L'\n', pos);
            std::wstring line = s.substr(pos, e == std::wstring::npos ? e : e - pos);
            if (line.find(L"Date/Time") == std::wstring::npos) r += line + L"\n";
            pos = e == std::wstring::npos ? s.size() : e + 1;
        }
        return r;
    };
    EXPECT_EQ(noStamps(mixed.job.output), noStamps(plain.job.output));
}

TEST_F(MacroRun, MacroFileIsOverwrittenAsAnsiWithCrLf) {
    TestWizard wiz(TestWizard::Kind::Logon);
    wiz.macroText = L"query db f=d\nquery log f=d\nquery stgpool f=d\n";
    wiz.press();
    ASSERT_TRUE(wiz.waitOutcome());
    wiz.macroText = L"query db f=d\n";
    wiz.press();  // the first press after success moves on; this one runs again
    wiz.press();
    ASSERT_TRUE(wiz.waitOutcome());
    EXPECT_EQ(qtest::readFile(utilsDir() + L"\\tstrun.mac"), "query db f=d\r\n");
    EXPECT_NE(wiz.job.commandLine.find(L" -itemcommit macro " + utilsDir() + L"\\tstrun.mac"), std::wstring::npos);
}

TEST_F(MacroRun, UnsafeCredentialsAreRefusedBeforeAnyRun) {
    for (const wchar_t* id : {L"ad min", L"a&b", L"x|y", L"a<b", L"a>b", L"a^b", L"100%", L"a\"b"}) {
        g_boxes.clear();
        TestWizard wiz(TestWizard::Kind::Finishing);
        wiz.job.password = id;
        wiz.macroText = L"define library bad1 libtype=manual\n";
        wiz.press();
        EXPECT_EQ(wiz.outcome, TestWizard::Outcome::Stayed) << qtest::narrow(id);
        EXPECT_EQ(boxesWith(L"must not contain blanks"), 1u) << qtest::narrow(id);
        EXPECT_TRUE(wiz.job.commandLine.empty());
    }
    EXPECT_FALSE(isSafeCredential(L"a b"));
    EXPECT_TRUE(isSafeCredential(L"Admin_01.x"));
}

TEST_F(MacroRun, ProcessThatCannotBeCreatedFailsAtOnce) {
    TestWizard wiz(TestWizard::Kind::Finishing);
    jobInit(wiz.job, wiz.page(), WM_RUN_DONE, utilsDir());
    wiz.job.commandLine = L"Q:\\nowhere\\nothing.exe";
    ASSERT_TRUE(startCommandRun());  // the job in slot 0
    ASSERT_TRUE(pumpUntil([&] { return wiz.outcome != TestWizard::Outcome::Running; }, 20000));
    EXPECT_EQ(wiz.job.exitCode, RUN_EXIT_NOT_STARTED);
    EXPECT_EQ(wiz.outcome, TestWizard::Outcome::Stayed);
    EXPECT_EQ(boxesWith(messageText(MSG_RUN_FAILED)), 1u);
}

TEST_F(MacroRun, LongFailureOutputGoesToTheViewer) {
    setEnv(L"QORA_PILOT_OUTPUT_BYTES", L"2000");
    TestWizard wiz(TestWizard::Kind::Finishing);
    wiz.useViewer = true;
    wiz.macroText = L"query node f=d\n";
    std::wstring heading, text;
    // The viewer is modal: look at it from another thread and close it.
    std::thread watcher([&] {
        qtest::waitFor([&] {
            HWND dlg = FindWindowW(nullptr, L"QORA Server Utilities");
            if (!dlg || !IsWindowVisible(dlg)) return false;
            wchar_t buf[256];
            GetDlgItemTextW(dlg, IDC_OUTPUT_HEADING, buf, 256);
            heading = buf;
            int n = GetWindowTextLengthW(GetDlgItem(dlg, IDC_OUTPUT_TEXT));
            text.resize((size_t)n + 1);
            GetDlgItemTextW(dlg, IDC_OUTPUT_TEXT, text.data(), n + 1);
            PostMessageW(dlg, WM_COMMAND, IDOK, 0);
            return true;
        });
    });
    wiz.press();
    bool ended = wiz.waitOutcome();
    watcher.join();
    ASSERT_TRUE(ended);
    EXPECT_EQ(heading, L"Error executing QORA macro.");
    EXPECT_NE(text.find(L"ANR0100I Simulated output line"), std::wstring::npos);
    EXPECT_NE(text.find(L"\r\n"), std::wstring::npos);
    EXPECT_EQ(boxesWith(L"ANR0100I"), 0u) << "the long output is not put into a message box";
}

TEST(Capture, RunAndCaptureReadsToTheEndInItsDirectory) {
    qtest::TempDir dir(L"cap");
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    std::wstring out;
    EXPECT_EQ(runAndCapture(dir.path(), L"cmd /c cd & for /l %i in (1,1,3000) do @echo line %i", out, 30000), 0);
    std::wstring path = dir.path();
    path.pop_back();
    EXPECT_EQ(_wcsnicmp(out.c_str(), path.c_str(), path.size()), 0) << qtest::narrow(out.substr(0, 80));
    EXPECT_NE(out.find(L"line 3000"), std::wstring::npos) << "output is read to its end";
    wchar_t after[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(runAndCapture(L"Q:\\no such dir", L"cmd /c echo x", out, 1000), RUNCAP_BAD_DIRECTORY);
    EXPECT_EQ(runAndCapture(L"", L"Q:\\nothing.exe", out, 1000), RUNCAP_NO_PROCESS);
}

TEST(Capture, TimeOutEndsTheCapture) {
    std::wstring out;
    DWORD t0 = GetTickCount();
    EXPECT_EQ(runAndCapture(L"", L"cmd /c echo early & ping -n 6 127.0.0.1 >nul", out, 1000), 0);
    EXPECT_LT(GetTickCount() - t0, 4000u);
    EXPECT_NE(out.find(L"early"), std::wstring::npos);
}

TEST(FormatRun, ResultAndTextReachThePage) {
    HWND wnd = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    CommandJob job;
    for (int rc : {0, 1604}) {
        jobInit(job, wnd, WM_RUN_DONE, L"C:\\dir");
        job.ownNumber = 1;
        job.ownTexts[0] = L"D:\\db1.dsm";
        job.ownTexts[1] = L"16";
        std::wstring seenPath;
        ASSERT_TRUE(startFormatRun(job, [&](int32_t type, const std::wstring& path, const std::wstring& size) {
            seenPath = path + L"|" + size + L"|" + std::to_wstring(type);
            return rc;
        }));
        MSG msg{};
        DWORD until = GetTickCount() + 10000;
        while (!PeekMessageW(&msg, wnd, WM_RUN_DONE, WM_RUN_DONE, PM_REMOVE) && (int)(until - GetTickCount()) > 0)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        ASSERT_EQ(msg.message, WM_RUN_DONE);
        ASSERT_TRUE(takeRunResult(job, msg.wParam));
        EXPECT_EQ(seenPath, L"D:\\db1.dsm|16|1");
        EXPECT_EQ(job.exitCode, rc);
        if (rc) EXPECT_NE(job.workDir.find(L"1604"), std::wstring::npos) << qtest::narrow(job.workDir);
        else EXPECT_EQ(job.workDir, L"C:\\dir");
        EXPECT_FALSE(takeRunResult(job, msg.wParam + 1)) << "another run's message";
    }
    DestroyWindow(wnd);
}

TEST(Slots, SetAndGetFollowTheirCodes) {
    int value = 5;
    EXPECT_EQ(setSlot(70, &value), SETSLOT_BAD_INDEX);
    EXPECT_EQ(getSlot(70), nullptr);
    EXPECT_EQ(setSlot(-1, &value), SETSLOT_BAD_INDEX);
    EXPECT_EQ(setSlot(12, &value), SETSLOT_OK);
    EXPECT_EQ(getSlot(12), &value);
    EXPECT_EQ(setSlot(12, nullptr), SETSLOT_OK);
    EXPECT_EQ(getSlot(12), &value) << "none leaves the slot unchanged";
    void* freed = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    VirtualFree(freed, 0, MEM_RELEASE);
    EXPECT_EQ(setSlot(12, freed), SETSLOT_UNREADABLE);
    EXPECT_EQ(getSlot(12), nullptr);
    void* page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    EXPECT_EQ(setSlot(13, page), SETSLOT_OK);
    VirtualFree(page, 0, MEM_RELEASE);
    EXPECT_EQ(getSlot(13), nullptr) << "an entry whose memory went away reads as none";
    clearSlot(12);
    clearSlot(13);
}

}  // namespace
