// srvutil's start-up pieces in-process: the command line, the process and
// window helpers, the main window's helpers, and the preferences sheet
// driven as a user would.
#include <gtest/gtest.h>
#include "app_ids.h"
#include "common/cmd/msglib.h"
#include "common/cmd/trace.h"
#include "common/cmd/utilsettings.h"
#include "common/framework/msgloop.h"
#include "common/framework/resmod.h"
#include "srvutil/appcmdl.h"
#include "srvutil/appprocs.h"
#include "srvutil/frame.h"
#include "srvutil/frameabout.h"
#include "srvutil/framepref.h"
#include "srvutil/objslots.h"
#include "tests/support/testsupport.h"
#include <commctrl.h>

namespace {

void settle() {
    for (int i = 0; i < 20; ++i) {
        fw::pumpWaitingMessages();
        Sleep(5);
    }
}

TEST(CommandLine, SkipsTheProgramNameByQuotingRules) {
    struct Case {
        const wchar_t* line;
        const wchar_t* rest;
    };
    const Case cases[] = {
        {L"srvutil.exe -NLSLANG:DEU", L" -NLSLANG:DEU"},
        {L"\"C:\\Program Files\\Q\\srvutil.exe\" -NLSLANG:DEU", L" -NLSLANG:DEU"},
        {L"C:\\a\"b c\"\\srvutil.exe -x", L" -x"},
        {L"srvutil.exe", L""},
        {L"", L""},
    };
    for (const Case& c : cases) EXPECT_STREQ(skipProgramName(c.line), c.rest) << qtest::narrow(c.line);
}

TEST(CommandLine, OptionsApplyUntilTheFirstRejectedWord) {
    struct Case {
        const wchar_t* args;
        int code;
        const wchar_t* rejected;
        const wchar_t* devFile;  // nullptr: no override
        int language;            // -1: no override
    };
    const Case cases[] = {
        {L"", CMDLINE_OK, L"", nullptr, -1},
        {L"-NLSLANG:DEU", CMDLINE_OK, L"", nullptr, QLANG_DEU},
        {L"/nlslang:deu", CMDLINE_OK, L"", nullptr, QLANG_DEU},
        {L"-NLSLANG:XYZ", CMDLINE_REJECTED, L"-NLSLANG", nullptr, -1},
        {L"-DEVFILE:dev.txt -NLSLANG:XYZ -NLSLANG:DEU", CMDLINE_REJECTED, L"-NLSLANG", L"dev.txt", -1},
        {L"/devfile:a.txt", CMDLINE_OK, L"", L"a.txt", -1},
        {L"-DEVFILE:c:\\dev.txt", CMDLINE_MISSING_VALUE, L"-DEVFILE", nullptr, -1},
        {L"-DEVFILE", CMDLINE_MISSING_VALUE, L"-DEVFILE", nullptr, -1},
        {L"-DEVFILE:a.txt foo -NLSLANG:DEU", CMDLINE_REJECTED, L"foo", L"a.txt", -1},
        {L"-BOGUS:1 -NLSLANG:DEU", CMDLINE_REJECTED, L"-BOGUS", nullptr, -1},
        {L"Files\\Q\\srvutil.exe -NLSLANG:DEU", CMDLINE_REJECTED, L"Files\\Q\\srvutil.exe", nullptr, -1},
        {L"  -NLSLANG:DEU   -DEVFILE:b  ", CMDLINE_OK, L"", L"b", QLANG_DEU},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qtest::narrow(c.args));
        CUtilSettings settings;
        CommandLineResult r = parseCommandLine(c.args, settings);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.rejected, c.rejected);
        EXPECT_EQ(settings.devFileOverride(), c.devFile != nullptr);
        if (c.devFile) {
            EXPECT_EQ(settings.devFile(), c.devFile);
        }
        EXPECT_EQ(settings.languageOverride(), c.language >= 0);
        if (c.language >= 0) {
            EXPECT_EQ(settings.languageOverrideIndex(), c.language);
        }
    }
}

// The trace can start once per process, so one test covers it.
TEST(CommandLine, TraceFileAndFlagsInOrder) {
    qtest::TempDir dir(L"cl");
    CUtilSettings settings;
    EXPECT_EQ(parseCommandLine(L"-TRACEFILE:c:\\t.out", settings).code, CMDLINE_MISSING_VALUE);
    EXPECT_FALSE(traceStarted());
    std::wstring trace = dir / L"a.trc";
    SetCurrentDirectoryW(dir.path().c_str());
    CommandLineResult r =
        parseCommandLine(L"-TRACEFILE:a.trc -TRACEFLAG:t_registry,T_OFE -TRACEFLAG:T_NONE foo -TRACEFLAG:T_OFE", settings);
    SetCurrentDirectoryW(qtest::binDir().c_str());
    EXPECT_EQ(r.rejected, L"foo");
    EXPECT_TRUE(traceStarted());
    EXPECT_NE(GetFileAttributesW(trace.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(traceFlags[T_REGISTRY], 1);  // first name of the list only
    EXPECT_EQ(traceFlags[T_OFE], 0);       // after the rejected word
}

// Top-level windows the window helpers look for.
struct ProbeWindows {
    HWND visible, hidden, untitled, owned;
    static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcW(h, m, w, l); }
    ProbeWindows() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QoraProbe";
        RegisterClassW(&wc);
        auto make = [](const wchar_t* title, DWORD style, HWND owner) {
            return CreateWindowExW(0, L"QoraProbe", title, style, 10, 10, 200, 100, owner, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        };
        visible = make(L"Probe Target Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
        hidden = make(L"Probe Hidden Window", WS_OVERLAPPEDWINDOW, nullptr);
        untitled = make(L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
        owned = make(L"Probe Owned Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, visible);
        settle();
    }
    ~ProbeWindows() {
        for (HWND h : {owned, untitled, hidden, visible})
            if (IsWindow(h)) DestroyWindow(h);
    }
};

TEST(WindowHelpers, PartialSearchSkipsHiddenUntitledAndOwnedWindows) {
    ProbeWindows w;
    EXPECT_TRUE(activateWindow(L"Target Win", true));
    EXPECT_FALSE(activateWindow(L"Target Win", false));  // exact only
    EXPECT_TRUE(activateWindow(L"Probe Hidden Window", false));
    EXPECT_FALSE(activateWindow(L"Probe Hidden", true));
    EXPECT_FALSE(activateWindow(L"Probe Owned", true));
    EXPECT_FALSE(activateWindow(L"target win", true));  // activation is case-sensitive
    EXPECT_FALSE(activateWindow(L"", true));
    EXPECT_FALSE(closeWindow(L"Probe Owned", true));
}

TEST(WindowHelpers, MinimizedWindowIsRestoredBeforeItComesForward) {
    ProbeWindows w;
    ShowWindow(w.visible, SW_MINIMIZE);
    settle();
    ASSERT_TRUE(IsIconic(w.visible));
    EXPECT_TRUE(activateWindow(L"Probe Target Window", false));
    settle();
    EXPECT_FALSE(IsIconic(w.visible));
}

TEST(WindowHelpers, CloseIsCaseInsensitiveForPartialTitles) {
    ProbeWindows w;
    EXPECT_TRUE(closeWindow(L"probe TARGET", true));
    settle();
    EXPECT_FALSE(IsWindow(w.visible));
}

TEST(RunProcess, StartsInTheGivenOrCurrentDirectory) {
    qtest::TempDir dir(L"rp");
    EXPECT_EQ(runProcess(L"cmd /c cd > where.txt", dir.path().c_str(), true), 0);
    std::string where = qtest::readFile(dir / L"where.txt");
    EXPECT_EQ(qtest::widen(where.substr(0, where.find_first_of("\r\n"))) + L"\\", dir.path());

    SetCurrentDirectoryW(dir.path().c_str());
    EXPECT_EQ(runProcess(L"cmd /c echo x> here.txt", L"", true), 0);
    SetCurrentDirectoryW(qtest::binDir().c_str());
    EXPECT_NE(GetFileAttributesW((dir / L"here.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(runProcess(L"no-such-program-here.exe", L"", false), 1);
    EXPECT_EQ(runProcess(L"cmd /c exit 3", L"", true), 0);  // its exit code is not reported
}

TEST(FrameHelpers, MinimumTrackingSize) {
    EXPECT_EQ(minTrackSize({80, 60}).cx, 75);
    EXPECT_EQ(minTrackSize({80, 60}).cy, 55);
    EXPECT_EQ(minTrackSize({1280, 1024}).cx, 100);
    EXPECT_EQ(minTrackSize({1280, 1024}).cy, 100);
}

TEST(FrameHelpers, TimePaneText) {
    struct Case {
        int hour, minute;
        const wchar_t* text;
    };
    const Case cases[] = {{0, 5, L"12:05  AM "}, {11, 59, L"11:59  AM "}, {12, 0, L"12:00  PM "}, {23, 7, L"11:07  PM "}};
    for (const Case& c : cases) {
        std::tm t{};
        t.tm_year = 126;
        t.tm_mday = 1;
        t.tm_hour = c.hour;
        t.tm_min = c.minute;
        EXPECT_EQ(timeText(t), c.text);
    }
}

TEST(FrameHelpers, TasksItemGoesOnTopOfItsMenuOnce) {
    HMENU bar = CreateMenu();
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, 57664, L"&About");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");
    EXPECT_TRUE(adjustTasksMenu(bar, L"&Help", L"&Tip of the Day...", 104));
    EXPECT_FALSE(adjustTasksMenu(bar, L"&Help", L"&Tip of the Day...", 104));
    EXPECT_EQ(GetMenuItemCount(help), 3);
    EXPECT_EQ(GetMenuItemID(help, 0), 104u);
    EXPECT_EQ(GetMenuState(help, 1, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    EXPECT_TRUE(adjustTasksMenu(bar, L"&Tasks", L"&Tip of the Day...", 104));
    EXPECT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 104u);
    DestroyMenu(bar);
}

TEST(FrameHelpers, AboutBoxVersionLine) {
    EXPECT_EQ(aboutVersionText(), L"Version 3, Release 1, Level 2.30");
}

// The real user-interface library is the resource module, as in srvutil.
class WithGuiLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        gui_ = LoadLibraryExW((qtest::binDir() + L"guiengu.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(gui_, nullptr);
        fw::setResourceModule(gui_);
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
        InitCommonControlsEx(&icc);
    }
    void TearDown() override {
        fw::setResourceModule(nullptr);
        FreeLibrary(gui_);
    }
    HMODULE gui_ = nullptr;
};

std::vector<std::wstring> g_boxes;
int recordBox(HWND, const wchar_t*, const wchar_t* text, UINT) {
    g_boxes.push_back(text);
    return IDOK;
}

using Preferences = WithGuiLibrary;

TEST_F(Preferences, OkStoresSecondsAsMillisecondsAndClampsLines) {
    struct Case {
        const wchar_t* seconds;
        const wchar_t* lines;
        DWORD timeoutMs, maxLines;
    };
    const Case cases[] = {
        {L"5", L"10", 5000, 25},
        {L"4294967", L"10000", 4294967000u, 8192},
        {L"60", L"99999999999", 60000, 8192},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qtest::narrow(c.seconds));
        CUtilSettings settings;
        CPreferencesSheet sheet(settings);
        ASSERT_TRUE(sheet.createModeless(nullptr));
        settle();
        PropSheet_SetCurSel(sheet.hwnd(), nullptr, 1);
        settle();
        HWND page = PropSheet_GetCurrentPageHwnd(sheet.hwnd());
        SetDlgItemTextW(page, IDC_PREF_LAUNCHTIMEOUT, c.seconds);
        SetDlgItemTextW(page, IDC_PREF_MAXLINES, c.lines);
        sheet.pressButton(PSBTN_OK);
        settle();
        ASSERT_TRUE(sheet.finished());
        sheet.storeResult();
        EXPECT_EQ(settings.launchTimeout(), c.timeoutMs);
        EXPECT_EQ(settings.maxLinesCM(), c.maxLines);
    }
}

TEST_F(Preferences, BadSecondsKeepTheSheetOpenWithAMessage) {
    MessageBoxHook old = setMessageBoxHook(recordBox);
    g_boxes.clear();
    for (const wchar_t* bad : {L"0", L"", L"4294968", L"99999999999"}) {
        SCOPED_TRACE(qtest::narrow(bad));
        CUtilSettings settings;
        CPreferencesSheet sheet(settings);
        ASSERT_TRUE(sheet.createModeless(nullptr));
        settle();
        PropSheet_SetCurSel(sheet.hwnd(), nullptr, 1);
        settle();
        SetDlgItemTextW(PropSheet_GetCurrentPageHwnd(sheet.hwnd()), IDC_PREF_LAUNCHTIMEOUT, bad);
        size_t before = g_boxes.size();
        sheet.pressButton(PSBTN_OK);
        settle();
        EXPECT_FALSE(sheet.finished());
        EXPECT_EQ(g_boxes.size(), before + 1);
        EXPECT_EQ(settings.launchTimeout(), 300000u);
    }
    setMessageBoxHook(old);
}

TEST_F(Preferences, CancelKeepsTheValues) {
    CUtilSettings settings;
    CPreferencesSheet sheet(settings);
    ASSERT_TRUE(sheet.createModeless(nullptr));
    settle();
    CheckDlgButton(PropSheet_GetCurrentPageHwnd(sheet.hwnd()), IDC_PREF_TIMEANDDATE, BST_UNCHECKED);
    sheet.pressButton(PSBTN_CANCEL);
    settle();
    ASSERT_TRUE(sheet.finished());
    sheet.storeResult();
    EXPECT_TRUE(settings.displayTimeAndDate());
}

using MainFrame = WithGuiLibrary;

TEST_F(MainFrame, DateAndTimePanesFollowTheSetting) {
    CUtilSettings settings;
    CQoraFrame frame(settings);
    ASSERT_TRUE(frame.create(L"QoraFrameTest", L"", IDR_MAINFRAME));
    SetWindowPos(frame.hwnd(), nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    fw::CStatusBar& bar = frame.statusBar();
    int date = bar.paneIndex(ID_INDICATOR_DATE), time = bar.paneIndex(ID_INDICATOR_TIME);
    ASSERT_GT(date, 0);
    ASSERT_GT(time, 0);
    EXPECT_EQ(frame.text(), L"QORA Server Utilities");

    EXPECT_NE(bar.paneText(date), L" ");
    std::wstring shown = bar.paneText(time);
    EXPECT_TRUE(shown.ends_with(L"AM ") || shown.ends_with(L"PM ")) << qtest::narrow(shown);
    EXPECT_GT(bar.paneWidth(time), 0);
    // The refresh timer runs while the clock is shown (KillTimer finds it).
    EXPECT_TRUE(KillTimer(frame.hwnd(), CQoraFrame::clockTimer));
    frame.refreshTimeAndDate();

    settings.setDisplayTimeAndDate(false);
    frame.refreshTimeAndDate();
    EXPECT_EQ(bar.paneText(date), L" ");
    EXPECT_EQ(bar.paneText(time), L" ");
    EXPECT_LE(bar.paneWidth(time), 0);
    EXPECT_FALSE(KillTimer(frame.hwnd(), CQoraFrame::clockTimer));

    settings.setDisplayTimeAndDate(true);
    frame.refreshTimeAndDate();
    EXPECT_NE(bar.paneText(time), L" ");
    EXPECT_TRUE(KillTimer(frame.hwnd(), CQoraFrame::clockTimer));
}

TEST_F(MainFrame, TreePaneIsPublishedAnd170PixelsWide) {
    CUtilSettings settings;
    CQoraFrame frame(settings);
    ASSERT_TRUE(frame.create(L"QoraFrameTest", L"", IDR_MAINFRAME));
    SetWindowPos(frame.hwnd(), nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    RECT r;
    GetWindowRect(frame.treeView().hwnd(), &r);
    EXPECT_EQ(r.right - r.left, CQoraFrame::treeWidth);
    EXPECT_EQ(getSlot(SLOT_TREE_VIEW), &frame.treeView());
    EXPECT_EQ(getSlot(SLOT_TAB_VIEW), &frame.tabView());
    EXPECT_EQ(getSlot(SLOT_TREE_CONTROL), &frame.treeView().tree());
    EXPECT_NE(frame.toolBar().hwnd(), nullptr);
    EXPECT_EQ(frame.toolBar().commands().size(), 4u);
}

TEST_F(MainFrame, ViewsLeaveTheSlotsWithTheFrame) {
    {
        CUtilSettings settings;
        CQoraFrame frame(settings);
        ASSERT_TRUE(frame.create(L"QoraFrameTest", L"", IDR_MAINFRAME));
        ASSERT_NE(getSlot(SLOT_TREE_VIEW), nullptr);
    }
    EXPECT_EQ(getSlot(SLOT_TREE_VIEW), nullptr);
    EXPECT_EQ(getSlot(SLOT_TAB_VIEW), nullptr);
    EXPECT_EQ(getSlot(SLOT_TREE_CONTROL), nullptr);
}

}  // namespace
