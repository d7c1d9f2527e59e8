// kvtcfg run as a user runs it: the real program with a setup file, the
// backup-archive client's directory in the registry, its dialog and message
// boxes answered through their windows.
#include <gtest/gtest.h>
#include "common/cmd/optfiles_io.h"
#include "tests/support/testsupport.h"

using namespace std::chrono_literals;

namespace {

const wchar_t kClientKey[] = L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\BackupClient";

// Points the backup-archive client's Path at a test folder; puts the old
// value back afterwards.
class ClientDirectory {
public:
    explicit ClientDirectory(const std::wstring& dir) {
        wchar_t old[1024];
        DWORD size = sizeof old;
        had_ = RegGetValueW(HKEY_LOCAL_MACHINE, kClientKey, L"Path", RRF_RT_REG_SZ, nullptr, old, &size) == 0;
        if (had_) old_ = old;
        set(dir);
    }
    ~ClientDirectory() {
        if (had_) set(old_);
        else RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, L"Path");
    }

private:
    static void set(const std::wstring& dir) {
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kClientKey, L"Path", REG_SZ, dir.c_str(),
                        DWORD((dir.size() + 1) * sizeof(wchar_t)));
    }
    bool had_ = false;
    std::wstring old_;
};

// One running kvtcfg.exe; ended by the destructor if still running.
class Kvtcfg {
public:
    Kvtcfg(const std::wstring& args, const std::wstring& workDir) {
        std::wstring cmd = L"\"" + qtest::binDir() + L"kvtcfg.exe\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si{sizeof si};
        started_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &si, &pi_);
    }
    ~Kvtcfg() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool started() const { return started_; }
    DWORD pid() const { return pi_.dwProcessId; }

    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD exitCode(std::chrono::milliseconds timeout = 20s) {
        WaitForSingleObject(pi_.hProcess, DWORD(timeout.count() * qtest::timeScale()));
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    // The configuration dialog holds the summary control; a message box does not.
    HWND dialog() { return find(true); }
    HWND messageBox() { return find(false); }

private:
    HWND find(bool configDialog) {
        HWND found = nullptr;
        qtest::waitFor([&] {
            for (HWND h : qtest::windowsOfProcess(pi_.dwProcessId))
                if ((GetDlgItem(h, 1001) != nullptr) == configDialog) found = h;
            return found != nullptr;
        });
        return found;
    }

    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

std::string allText(HWND h) {
    std::string s;
    for (const auto& t : qtest::childTexts(h)) s += qtest::narrow(t) + "\n";
    return s;
}

void press(HWND h, int id) { PostMessageW(h, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(h, id)); }

// Answers the message box that comes up and returns its text.
std::string answerMessage(Kvtcfg& app) {
    HWND box = app.messageBox();
    if (!box) return "(no message box)";
    std::string text = allText(box);
    press(box, IDOK);
    qtest::waitFor([&] { return !IsWindow(box); }, 5s);
    return text;
}

std::string dialogItemText(HWND dialog, int id) {
    wchar_t buf[4096];
    SendMessageW(GetDlgItem(dialog, id), WM_GETTEXT, 4096, (LPARAM)buf);
    return qtest::narrow(buf);
}

ofe::ClientConfig tcpConfig() {
    ofe::ClientConfig c;
    ofe::setField(c.szTcpServerAddress, L"srv.example");
    ofe::setField(c.szTcpPort, L"1500");
    ofe::setField(c.szAdminContact, L"Ann Admin, phone 42");
    return c;
}

bool exists(const std::wstring& p) { return GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

class KvtcfgRun : public testing::Test {
protected:
    qtest::TempDir client{L"kvtclient"};
    qtest::TempDir work{L"kvtwork"};
    ClientDirectory registry{client.path()};
    const std::wstring setup = work / L"site.cfg";
};

}  // namespace

TEST_F(KvtcfgRun, WritesKvtOptAndKeepsTheOldOne) {
    ASSERT_EQ(ofe::SaveSetupFile(setup.c_str(), tcpConfig()), 0);
    ASSERT_TRUE(qtest::writeFile(client / L"kvt.opt", "commmethod TCPIP\r\ntcpserveraddress old\r\n"));
    Kvtcfg app(L"\"" + setup + L"\"", work.path());
    ASSERT_TRUE(app.started());
    HWND dialog = app.dialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(qtest::narrow(qtest::windowText(dialog)), "QORA Client Configuration");
    const std::string summary = dialogItemText(dialog, 1001);
    EXPECT_NE(summary.find("QORA Administrator Contact Information: \r\n\r\nAnn Admin, phone 42\r\n"), std::string::npos);
    EXPECT_NE(summary.find("kvt.opt\r\n\r\nYour communication parameters will be: \r\n\r\ncommmethod       TCPIP\r\n"
                           "tcpport          1500\r\ntcpserveraddress srv.example\r\n"),
              std::string::npos)
        << summary;
    EXPECT_FALSE(dialogItemText(dialog, 1000).empty());  // the computer name
    SendMessageW(GetDlgItem(dialog, 1000), WM_SETTEXT, 0, (LPARAM)L"NODE7");
    press(dialog, IDOK);
    EXPECT_NE(answerMessage(app).find("has been created in:"), std::string::npos);
    EXPECT_EQ(app.exitCode(), 0u);
    const std::string written = qtest::readFile(client / L"kvt.opt");
    EXPECT_NE(written.find("\r\nnodename NODE7\r\n\r\ncommmethod       TCPIP\r\ntcpport          1500\r\n"
                           "tcpserveraddress srv.example\r\n"),
              std::string::npos)
        << written;
    EXPECT_NE(written.find("* QORA Administrator: Ann Admin, phone 42\r\n"), std::string::npos);
    EXPECT_EQ(qtest::readFile(client / L"kvt.old"), "commmethod TCPIP\r\ntcpserveraddress old\r\n");
}

TEST_F(KvtcfgRun, SetupErrorNamesItsLineAndTheContactReadBefore) {
    ASSERT_TRUE(qtest::writeFile(setup, "*=====\r\n* generated\r\n*\r\nqora_admin_contact=Ann Admin\r\n"
                                        "commmethod=TCPIP\r\ntcpport=1500\r\nnodename=mine\r\n"));
    Kvtcfg app(setup, work.path());
    const std::string message = answerMessage(app);
    EXPECT_NE(message.find("There is a syntax error on line 7 of the setup file:"), std::string::npos) << message;
    EXPECT_NE(message.find("nodename=mine"), std::string::npos);
    EXPECT_NE(message.find("system administrator Ann Adminfor help."), std::string::npos);
    EXPECT_EQ(app.exitCode(), 1u);
    EXPECT_FALSE(exists(client / L"kvt.opt"));
}

TEST_F(KvtcfgRun, ASecondCopyDoesNotStart) {
    ASSERT_EQ(ofe::SaveSetupFile(setup.c_str(), tcpConfig()), 0);
    Kvtcfg first(setup, work.path());
    HWND dialog = first.dialog();
    ASSERT_TRUE(dialog);
    Kvtcfg second(setup, work.path());
    EXPECT_EQ(second.exitCode(), 1u);
    EXPECT_TRUE(IsWindow(dialog));
    press(dialog, IDCANCEL);
    EXPECT_EQ(first.exitCode(), 1u);
    EXPECT_FALSE(exists(client / L"kvt.opt"));
}

TEST_F(KvtcfgRun, InvalidSettingsAndEmptyNodeKeepTheDialogOpen) {
    ASSERT_TRUE(qtest::writeFile(setup, "commmethod=TCPIP\r\ntcpserveraddress=srv\r\n"));
    Kvtcfg app(setup, work.path());
    HWND dialog = app.dialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialogItemText(dialog, 1001).find("commmethod"), std::string::npos);
    SendMessageW(GetDlgItem(dialog, 1000), WM_SETTEXT, 0, (LPARAM)L"");
    press(dialog, IDOK);
    EXPECT_NE(answerMessage(app).find("You must enter a node name before you can continue."), std::string::npos);
    SendMessageW(GetDlgItem(dialog, 1000), WM_SETTEXT, 0, (LPARAM)L"NODE7");
    press(dialog, IDOK);
    EXPECT_NE(answerMessage(app).find("Error -- An invalid argument was detected"), std::string::npos);
    ASSERT_TRUE(IsWindow(dialog));
    press(dialog, IDCANCEL);
    EXPECT_EQ(app.exitCode(), 1u);
    EXPECT_FALSE(exists(client / L"kvt.opt"));
}

TEST_F(KvtcfgRun, MissingBaseFileIsAWarningAndTheFileIsWritten) {
    ofe::ClientConfig c = tcpConfig();
    c.iAttachBaseOptions = 1;
    ofe::setField(c.szBaseOptionsFile, L"nothere.opt");
    ASSERT_EQ(ofe::SaveSetupFile(setup.c_str(), c), 0);
    Kvtcfg app(setup, work.path());
    HWND dialog = app.dialog();
    ASSERT_TRUE(dialog);
    press(dialog, IDOK);
    const std::string message = answerMessage(app);
    EXPECT_NE(message.find("Warning -- Your options file was created but the base options file (nothere.opt)"),
              std::string::npos)
        << message;
    EXPECT_EQ(app.exitCode(), 0u);
    EXPECT_NE(qtest::readFile(client / L"kvt.opt").find("* Warning - the base options file (nothere.opt)"),
              std::string::npos);
}

// The sample the demonstration hands to kvtcfg.
TEST_F(KvtcfgRun, ShippedSampleIsReadAndCancelWritesNothing) {
    Kvtcfg app(L"\"" + qtest::sourceDir() + L"sim\\kvtcfg\\sample.cfg\"", work.path());
    HWND dialog = app.dialog();
    ASSERT_TRUE(dialog);
    EXPECT_NE(dialogItemText(dialog, 1001).find("tcpserveraddress qorasrv1.example.com"), std::string::npos);
    press(dialog, IDCANCEL);
    EXPECT_EQ(app.exitCode(), 1u);
    EXPECT_FALSE(exists(client / L"kvt.opt"));
}

TEST_F(KvtcfgRun, MissingSetupFileIsReported) {
    Kvtcfg app(work / L"none.cfg", work.path());
    EXPECT_NE(answerMessage(app).find("Could not open file " + qtest::narrow(work / L"none.cfg")), std::string::npos);
    EXPECT_EQ(app.exitCode(), 1u);
}

TEST_F(KvtcfgRun, WithoutArgumentShowsUsage) {
    Kvtcfg app(L"", work.path());
    EXPECT_NE(answerMessage(app).find("Usage:\tkvtcfg filename.cfg"), std::string::npos);
    EXPECT_EQ(app.exitCode(), 1u);
}
