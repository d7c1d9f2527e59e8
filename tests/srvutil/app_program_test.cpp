// The real srvutil.exe on the demo installation, seen as a user sees it:
// its message boxes and main window are read from this process, its
// placement from the registry afterwards.
#include <gtest/gtest.h>
#include "sim/install/siminst.h"
#include "tests/support/testsupport.h"
#include <algorithm>
#include <cwctype>

namespace {

const std::wstring kUtils = L"C:\\Program Files\\Tevra\\QORA\\server utilities";
const std::wstring kProfile = L"Software\\Tevra\\QORA\\CurrentVersion\\srvutil\\Window size";

std::chrono::milliseconds wait() { return std::chrono::milliseconds(static_cast<int>(30000 * qtest::timeScale())); }

std::wstring className(HWND h) {
    wchar_t name[128] = L"";
    GetClassNameW(h, name, 128);
    return name;
}

class Srvutil {
public:
    ~Srvutil() {
        if (!pi_.hProcess) return;
        if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    bool start(const std::wstring& args, const std::wstring& exe = qtest::binDir() + L"srvutil.exe") {
        std::wstring line = L"\"" + exe + L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
    }
    // A visible top-level window of the program with this class.
    HWND waitForWindow(const wchar_t* cls) {
        HWND found = nullptr;
        qtest::waitFor([&] {
            for (HWND h : qtest::windowsOfProcess(pi_.dwProcessId))
                if (className(h) == cls) found = h;
            return found != nullptr || WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0;
        }, wait());
        return found;
    }
    bool waitExit(DWORD& code) {
        if (WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(wait().count())) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(pi_.hProcess, &code);
        return true;
    }
    bool closeNormally(HWND frame) {
        PostMessageW(frame, WM_CLOSE, 0, 0);
        DWORD code = 1;
        return waitExit(code) && code == 0;
    }

private:
    PROCESS_INFORMATION pi_{};
};

// The message of a message box: its longest text.
std::wstring boxMessage(HWND box) {
    std::wstring longest;
    for (const std::wstring& t : qtest::childTexts(box))
        if (t.size() > longest.size()) longest = t;
    return longest;
}

std::wstring lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring shortPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH] = L"";
    GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return buffer;
}

void writeProfile(const wchar_t* rect, DWORD iconized, DWORD maximized) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfile.c_str());
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kProfile.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr), 0);
    if (rect)
        RegSetValueExW(key, L"Rect", 0, REG_SZ, reinterpret_cast<const BYTE*>(rect),
                       static_cast<DWORD>((wcslen(rect) + 1) * 2));
    RegSetValueExW(key, L"iconized", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&iconized), 4);
    RegSetValueExW(key, L"maximized", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&maximized), 4);
    RegCloseKey(key);
}

DWORD profileDword(const wchar_t* name) {
    DWORD value = 0xFFFF, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kProfile.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

class Installed : public ::testing::Test {
protected:
    void install(const std::vector<std::wstring>& omit = {}) {
        std::wstring report;
        siminst::installDefault(omit, {}, &report);
    }
    void SetUp() override { install(); }
    void TearDown() override { install(); }
};

using BrokenInstallation = Installed;

TEST_F(BrokenInstallation, EachMissingPieceShowsItsMessageAndEnds) {
    const std::wstring head = L"The QORA Server Utilities are not properly installed.\n\n";
    const std::wstring tail = L"\n\nis a required file and could not be located.\n\nPlease re-install the QORA server.\n";
    struct Case {
        std::wstring omit;
        std::wstring file;  // empty: the key is missing
    };
    // With German chosen the five files are all different.
    const Case cases[] = {
        {L"key:Utils", L""},
        {L"file:" + kUtils + L"\\msgengu.dll", L"msgengu.dll"},
        {L"file:" + kUtils + L"\\msgdeuu.dll", L"msgdeuu.dll"},
        {L"file:" + kUtils + L"\\guideuu.dll", L"guideuu.dll"},
        {L"file:" + kUtils + L"\\tipdeuu.txt", L"tipdeuu.txt"},
        {L"file:" + kUtils + L"\\hlpdeuu.hlp", L"hlpdeuu.hlp"},
    };
    const std::wstring utilsShort = lower(shortPath(kUtils));
    ASSERT_FALSE(utilsShort.empty());
    for (const Case& c : cases) {
        SCOPED_TRACE(qtest::narrow(c.omit));
        install({c.omit});
        std::wstring expected = c.file.empty()
            ? head + L"The utilities' registry key could not be located.\n\nPlease re-install the QORA server.\n"
            : head + utilsShort + L"\\" + c.file + tail;
        Srvutil program;
        ASSERT_TRUE(program.start(L"-NLSLANG:DEU"));
        bool seen = false;
        // A missing message library is also reported by its loader first.
        for (int box = 0; box < 6 && !seen; ++box) {
            HWND h = program.waitForWindow(L"#32770");
            if (!h) break;
            // Message boxes strip the final line end from what they show.
            std::wstring text = boxMessage(h);
            seen = text == expected || text + L"\n" == expected;
            if (!seen) {
                ASSERT_TRUE(text.find(L"Either re-install or replace") != std::wstring::npos) << qtest::narrow(text);
            }
            PostMessageW(h, WM_COMMAND, IDOK, 0);
            qtest::waitFor([&] { return !IsWindow(h); }, wait());
        }
        EXPECT_TRUE(seen);
        DWORD code = 0;
        EXPECT_TRUE(program.waitExit(code));
        EXPECT_EQ(program.waitForWindow(L"QoraFrame"), nullptr);
    }
}

using MainWindow = Installed;

TEST_F(MainWindow, OpensWithBarsTreeAndTabPanes) {
    Srvutil program;
    ASSERT_TRUE(program.start(L""));
    HWND frame = program.waitForWindow(L"QoraFrame");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(qtest::windowText(frame), L"QORA Server Utilities");
    // The splash stays for seconds, owned by the main window.
    HWND splash = program.waitForWindow(L"QoraSplash");
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(GetWindow(splash, GW_OWNER), frame);
    std::vector<std::wstring> classes;
    EnumChildWindows(frame, [](HWND h, LPARAM lp) {
        reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(className(h));
        return TRUE;
    }, reinterpret_cast<LPARAM>(&classes));
    for (const wchar_t* cls : {L"ToolbarWindow32", L"msctls_statusbar32", L"SysTreeView32", L"SysTabControl32"})
        EXPECT_NE(std::find(classes.begin(), classes.end(), cls), classes.end()) << qtest::narrow(cls);
    HWND tree = FindWindowExW(GetDlgItem(frame, 59648), nullptr, nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
    RECT r;
    GetWindowRect(tree, &r);
    EXPECT_EQ(r.right - r.left, 170);
    EXPECT_TRUE(program.closeNormally(frame));
}

TEST_F(MainWindow, LanguageOptionChoosesTheLibraries) {
    struct Case {
        std::wstring args;
        const wchar_t* title;
        bool installedCopy;  // started from a path with blanks
    };
    const Case cases[] = {
        {L"-NLSLANG:DEU", L"QORA Server-Dienstprogramme", false},
        {L"-NLSLANG:XYZ -NLSLANG:DEU", L"QORA Server Utilities", false},
        {L"-DEVFILE:d.txt nonsense -NLSLANG:DEU", L"QORA Server Utilities", false},
        {L"-NLSLANG:DEU", L"QORA Server-Dienstprogramme", true},
    };
    std::wstring copy = kUtils + L"\\srvutil.exe";
    ASSERT_TRUE(CopyFileW((qtest::binDir() + L"srvutil.exe").c_str(), copy.c_str(), FALSE));
    for (const Case& c : cases) {
        SCOPED_TRACE(qtest::narrow(c.args));
        Srvutil program;
        ASSERT_TRUE(c.installedCopy ? program.start(c.args, copy) : program.start(c.args));
        HWND frame = program.waitForWindow(L"QoraFrame");
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(qtest::windowText(frame), c.title);
        EXPECT_TRUE(program.closeNormally(frame));
    }
    DeleteFileW(copy.c_str());
}

// Leaves no placement behind for the next start.
class Placement : public Installed {
protected:
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProfile.c_str());
        Installed::TearDown();
    }
};

TEST_F(Placement, StoredRectangleIsRestoredAndSaved) {
    writeProfile(L"0100 0050 0800 0600", 0, 0);
    Srvutil program;
    ASSERT_TRUE(program.start(L""));
    HWND frame = program.waitForWindow(L"QoraFrame");
    ASSERT_NE(frame, nullptr);
    WINDOWPLACEMENT wp{sizeof wp};
    GetWindowPlacement(frame, &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 100);
    EXPECT_EQ(wp.rcNormalPosition.top, 50);
    EXPECT_EQ(wp.rcNormalPosition.right, 800);
    EXPECT_EQ(wp.rcNormalPosition.bottom, 600);
    EXPECT_FALSE(IsZoomed(frame) || IsIconic(frame));
    SetWindowPos(frame, nullptr, 120, 60, 700, 500, SWP_NOZORDER);
    EXPECT_TRUE(program.closeNormally(frame));
    wchar_t rect[64] = L"";
    DWORD size = sizeof rect;
    RegGetValueW(HKEY_CURRENT_USER, kProfile.c_str(), L"Rect", RRF_RT_REG_SZ, nullptr, rect, &size);
    EXPECT_STREQ(rect, L"0120 0060 0820 0560");
    EXPECT_EQ(profileDword(L"iconized"), 0u);
    EXPECT_EQ(profileDword(L"maximized"), 0u);
}

TEST_F(Placement, MissingRectangleCentresTheDefaultSize) {
    writeProfile(nullptr, 0, 0);
    Srvutil program;
    ASSERT_TRUE(program.start(L""));
    HWND frame = program.waitForWindow(L"QoraFrame");
    ASSERT_NE(frame, nullptr);
    WINDOWPLACEMENT wp{sizeof wp};
    GetWindowPlacement(frame, &wp);
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(wp.rcNormalPosition.left, (sw - 620) / 2);
    EXPECT_EQ(wp.rcNormalPosition.top, (sh - 430) / 2);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 620);
    EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 430);
    EXPECT_TRUE(program.closeNormally(frame));
}

TEST_F(Placement, MinimizedFromMaximizedComesBackMinimizedAndMaximizes) {
    writeProfile(L"0100 0050 0800 0600", 0, 1);
    {
        Srvutil program;
        ASSERT_TRUE(program.start(L""));
        HWND frame = program.waitForWindow(L"QoraFrame");
        ASSERT_NE(frame, nullptr);
        EXPECT_TRUE(IsZoomed(frame));
        ShowWindow(frame, SW_MINIMIZE);
        ASSERT_TRUE(qtest::waitFor([&] { return IsIconic(frame) != FALSE; }, wait()));
        EXPECT_TRUE(program.closeNormally(frame));
    }
    EXPECT_EQ(profileDword(L"iconized"), 1u);
    EXPECT_EQ(profileDword(L"maximized"), 1u);

    Srvutil program;
    ASSERT_TRUE(program.start(L""));
    HWND frame = nullptr;
    // A minimized window is not "visible" to every search: look for it directly.
    qtest::waitFor([&] {
        frame = FindWindowW(L"QoraFrame", nullptr);
        return frame && IsIconic(frame);
    }, wait());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(IsIconic(frame));
    ShowWindow(frame, SW_RESTORE);
    EXPECT_TRUE(qtest::waitFor([&] { return IsZoomed(frame) != FALSE; }, wait()));
    EXPECT_TRUE(program.closeNormally(frame));
}

}  // namespace
