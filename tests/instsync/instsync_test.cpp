// instsync as a user runs it: real registry keys, real files, its message
// boxes and dialog found on the screen and answered.
#include <gtest/gtest.h>
#include "tests/support/testsupport.h"
#include "instsync/resource.h"
#include <map>

using namespace std::chrono_literals;
using qtest::narrow;
using qtest::widen;

namespace {

const std::wstring kKey = L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\InstsyncTest";
const std::wstring kMistypedKey = L"SOFTWARE\\Tevra\\QORA\\CurrentVersion\\InstsyncTset";
const std::string kTitle = "Update QORA Files Utility";
const std::string kHelp =
    "INSTSYNC: QORA utility to copy files to an QORA installation.\n\n"
    "\n\n"
    "Syntax: instsync [-regkey RegistryKey] [-filepath a:\\files]\n\n"
    "                 [-minver w.x.y.z] [-nohelp]\\n\n"
    "\n\n"
    "   The program runs in interactive mode if no flags are specified.\n\n"
    "\n\n"
    "   PARAMETERS:\n\n"
    "\n\n"
    "      -regkey: If not running in interactive mode, this flag is required.\n\n"
    "                   Specify the registry key that contains the path to where\n\n"
    "                   the files will be copied.\n\n"
    "\n\n"
    "      -filepath: If not specified, this will default to the current directory.\n\n"
    "                    Specify a source path from which the files will be copied.\n\n"
    "\n\n"
    "      -minver: If specified, the version number for the installed component\n\n"
    "                    must be greater than or equal to the one supplied for\n\n"
    "                    files to be copied.\n\n"
    "\n\n"
    "      -nohelp: If specified, helptext is not automatically appended to all error text.";

bool keyExists(const std::wstring& path) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The component key with the values given (null: value absent).
void setComponent(const wchar_t* path, const wchar_t* level) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    auto put = [&](const wchar_t* name, const wchar_t* value) {
        if (value)
            RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                           (DWORD)((wcslen(value) + 1) * sizeof(wchar_t)));
    };
    put(L"Path", path);
    put(L"PtfLevel", level);
    RegCloseKey(key);
}

bool isDialog(HWND h) {
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    return std::wstring(cls) == L"#32770";
}

// The process's dialog-class window with this title, or null.
HWND windowTitled(DWORD pid, const std::string& title) {
    for (HWND h : qtest::windowsOfProcess(pid))
        if (isDialog(h) && narrow(qtest::windowText(h)) == title) return h;
    return nullptr;
}

// The message of a message box: its static text that is not empty.
std::string messageOf(HWND box) {
    std::string text;
    EnumChildWindows(box, [](HWND c, LPARAM lp) -> BOOL {
        wchar_t cls[64] = {};
        GetClassNameW(c, cls, 64);
        std::wstring t = qtest::windowText(c);
        if (_wcsicmp(cls, L"Static") == 0 && !t.empty()) *reinterpret_cast<std::string*>(lp) = narrow(t);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&text));
    return text;
}

// A running instsync.exe.
class Instsync {
public:
    explicit Instsync(const std::wstring& arguments, const std::wstring& workDir = {}) {
        std::wstring line = L"\"" + qtest::binDir() + L"instsync.exe\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  workDir.empty() ? nullptr : workDir.c_str(), &si, &pi_);
    }
    ~Instsync() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool started() const { return started_ != FALSE; }
    DWORD pid() const { return pi_.dwProcessId; }
    bool ended() const { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; }
    // Its exit code once it ended within the time given, else ~0.
    DWORD exitCode(std::chrono::milliseconds timeout = 30s) const {
        DWORD code = ~0u;
        if (qtest::waitFor([&] { return ended(); }, timeout)) GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }
    HWND waitForWindow(const std::string& title) const {
        HWND found = nullptr;
        qtest::waitFor([&] { return (found = windowTitled(pid(), title)) != nullptr || ended(); }, 30s);
        return found;
    }

private:
    PROCESS_INFORMATION pi_{};
    BOOL started_ = FALSE;
};

struct Outcome {
    bool boxShown = false;
    std::string message;
    DWORD exitCode = ~0u;
};

// Runs instsync to its end; a message box it shows is read and answered OK.
Outcome runInstsync(const std::wstring& arguments, const std::wstring& workDir = {}) {
    Outcome o;
    Instsync p(arguments, workDir);
    if (!p.started()) return o;
    if (HWND box = p.waitForWindow(kTitle)) {
        o.boxShown = true;
        o.message = messageOf(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    o.exitCode = p.exitCode();
    return o;
}

std::wstring quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

std::wstring withoutBackslash(std::wstring dir) {
    if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
    return dir;
}

// The log as written on disk, line ends and all.
std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string expectedLog(const std::wstring& sourceDir, const std::wstring& targetDir,
                        const std::string& lastLine = "Completed copy command.\n") {
    std::string s = narrow(sourceDir), t = narrow(targetDir);
    return crlf("Source path is: " + s + ".\n" + "Target path is: " + t + ".\n" +
                "Copy command is: xcopy \"" + s + "*.*\" \"" + t + "\" /s /y < NUL >> \"" + t +
                "instsync.out\" 2>&1.\n" + lastLine);
}

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class InstsyncTest : public ::testing::Test {
protected:
    void SetUp() override { removeKeys(); }
    void TearDown() override { removeKeys(); }
    static void removeKeys() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kKey.c_str());
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kMistypedKey.c_str());
    }
    // A small update package with subdirectories, in a path with blanks.
    void makeSource() {
        ASSERT_TRUE(qtest::writeFile(source / L"a.dll", "new a"));
        ASSERT_TRUE(qtest::writeFile(source / L"read me.txt", "notes"));
        ASSERT_TRUE(CreateDirectoryW((source / L"sub dir").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((source / L"sub dir\\deeper").c_str(), nullptr));
        ASSERT_TRUE(qtest::writeFile(source / L"sub dir\\b.dat", "b"));
        ASSERT_TRUE(qtest::writeFile(source / L"sub dir\\deeper\\c.dat", "c"));
    }
    qtest::TempDir source{L"upd files"};
    qtest::TempDir target{L"server dir"};
};

// An error case; in arguments and Path, {key}, {mistyped}, {target},
// {source} and {nowhere} stand for the test's keys and directories ({source}
// without its last backslash: before a closing quote it would escape it).
struct ErrorCase {
    const char* name;
    std::vector<std::wstring> args;
    const wchar_t* pathValue;  // null: no Path value
    const wchar_t* level;      // null: no PtfLevel value
    const char* error;         // null: the help text alone
    bool withHelp;
    DWORD exitCode;
};

class InstsyncError : public InstsyncTest, public ::testing::WithParamInterface<ErrorCase> {
protected:
    std::wstring expand(std::wstring s) {
        const std::map<std::wstring, std::wstring> names = {
            {L"{key}", kKey}, {L"{mistyped}", kMistypedKey},
            {L"{target}", target.path()}, {L"{nowhere}", target / L"gone"},
            {L"{source}", withoutBackslash(source.path())}};
        for (const auto& [from, to] : names)
            for (size_t at; (at = s.find(from)) != std::wstring::npos;) s.replace(at, from.size(), to);
        return s;
    }
};

TEST_P(InstsyncError, ShowsItsTextAndCopiesNothing) {
    const ErrorCase& c = GetParam();
    makeSource();
    if (c.pathValue || c.level)
        setComponent(c.pathValue ? expand(c.pathValue).c_str() : nullptr, c.level);
    std::wstring args;
    for (const std::wstring& a : c.args) args += quoted(expand(a)) + L" ";

    Outcome o = runInstsync(args, source.path());
    ASSERT_TRUE(o.boxShown);
    std::string expected = !c.error ? kHelp : c.withHelp ? std::string(c.error) + "\n" + kHelp : c.error;
    EXPECT_EQ(o.message, expected);
    EXPECT_EQ(o.exitCode, c.exitCode);
    for (const std::wstring& dir : {target.path(), source / L"sub dir\\"})
        EXPECT_EQ(GetFileAttributesW((dir + L"instsync.log").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((target / L"a.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(keyExists(kMistypedKey));
}

const wchar_t* const kTarget = L"{target}";

INSTANTIATE_TEST_SUITE_P(Cases, InstsyncError, ::testing::Values(
    ErrorCase{"InvalidFlag", {L"-x"}, nullptr, nullptr,
              "AN INVALID FLAG HAS BEEN PASSED.\n", true, 140},
    ErrorCase{"ValueWithoutFlag", {L"stray"}, nullptr, nullptr,
              "AN INVALID PARAMETER HAS BEEN PASSED.\n", true, 141},
    ErrorCase{"ExtraValue", {L"-regkey", L"{key}", L"extra"}, kTarget, L"3.1.2.10",
              "AN INVALID PARAMETER HAS BEEN PASSED.\n", true, 141},
    ErrorCase{"RegkeyWithoutValue", {L"-regkey"}, nullptr, nullptr,
              "REGISTRY KEY MUST BE SUPPLIED.\n", true, 142},
    ErrorCase{"NoRegkey", {L"-filepath", L"c:\\upd"}, nullptr, nullptr,
              "REGISTRY KEY MUST BE SUPPLIED.\n", true, 142},
    ErrorCase{"MistypedKeyIsNotCreated", {L"-regkey", L"{mistyped}", L"-nohelp"}, kTarget, L"3.1.2.10",
              "THE REGISTRY KEY SUPPLIED CANNOT BE FOUND.\n", false, 143},
    ErrorCase{"KeyWithoutPath", {L"-regkey", L"{key}", L"-nohelp"}, nullptr, L"3.1.2.10",
              "THE REGISTRY KEY SUPPLIED CANNOT BE FOUND.\n", false, 143},
    ErrorCase{"TargetMissing", {L"-regkey", L"{key}"}, L"{nowhere}", L"3.1.2.10",
              "THE DIRECTORY INDICATED BY THE REGISTRY KEY DOES NOT EXIST.\n", true, 144},
    ErrorCase{"SourceMissing", {L"-regkey", L"{key}", L"-filepath", L"{nowhere}"}, kTarget, L"3.1.2.10",
              "THE DIRECTORY INDICATED BY THE FILE PATH DOES NOT EXIST.\n", true, 145},
    ErrorCase{"NoHelpCountsOnlyOnceAccepted", {L"-regkey", L"{key}", L"-nohelp", L"-minver", L"3.1.0"},
              kTarget, L"3.1.2.10",
              "THE MINIMUM VERSION SUPPLIED MUST BE IN THE w.x.y.z FORMAT.\n", true, 146},
    ErrorCase{"LevelBelowMinimum", {L"-regkey", L"{key}", L"-minver", L"3.1.2.10"}, kTarget, L"3.1.2.9",
              "YOUR INSTALLED VERSION FOR THIS COMPONENT DOES NOT MEET THE REQUIRED MINIMUM.\n", true, 147},
    ErrorCase{"TargetInsideSource", {L"-regkey", L"{key}", L"-filepath", L"{source}"},
              L"{source}\\sub dir", L"3.1.2.10",
              "THE DIRECTORY INDICATED BY THE REGISTRY KEY MUST NOT BE THE FILE PATH OR LIE WITHIN IT.\n",
              true, 149},
    ErrorCase{"HelpRequested", {L"/?"}, kTarget, L"3.1.2.10", nullptr, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Both runs copy the whole tree over the installed files without asking and
// append to the same log and output file; the second takes the current
// directory as its source.
TEST_F(InstsyncTest, CopiesTheTreeAndAppendsToItsLog) {
    makeSource();
    ASSERT_TRUE(qtest::writeFile(target / L"a.dll", "old a"));
    setComponent((L"  " + withoutBackslash(target.path()) + L" ").c_str(), L" 3.1.2.10 ");
    const std::wstring keyArgs = L"-regkey " + quoted(kKey) + L" -minver 3.1.2.9";

    Outcome first = runInstsync(keyArgs + L" -filepath " + quoted(withoutBackslash(source.path())));
    EXPECT_FALSE(first.boxShown) << first.message;
    EXPECT_EQ(first.exitCode, 0u);
    EXPECT_EQ(qtest::readFile(target / L"a.dll"), "new a");
    EXPECT_EQ(qtest::readFile(target / L"read me.txt"), "notes");
    EXPECT_EQ(qtest::readFile(target / L"sub dir\\b.dat"), "b");
    EXPECT_EQ(qtest::readFile(target / L"sub dir\\deeper\\c.dat"), "c");
    std::string log = expectedLog(source.path(), target.path());
    EXPECT_EQ(qtest::readFile(target / L"instsync.log"), log);
    EXPECT_EQ(count(qtest::readFile(target / L"instsync.out"), "4 file(s) copied"), 1u);

    ASSERT_TRUE(qtest::writeFile(source / L"sub dir\\b.dat", "b2"));
    Outcome second = runInstsync(keyArgs, source.path());
    EXPECT_FALSE(second.boxShown) << second.message;
    EXPECT_EQ(second.exitCode, 0u);
    EXPECT_EQ(qtest::readFile(target / L"sub dir\\b.dat"), "b2");
    EXPECT_EQ(qtest::readFile(target / L"instsync.log"), log + log);
    EXPECT_EQ(count(qtest::readFile(target / L"instsync.out"), "4 file(s) copied"), 2u);
}

// A directory in the target where a file has to go: xcopy fails, and that
// is logged and reported, not shown as success.
TEST_F(InstsyncTest, FailedCopyIsLoggedAndReported) {
    makeSource();
    ASSERT_TRUE(CreateDirectoryW((target / L"a.dll").c_str(), nullptr));
    setComponent(target.path().c_str(), L"3.1.2.10");

    Outcome o = runInstsync(L"-regkey " + quoted(kKey) + L" -nohelp", source.path());
    ASSERT_TRUE(o.boxShown);
    EXPECT_EQ(o.message,
              "THE COPY COMMAND FAILED. SEE THE .log AND .out FILES IN THE TARGET DIRECTORY.\n");
    EXPECT_EQ(o.exitCode, 148u);
    std::string log = qtest::readFile(target / L"instsync.log");
    EXPECT_EQ(log.substr(log.find("Copy command failed")), "Copy command failed with exit code 5.\r\n");
    EXPECT_FALSE(qtest::readFile(target / L"instsync.out").empty());
}

std::string fieldText(HWND dialog, int id) { return narrow(qtest::windowText(GetDlgItem(dialog, id))); }

void setField(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

const std::string kDialogTitle = "Update Files Utility";

// The dialog's presets, then OK with a key (blanks around it) and empty
// path and version: the current directory is copied, no minimum applies
// beyond 0.0.0.0.
TEST_F(InstsyncTest, DialogTakesTheParametersAndCopies) {
    makeSource();
    setComponent(target.path().c_str(), L"0.0.0.0");
    Instsync p(L"", source.path());
    HWND dialog = p.waitForWindow(kDialogTitle);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(fieldText(dialog, IDC_FILEPATH), "");
    EXPECT_EQ(fieldText(dialog, IDC_REGKEY), "SOFTWARE\\Tevra\\QORA\\CurrentVersion\\Server");
    EXPECT_EQ(fieldText(dialog, IDC_MINVER), "0.0.0.0");
    setField(dialog, IDC_REGKEY, L"  " + kKey + L"  ");
    setField(dialog, IDC_MINVER, L"");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.exitCode(), 0u);
    EXPECT_EQ(qtest::readFile(target / L"sub dir\\deeper\\c.dat"), "c");
    EXPECT_EQ(qtest::readFile(target / L"instsync.log"), expectedLog(source.path(), target.path()));
}

// OK with a blank key is refused and the dialog stays; Cancel then ends
// without a word and without copying.
TEST_F(InstsyncTest, DialogRefusesABlankKeyAndCancelEndsQuietly) {
    makeSource();
    setComponent(target.path().c_str(), L"3.1.2.10");
    Instsync p(L"", source.path());
    HWND dialog = p.waitForWindow(kDialogTitle);
    ASSERT_NE(dialog, nullptr);
    setField(dialog, IDC_REGKEY, L"   ");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND box = p.waitForWindow(kTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageOf(box), "The Registry Key field must be supplied.  Please try again.");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(qtest::waitFor([&] { return windowTitled(p.pid(), kTitle) == nullptr; }));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_FALSE(p.ended());

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(p.exitCode(), 0u);
    EXPECT_EQ(GetFileAttributesW((target / L"instsync.log").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstsyncTest, DialogChecksTheMinimumVersionForm) {
    makeSource();
    setComponent(target.path().c_str(), L"3.1.2.10");
    Instsync p(L"", source.path());
    HWND dialog = p.waitForWindow(kDialogTitle);
    ASSERT_NE(dialog, nullptr);
    setField(dialog, IDC_REGKEY, kKey);
    setField(dialog, IDC_MINVER, L"3.1");
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    HWND box = p.waitForWindow(kTitle);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageOf(box), "THE MINIMUM VERSION SUPPLIED MUST BE IN THE w.x.y.z FORMAT.\n\n" + kHelp);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.exitCode(), 146u);
    EXPECT_EQ(GetFileAttributesW((target / L"instsync.log").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(InstsyncTest, SystemMenuOpensTheAboutBox) {
    Instsync p(L"", source.path());
    HWND dialog = p.waitForWindow(kDialogTitle);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(dialog, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    HWND about = p.waitForWindow("About...");
    ASSERT_NE(about, nullptr);
    std::vector<std::wstring> texts = qtest::childTexts(about);
    EXPECT_NE(std::find(texts.begin(), texts.end(), L"Update QORA Files Utility"), texts.end());
    PostMessageW(about, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(qtest::waitFor([&] { return windowTitled(p.pid(), "About...") == nullptr; }));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(p.exitCode(), 0u);
}

// A second interactive copy brings the first one back and ends; a run with
// arguments (a script's) still gets its own result.
TEST_F(InstsyncTest, SecondInteractiveCopyHandsOverToTheFirst) {
    Instsync first(L"", source.path());
    HWND dialog = first.waitForWindow(kDialogTitle);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_MINIMIZE);
    ASSERT_TRUE(qtest::waitFor([&] { return IsIconic(dialog) != FALSE; }));

    Instsync second(L"", source.path());
    EXPECT_EQ(second.exitCode(), 0u);
    EXPECT_TRUE(qtest::waitFor([&] { return IsIconic(dialog) == FALSE; }));

    Outcome help = runInstsync(L"-?");
    EXPECT_EQ(help.message, kHelp);

    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(first.exitCode(), 0u);
}

}  // namespace
